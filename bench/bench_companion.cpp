// quorvel-chart's work without the process around it: a hundred years of
// table rows, and the chart rendered and encoded as PNG or SVG.
#include "companion/companion.h"

#include <QBuffer>
#include <QCoreApplication>

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
            appendTableRow(out, dayValues(Birth, date));
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["bytes"] = double(out.size());
}
BENCHMARK(TableOf100Years)->Unit(benchmark::kMillisecond);

ChartRequest request(int span)
{
    ChartRequest request;
    request.birthText = QStringLiteral("1960-02-06");
    request.queryText = QStringLiteral("2010-02-06");
    request.view.birthDate = Birth;
    request.view.queryDate = Birth + 18263.0;
    request.view.span = span;
    request.view.position = 9122;
    return request;
}

void ChartPng(benchmark::State &state)
{
    const ChartRequest chart = request(int(state.range(1)));
    const int scale = int(state.range(0));
    QByteArray bytes;
    for (auto _ : state) {
        bytes.clear();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        writePng(chartImage(chart, scale), &buffer);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["bytes"] = double(bytes.size());
}
BENCHMARK(ChartPng)->Args({1, 40})->Args({1, 365})->Args({2, 40})->Args({2, 365})->Unit(benchmark::kMillisecond);

void ChartSvg(benchmark::State &state)
{
    const ChartRequest chart = request(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(chartSvg(chart, 1));
}
BENCHMARK(ChartSvg)->Arg(365)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
