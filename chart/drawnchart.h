// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chart/comparison.h"
#include "model/biorhythm.h"
#include "platform/dates/datetime.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>
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
// since the birth date, both ends included. The frame runs from the first
// day's left edge to the right edge of the last, the left edge of `end()`.
struct SpanDays {
    int first = 0;
    int last = -1;

    int end() const { return last + 1; }
    bool shows(int day) const { return day >= first && day <= last; }
    bool operator==(const SpanDays &) const = default;
};

// The calendar day that names day offset `day` of a life that began at
// `birth`: the day that holds the middle of the day's column, birth + day +
// 0.5, which is the date the pointer shows there. For a birth before noon
// that is the birth's calendar day plus `day` days, for a birth from noon on
// the day after. A whole day count, which may lie outside the range of dates.
Date dayDate(Date birth, int day);

// The numbers the readout shows for the cycles at one offset: 100 times each
// cycle's value, then the Composite, each rounded down to a whole number.
std::array<long long, 4> readoutNumbers(const CycleValues &cycles);

struct DrawnChart {
    // The frame, drawn every time: the days the span shows, their number
    // (the scroll bar's value) and the span label (LBLts).
    SpanDays days;
    int span() const { return days.end() - days.first; }
    QString spanLabel;

    // The curves and the marks, drawn only when both dates were read. With
    // the frame alone the dates are those asked for, where there are any.
    bool curvesDrawn = false;
    Date birthDate = 0.0; // ChartBirthDate when it was drawn
    Date queryDate = 0.0; // ChartQueryDate
    // The query day's column: the days from the birth date to the query
    // date, rounded to the nearest whole number (halves to even); none when
    // that overflows. The query-day bar is drawn over it when the span's
    // dates hold the query date, which may put it just past the last shown
    // column.
    std::optional<int> queryDay;
    bool queryBarDrawn = false;
    // The span's critical days, first to last, each under a black bar.
    std::vector<int> criticalDays;
    QString startLabel; // LBLStartSj: the first day, "yyyy-mm-dd"
    // Whether the birth and the query date were typed as lunar dates: where
    // they are told in words, their lunar days are told too.
    bool birthTypedLunar = false;
    bool queryTypedLunar = false;

    // The calendar day of a day offset (dayDate), whether it lies in the
    // range of dates, and its name: "yyyy-mm-dd", or for a day past
    // 9999-12-31 how far past it lies. Every reader names a day so.
    Date dateOf(int day) const { return dayDate(birthDate, day); }
    bool inRange(int day) const { return dateOf(day) <= LastDateSerial; }
    QString dayText(int day) const;
    // Whether the chart shows the query-day bar in one of its columns, and
    // whether a column carries it, or a critical-day bar.
    bool showsQueryDay() const { return curvesDrawn && queryBarDrawn && days.shows(*queryDay); }
    bool marksQueryDay(int day) const { return showsQueryDay() && *queryDay == day; }
    bool marksCriticalDay(int day) const { return std::binary_search(criticalDays.begin(), criticalDays.end(), day); }
    // What a reader says beside the query day, where there is anything to
    // say: the calendar day of the query day's column when that is another
    // day than the query date's ("图中 …" where the chart shows it, as for
    // a query time from noon on with a birth at midnight), and that the
    // chart does not show it.
    QStringList queryDayNotes() const;
    // The readout's four numbers in the middle of a day's column: the
    // values of the day itself.
    std::array<long long, 4> valuesOf(int day) const { return readoutNumbers(AllCycleValues(day)); }
    // The second person, drawn over the first in dotted lines when the
    // chart compares two people.
    std::optional<ComparedChart> compared;
};

// The words for what the chart marks, in every reader's text: the sheet, the
// calendar, what a screen reader hears.
inline const QString QueryDayWord = QStringLiteral("查询日");
inline const QString CriticalDayWord = QStringLiteral("临界日");
inline const QString NoCriticalDayWords = QStringLiteral("无临界日");
// Said of a query day that the chart's columns do not show.
inline const QString OutsideChartWords = QStringLiteral("不在图中");

// The critical days from day offset `first` to `last`, both included, at the
// level; of a life whose offsets are `shift` days further on, when given.
std::vector<int> criticalDaysBetween(int first, int last, float level, double shift = 0.0);

// The frame of a span of `span` days at a scroll position, alone.
DrawnChart frameOf(int position, int span);

// What the chart of a birth date and a query date at a scroll position and
// span shows, with the second person of a comparison; the critical days are
// those at the level.
DrawnChart chartOf(Date birthDate, Date queryDate, int position, int span, float criticalLevel,
                   const std::optional<Comparison> &comparison = std::nullopt);

} // namespace quorvel
