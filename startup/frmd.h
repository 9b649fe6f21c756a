#pragma once

#include "platform/widgets/form.h"

namespace quorvel {

class frmQORVEL;

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
    frmQORVEL *m_analysisWindow;
};

} // namespace quorvel
