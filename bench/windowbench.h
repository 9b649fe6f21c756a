// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Benchmarks of the analysis window run inside the window's own modal show,
// where the program runs its handlers, with the window active.

#include "analysis_window/frmqorvel.h"
#include "assets/assets.h"
#include "platform/drawing/fonts.h"
#include "platform/widgets/runtime.h"

#include <QApplication>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace quorvel::bench {

// The window, while the benchmarks run.
inline frmQORVEL *g_window = nullptr;

inline int runInAnalysisWindow(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    initAssets();
    installFontSubstitutes();
    benchmark::Initialize(&argc, argv);
    SharedValues shared;
    Runtime runtime;
    frmQORVEL window(shared, runtime);
    g_window = &window;
    QTimer::singleShot(0, &window, [&] {
        window.activateWindow();
        QApplication::setActiveWindow(&window);
        benchmark::RunSpecifiedBenchmarks();
        window.Unload();
    });
    window.Form_Load();
    benchmark::Shutdown();
    g_window = nullptr;
    return 0;
}

} // namespace quorvel::bench
