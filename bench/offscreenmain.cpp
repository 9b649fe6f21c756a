// SPDX-License-Identifier: GPL-3.0-or-later
// The start of the benchmarks that draw but show no window: Qt's GUI on the
// offscreen platform, for fonts and painting.
#include <QGuiApplication>

#include <benchmark/benchmark.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
