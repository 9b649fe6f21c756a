// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/widgets/form.h"

#include <QTimer>

namespace quorvel {

class Global;

// FrmC, the loader window: holds the timer that loads the analysis window.
// It stays loaded for the whole run but is never seen: a black square
// behind the analysis window would only puzzle the user.
class FrmC final : public Form
{
    Q_OBJECT

public:
    explicit FrmC(Global &global);

    QTimer *Timer1;

    void Timer1_Timer();

signals:
    // Each tick, with how deep the timer's handler is then nested in
    // itself: 1 for a tick that runs alone.
    void ticked(int depth);

private:
    Global &m_global;
    int m_tickDepth = 0;
};

} // namespace quorvel
