// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dates/datetime.h"

#include <QString>

#include <algorithm>
#include <optional>
#include <vector>

// What a chart shows, worked out once: the chart makes it when it draws, and
// everything that tells of the chart reads it (the window's readouts and
// description, the sheet, the SVG, the PNG, the calendar, quorvel-chart), so
// that none of them works the chart out again. The drawing itself stays on
// the surface it was drawn on.

namespace quorvel {

// The first day a scroll position shows, as a day offset since the birth
// date: two days a step.
constexpr int firstDayAt(int position) { return 2 * position; }

// The days a span of `span` days at a scroll position shows, as day offsets
// since the birth date, both ends included.
struct SpanDays {
    int first = 0;
    int last = 0;

    bool shows(int day) const { return day >= first && day <= last; }
    bool operator==(const SpanDays &) const = default;
};
constexpr SpanDays spanDays(int position, int span) { return {firstDayAt(position), firstDayAt(position) + span - 1}; }

struct DrawnChart {
    Date birthDate = 0.0; // ChartBirthDate when it was drawn
    Date queryDate = 0.0; // ChartQueryDate
    int position = 0;     // POSITION: the span's start in two-day steps
    int span = 0;         // PROPTION: its width in days
    SpanDays days;        // the span's first and last days
    // The query day's column: the days from the birth date to the query
    // date, rounded to the nearest whole number (halves to even); none when
    // that overflows. The query-day bar stands on it when the span shows the
    // query date.
    std::optional<int> queryDay;
    bool queryBarDrawn = false;
    // The span's critical days, first to last, each under a black bar.
    std::vector<int> criticalDays;
    QString startLabel; // LBLStartSj: the first day, "yyyy-mm-dd"
    QString spanLabel;  // LBLts: "<-- s天 -->"
    // False when only the frame is drawn: the chart then shows no day, no
    // bar and no start date, only the span's width.
    bool curvesDrawn = true;
    // Whether the birth and the query date were typed as lunar dates: where
    // they are told in words, their lunar days are told too.
    bool birthTypedLunar = false;
    bool queryTypedLunar = false;

    // Whether the day's column carries the query-day bar, or a critical-day
    // bar.
    bool marksQueryDay(int day) const { return queryBarDrawn && queryDay == day; }
    bool marksCriticalDay(int day) const { return std::binary_search(criticalDays.begin(), criticalDays.end(), day); }

    bool operator==(const DrawnChart &) const = default;
};

// The words for what the chart marks, in every reader's text: the sheet, the
// calendar, what a screen reader hears.
inline const QString QueryDayWord = QStringLiteral("查询日");
inline const QString CriticalDayWord = QStringLiteral("临界日");
inline const QString NoCriticalDayWords = QStringLiteral("无临界日");

// What the chart of a birth date and a query date at a scroll position and
// span shows; the critical days are those at the level.
DrawnChart chartOf(Date birthDate, Date queryDate, int position, int span, float criticalLevel);

// The chart of a birth date and a query date of which only the frame of a
// span of `span` days is drawn, as when the span centred on the query date
// would begin before the birth date.
DrawnChart frameOnlyChart(Date birthDate, Date queryDate, int span);

} // namespace quorvel
