// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers for the tests that start the whole program as a user does.

#include "windowtest.h"

#include "startup/frmc.h"
#include "startup/global.h"

#include <QScopeGuard>

namespace quorvel::test {

// Starts the program on the runtime given (Main, then the loader's first
// tick) and runs body inside the analysis window's modal show, the window
// active; then stops the loader and closes the window, also when a check in
// body failed. A window that never becomes active fails the test: its body
// has not run.
inline void runProgram(Runtime &runtime, const std::function<void(Global &, frmQORVEL &)> &body, int timeout = 10000)
{
    Global global(runtime);
    global.Main();
    bool done = false;
    bool active = false;
    whenTrue(QCoreApplication::instance(),
             [&] { return global.analysisWindow() && global.analysisWindow()->isVisible(); }, [&] {
                 frmQORVEL &w = *global.analysisWindow();
                 const auto closeAtEnd = qScopeGuard([&] {
                     global.loader().Timer1->stop();
                     w.Unload();
                     done = true;
                 });
                 w.activateWindow();
                 QApplication::setActiveWindow(&w);
                 active = QTest::qWaitForWindowActive(&w);
                 if (active)
                     body(global, w);
             });
    QTRY_VERIFY_WITH_TIMEOUT(done && !global.analysisWindow(), timeout);
    QVERIFY2(active, "the analysis window did not become active: the test's body did not run");
}

// Opens the guide window with open() (a click on the link, a key) and runs
// guideBody while it is open and active, inside its modal show; closes it
// then, should guideBody not have done so.
inline void withGuideOpen(Global &global, frmQORVEL &w, const std::function<void()> &open,
                          const std::function<void(FrmD &)> &guideBody)
{
    bool ran = false;
    whenTrue(&w, [&] { return global.guideWindow() && global.guideWindow()->isVisible(); }, [&] {
        FrmD *guide = global.guideWindow();
        guide->activateWindow();
        QApplication::setActiveWindow(guide);
        if (QTest::qWaitForWindowActive(guide)) {
            ran = true;
            guideBody(*guide);
        }
        if (global.guideWindow())
            guide->close();
    });
    open();
    QVERIFY(ran);
    QVERIFY(!global.guideWindow());
}

} // namespace quorvel::test
