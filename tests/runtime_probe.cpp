// SPDX-License-Identifier: GPL-3.0-or-later
// A small program for tst_runtime: raises a runtime error or ends the
// program in the way its argument names, so the test can watch the process.
#include "platform/widgets/controls.h"
#include "platform/widgets/runtime.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

using namespace quorvel;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Runtime runtime;
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();

    if (mode == u"report") {
        runtime.setErrorReporter([](const RuntimeError &error) {
            std::printf("reported %d %s\n", error.code, qPrintable(error.description));
            std::fflush(stdout);
        });
        runtime.RaiseRuntimeError({6, QStringLiteral("溢出")});
    }
    if (mode == u"scrollbar") {
        runtime.setErrorReporter([](const RuntimeError &error) {
            std::printf("reported %d\n", error.code);
            std::fflush(stdout);
        });
        HScrollBar bar(nullptr, QRect(0, 0, 100, 17), runtime);
        bar.setMin(40);
        bar.setMax(365);
        bar.setValueChecked(365);
        std::printf("in range\n");
        std::fflush(stdout);
        bar.setValueChecked(366);
    }
    if (mode == u"dialog") {
        // The default report is a message box; answer it as a user would.
        QTimer::singleShot(100, [] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                std::printf("box: %s\n", qPrintable(box->text().simplified()));
                std::fflush(stdout);
                box->accept();
            }
        });
        QTimer::singleShot(0, [&] { runtime.RaiseRuntimeError({6, QStringLiteral("溢出")}); });
        return app.exec();
    }
    if (mode == u"end") {
        // End leaves every nested event loop and the main one.
        QTimer::singleShot(0, [&] {
            QEventLoop nested;
            QTimer::singleShot(0, [&] { runtime.End(); });
            nested.exec();
            std::printf("nested loop left\n");
            std::fflush(stdout);
        });
        const int status = app.exec();
        std::printf("main loop left %d\n", status);
        return status;
    }
    std::printf("returned\n");
    return 3;
}
