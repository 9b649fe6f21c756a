// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis_window/frmqorvel.h"
#include "platform/widgets/form.h"

#include <QPointer>

namespace quorvel {

// FrmD, the guide window: a picture that tells how to read the chart, and a
// button that closes it and runs the analysis window's query again.
class FrmD final : public Form
{
public:
    explicit FrmD(frmQORVEL *analysisWindow);

    CommandButton *Command1;
    ImageBox *Image2;

    void Command1_Click();

private:
    // Not this window's own: it may go while the guide is open.
    QPointer<frmQORVEL> m_analysisWindow;
};

} // namespace quorvel
