// SPDX-License-Identifier: GPL-3.0-or-later
// The chart's full redraw (clear, frame, bars, curves), of one person and of
// two, the readout's texts of a position, and the model per point. The
// budget: a full redraw of 365 days in at most 0.5 ms of CPU, two people
// too, a readout in at most 10 us (the window's whole handler, labels
// included, is in bench_window).
#include "chartfixture.h"
#include "model/biorhythm.h"


#include <benchmark/benchmark.h>

using namespace quorvel;
using namespace quorvel::test;

namespace {

// The widest span at the far end of a life, with both dates set.
ChartControls benchControls(int span)
{
    return {QStringLiteral("1960-02-06"), QStringLiteral("2060-06-01"), 18250, span};
}

void redrawLoop(benchmark::State &state, const ChartControls &controls)
{
    DrawingSurface surface(ChartSize);
    SharedValues shared{0.0, 21952.0, ProgramCriticalLevel};
    for (auto _ : state) {
        surface.Cls();
        DrawBackground(surface, controls);
        DrawPicBack(surface, controls, shared);
        benchmark::DoNotOptimize(surface.image().constBits());
    }
}

void FullRedraw(benchmark::State &state)
{
    redrawLoop(state, benchControls(int(state.range(0))));
}
BENCHMARK(FullRedraw)->Arg(40)->Arg(365)->Unit(benchmark::kMicrosecond);

// Two people: a second one, born at another time of day, drawn over the
// first in dotted lines. The same budget.
void FullRedrawTwoPeople(benchmark::State &state)
{
    ChartControls controls = benchControls(int(state.range(0)));
    controls.comparison = Comparison{QString(), QStringLiteral("李四"), 23907.3541666667};
    redrawLoop(state, controls);
}
BENCHMARK(FullRedrawTwoPeople)->Arg(40)->Arg(365)->Unit(benchmark::kMicrosecond);

void FrameOnly(benchmark::State &state)
{
    DrawingSurface surface(ChartSize);
    const ChartControls controls = benchControls(int(state.range(0)));
    for (auto _ : state) {
        surface.Cls();
        DrawBackground(surface, controls);
        benchmark::DoNotOptimize(surface.image().constBits());
    }
}
BENCHMARK(FrameOnly)->Arg(365)->Unit(benchmark::kMicrosecond);

void Readout(benchmark::State &state)
{
    double x = 36500.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(dateText(21952.0 + x));
        for (std::size_t curve = 0; const long long number : readoutNumbers(AllCycleValues(x - 0.5)))
            benchmark::DoNotOptimize(valueCaption(curve++, number));
        x = x >= 36865.0 ? 36500.0 : x + 0.37;
    }
}
BENCHMARK(Readout)->Unit(benchmark::kMicrosecond);

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
        benchmark::DoNotOptimize(IsCriticalDay(x, ProgramCriticalLevel));
        x = x >= 36865.0 ? 36500.0 : x + 1.0;
    }
}
BENCHMARK(CriticalDayTest);

} // namespace
