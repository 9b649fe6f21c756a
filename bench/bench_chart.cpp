// The chart's full redraw (clear, frame, bars, curves) and the model per point.
#include "chart/chart.h"
#include "model/biorhythm.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

using namespace quorvel;

namespace {

struct BenchControls final : ChartControls {
    int position = 18250;
    int proption = 365;
    int positionValue() const override { return position; }
    int proptionValue() const override { return proption; }
    QString birthText() const override { return QStringLiteral("1960-02-06"); }
    QString queryText() const override { return QStringLiteral("2060-06-01"); }
    void setStartLabel(const QString &) override {}
    void setSpanLabel(const QString &) override {}
    void refreshSpanLabels() override {}
};

void FullRedraw(benchmark::State &state)
{
    DrawingSurface surface(QSize(767, 449));
    BenchControls controls;
    controls.proption = int(state.range(0));
    SharedValues shared{0.0, 21952.0, 0.2f};
    for (auto _ : state) {
        surface.Cls();
        DrawBackground(surface, controls);
        DrawPicBack(surface, controls, shared);
        benchmark::DoNotOptimize(surface.image().constBits());
    }
}
BENCHMARK(FullRedraw)->Arg(40)->Arg(365)->Unit(benchmark::kMicrosecond);

void FrameOnly(benchmark::State &state)
{
    DrawingSurface surface(QSize(767, 449));
    BenchControls controls;
    controls.proption = int(state.range(0));
    for (auto _ : state) {
        surface.Cls();
        DrawBackground(surface, controls);
        benchmark::DoNotOptimize(surface.image().constBits());
    }
}
BENCHMARK(FrameOnly)->Arg(365)->Unit(benchmark::kMicrosecond);

void ModelPoint(benchmark::State &state)
{
    double x = 36500.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(CycleValue(x, BiorhythmCycle::Physical));
        benchmark::DoNotOptimize(CycleValue(x, BiorhythmCycle::Emotional));
        benchmark::DoNotOptimize(CycleValue(x, BiorhythmCycle::Intellectual));
        benchmark::DoNotOptimize(CompositeValue(x));
        x += 0.5;
        if (x > 36865.0)
            x = 36500.0;
    }
}
BENCHMARK(ModelPoint);

void CriticalDayTest(benchmark::State &state)
{
    double x = 36500.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(IsCriticalDay(x, 0.2f));
        x = x >= 36865.0 ? 36500.0 : x + 1.0;
    }
}
BENCHMARK(CriticalDayTest);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
