// SPDX-License-Identifier: GPL-3.0-or-later
// A small program for tst_program: runs the whole program with Qt's own
// options on its command line and, once the analysis window is shown, prints
// what those options would have changed, then ends the program.
#include "analysis_window/frmqorvel.h"
#include "startup/program.h"

#include <QApplication>
#include <QStyle>
#include <QTemporaryFile>
#include <QTimer>

#include <cstdio>

using namespace quorvel;

namespace {

frmQORVEL *shownAnalysisWindow()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *analysis = dynamic_cast<frmQORVEL *>(window); analysis && analysis->isVisible())
            return analysis;
    }
    return nullptr;
}

void checkOnceShown()
{
    auto *timer = new QTimer(QCoreApplication::instance());
    QObject::connect(timer, &QTimer::timeout, timer, [timer] {
        frmQORVEL *window = shownAnalysisWindow();
        if (!window)
            return;
        timer->stop();
        std::printf("%s %s %s\n",
                    window->isLeftToRight() && QApplication::isLeftToRight() ? "left-to-right" : "right-to-left",
                    qPrintable(QApplication::style()->name()),
                    qApp->styleSheet().isEmpty() ? "no-style-sheet" : "style-sheet");
        std::fflush(stdout);
        window->Cmdclose->click();
    });
    timer->start(20);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(checkOnceShown)

int main()
{
    QTemporaryFile styleSheet;
    if (!styleSheet.open())
        return 2;
    styleSheet.write("* { background: red; }\n");
    styleSheet.flush();
    QByteArray path = styleSheet.fileName().toLocal8Bit();
    char program[] = "quorvel", reverse[] = "-reverse", style[] = "-style", windows[] = "windows",
         sheet[] = "-stylesheet";
    char *argv[] = {program, reverse, style, windows, sheet, path.data(), nullptr};
    return runProgram(6, argv);
}
