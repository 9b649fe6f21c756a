// SPDX-License-Identifier: GPL-3.0-or-later
// The date reader's time per call, as every key in a date box and every
// pointer move over the chart pays it: the Gregorian forms, the lunar forms
// (by name, by number, with a leap month), a lunar day that does not exist,
// and the lunar day of a date in words. The lunar calendar's years are
// worked out once, before the timing, as the first lunar date typed does.
#include "platform/dates/datetime.h"

#include <QString>

#include <benchmark/benchmark.h>

using namespace quorvel;

namespace {

void Read(benchmark::State &state, const QString &text)
{
    benchmark::DoNotOptimize(CDate(text));
    for (auto _ : state)
        benchmark::DoNotOptimize(CDate(text));
}

void LunarDayInWords(benchmark::State &state)
{
    const Date date = *CDate(u"2023-03-24");
    benchmark::DoNotOptimize(lunarDateText(date));
    for (auto _ : state)
        benchmark::DoNotOptimize(lunarDateText(date));
}

} // namespace

BENCHMARK_CAPTURE(Read, gregorian, QStringLiteral("1985-07-14"));
BENCHMARK_CAPTURE(Read, gregorianChineseWithTime, QStringLiteral("1985年7月14日 12:00"));
BENCHMARK_CAPTURE(Read, lunarNames, QStringLiteral("农历1985年五月廿七"));
BENCHMARK_CAPTURE(Read, lunarLeapMonthWithTime, QStringLiteral("2023年农历闰二月初三 12:00"));
BENCHMARK_CAPTURE(Read, lunarDigits, QStringLiteral("农历1985-5-27"));
BENCHMARK_CAPTURE(Read, lunarNoSuchDay, QStringLiteral("农历1985年六月三十"));
BENCHMARK(LunarDayInWords);

BENCHMARK_MAIN();
