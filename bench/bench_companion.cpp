// SPDX-License-Identifier: GPL-3.0-or-later
// What a person keeps of a chart, without the process around it: a hundred
// years of table rows, the chart as PNG (at both scales) and SVG, the chart
// sheet as PDF, and a hundred years of critical days as a calendar.
#include "companion/companion.h"
#include "exports/chartexports.h"

#include <QBuffer>

#include <benchmark/benchmark.h>

using namespace quorvel;
using namespace quorvel::companion;

namespace {

constexpr Date Birth = 21952.0; // 1960-02-06

void TableOf100Years(benchmark::State &state)
{
    std::string out;
    for (auto _ : state) {
        out.clear();
        appendTableHeader(out);
        for (Date date = Birth; date < Birth + 36525.0; date += 1.0)
            appendTableRow(out, Birth, date);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["bytes"] = double(out.size());
}
BENCHMARK(TableOf100Years)->Unit(benchmark::kMillisecond);

// The chart drawn as the window and quorvel-chart draw it.
DrawnChart drawChart(DrawingSurface &surface, SharedValues &shared, const ChartControls &controls)
{
    surface.Cls();
    DrawBackground(surface, controls);
    return DrawPicBack(surface, controls, shared);
}

// The chart of 2010-02-06, the query day in the middle of the span.
struct Chart {
    DrawingSurface surface{ChartPixelSize};
    SharedValues shared{0.0, Birth, ProgramCriticalLevel};
    ChartControls request;
    DrawnChart drawn;

    explicit Chart(int span)
    {
        request.birthText = QStringLiteral("1960-02-06");
        request.queryText = QStringLiteral("2010-02-06");
        request.span = span;
        request.position = 9122;
        drawn = drawChart(surface, shared, request);
    }
};

void ChartPng(benchmark::State &state)
{
    Chart chart(int(state.range(1)));
    const int scale = int(state.range(0));
    QByteArray bytes;
    for (auto _ : state) {
        drawChart(chart.surface, chart.shared, chart.request);
        bytes = chartFile(ChartFormat::Png, chart.surface, chart.drawn, scale, Birth);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["bytes"] = double(bytes.size());
}
BENCHMARK(ChartPng)->Args({1, 40})->Args({1, 365})->Args({2, 40})->Args({2, 365})->Unit(benchmark::kMillisecond);

void ChartSvg(benchmark::State &state)
{
    const Chart chart(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(chartFile(ChartFormat::Svg, chart.surface, chart.drawn, 1, Birth));
}
BENCHMARK(ChartSvg)->Arg(365)->Unit(benchmark::kMillisecond);

void SheetPdf(benchmark::State &state)
{
    const Chart chart(int(state.range(0)));
    QByteArray bytes;
    for (auto _ : state) {
        bytes.clear();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        writeChartPdf(&buffer, chart.surface, chart.drawn, Birth + 20000.0);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["bytes"] = double(bytes.size());
}
BENCHMARK(SheetPdf)->Arg(40)->Arg(365)->Unit(benchmark::kMillisecond);

void CalendarOf100Years(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(
            criticalDaysCalendar(Birth, criticalDaysBetween(0, 36525, ProgramCriticalLevel), Birth + 20000.0));
}
BENCHMARK(CalendarOf100Years)->Unit(benchmark::kMillisecond);

} // namespace
