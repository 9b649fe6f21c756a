// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/frmc.h"

#include "startup/global.h"
#include "assets/assets.h"
#include "platform/widgets/runtime.h"

namespace quorvel {

FrmC::FrmC(Global &global)
    : Form(QSize(13, 11), QStringLiteral("Form1"), 0x00000000)
    , Timer1(new QTimer(this))
    , m_global(global)
{
    // The wait starts first. Naming the window below starts the desktop's
    // accessibility service, a connection to the session bus that can take
    // several milliseconds; it is made during the wait, not before it.
    Timer1->setInterval(50);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    Timer1->start();
    setWindowIcon(quorvel::windowIcon());
    setAttribute(Qt::WA_DontShowOnScreen);
    setWindowFlag(Qt::Tool);
    setAccessibleName(QStringLiteral("Quorvel"));
}

void FrmC::Timer1_Timer()
{
    if (m_global.runtime().isEnding())
        return;
    ++m_tickDepth;
    emit ticked(m_tickDepth);
    // Qt delivers no tick of a timer while that timer's own handler runs, and
    // the first tick waits in the analysis window's modal show for the whole
    // run. Restarting the timer here lets the later ticks arrive there, nested.
    if (m_tickDepth == 1)
        Timer1->start();
    m_global.loadAnalysisWindow();
    --m_tickDepth;
}

} // namespace quorvel
