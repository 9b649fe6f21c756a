// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/drawnchart.h"

#include "chart/chart.h"
#include "platform/dates/conversions.h"

#include <cmath>

namespace quorvel {

Date dayDate(Date birth, int day)
{
    return std::floor(birth + day + 0.5);
}

std::array<long long, 4> readoutNumbers(const CycleValues &cycles)
{
    const double values[] = {cycles.physical * ValueScale, cycles.emotional * ValueScale,
                             cycles.intellectual * ValueScale, CompositeValue(cycles)};
    std::array<long long, 4> numbers;
    for (std::size_t i = 0; i < numbers.size(); ++i)
        numbers[i] = static_cast<long long>(Int(values[i]));
    return numbers;
}

std::vector<int> criticalDaysBetween(int first, int last, float level, double shift)
{
    std::vector<int> days;
    for (int day = first; day <= last; ++day) {
        if (IsCriticalDay(day + shift, level))
            days.push_back(day);
    }
    return days;
}

QString DrawnChart::dayText(int day) const
{
    if (inRange(day))
        return dateText(dateOf(day));
    return QStringLiteral("%1之后第%2天").arg(dateText(LastDateSerial)).arg(qint64(dateOf(day) - LastDateSerial));
}

QStringList DrawnChart::queryDayNotes() const
{
    QStringList notes;
    if (!queryDay)
        return notes;
    const QString marked = dayText(*queryDay);
    if (marked != dateText(queryDate))
        notes << (showsQueryDay() ? QStringLiteral("图中 ") + marked : marked);
    if (!showsQueryDay())
        notes << OutsideChartWords;
    return notes;
}

DrawnChart frameOf(int position, int span)
{
    DrawnChart chart;
    chart.days = {firstDayAt(position), firstDayAt(position) + span - 1};
    chart.spanLabel = spanLabelText(span);
    return chart;
}

DrawnChart chartOf(Date birthDate, Date queryDate, int position, int span, float criticalLevel,
                   const std::optional<Comparison> &comparison)
{
    DrawnChart chart = frameOf(position, span);
    chart.curvesDrawn = true;
    chart.birthDate = birthDate;
    chart.queryDate = queryDate;
    if (const auto day = CLng(queryDate - birthDate))
        chart.queryDay = *day;
    // Compared as day counts: a span reaching past the last representable
    // date is still drawn (only its start label is left empty).
    const double first = birthDate + chart.days.first;
    chart.queryBarDrawn = chart.queryDay && first <= queryDate && first + span > queryDate;
    chart.criticalDays = criticalDaysBetween(chart.days.first, chart.days.last, criticalLevel);
    chart.startLabel = startLabelText(birthDate, position);
    if (comparison)
        chart.compared = compareOn(*comparison, birthDate, chart.days.first, chart.days.last, criticalLevel);
    return chart;
}

} // namespace quorvel
