// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dates/datetime.h"

#include <QString>

#include <optional>

// The query command's plan: what it makes of the query box, the birth box,
// the span and the present moment, worked out once and before anything
// changes. The window carries it out step by step, and quorvel-chart draws
// what it says, so that both place the same dates at the same position and
// refuse the same queries in the same words.

namespace quorvel {

inline constexpr int MaxPosition = 18250; // 100 years in two-day steps
inline constexpr int MinSpan = 40;
inline constexpr int MaxSpan = 365;

// The POSITION value that puts query in the middle of a span of `span` days
// for a person born on birth: d = (query - span / 2) - birth, p = d / 2 held
// to maxPosition and rounded to the nearest whole number, halves to even.
// Nothing when the span would begin on or before the birth date (d <= 0):
// the caller then shows the empty frame. maxPosition lies within 0..32767,
// so the rounding cannot overflow.
std::optional<int> centredSpanPosition(Date query, Date birth, int span, int maxPosition = MaxPosition);

// Why a query draws no chart.
enum class QueryRefusal {
    NotADate,     // the query text is no date: beep, select it
    BeforeBirth,  // the query date lies before the birth date
    TooNearBirth, // the span centred on it would begin on or before the birth date
};

struct QueryPlan {
    // A query date after the present moment becomes today: the text the
    // query box then holds, "YYYY-MM-DD".
    std::optional<QString> todayText;
    Date query = 0.0; // the query date, from the box or from today's text
    Date birth = 0.0; // the birth box's date, else the date stored
    // Where the span goes, or why nothing is drawn.
    std::optional<int> position;
    std::optional<QueryRefusal> refusal;
};

// The plan for a query text and a birth text, with the birth date stored
// from the last chart (used when the birth text is no date), a span of
// `span` days, the scroll bar's maximum and the present moment.
QueryPlan planQuery(const QString &queryText, const QString &birthText, Date storedBirth, int span, int maxPosition,
                    Date now);

// Why a plan draws nothing, as the window says it and quorvel-chart writes
// it; empty for a plan that draws.
QString refusalText(const QueryPlan &plan, int span);

} // namespace quorvel
