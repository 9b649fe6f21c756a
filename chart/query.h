// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dates/datetime.h"

#include <QString>

#include <optional>

// The query command's plan, worked out once before anything changes: the
// window carries it out step by step and quorvel-chart draws what it says,
// so both place the same dates at the same position and refuse the same
// queries in the same words.

namespace quorvel {

inline constexpr int MaxPosition = 18250; // 100 years in two-day steps
inline constexpr int MinSpan = 40;
inline constexpr int MaxSpan = 365;

// The POSITION value that puts query in the middle of a span of `span` days
// for a person born on birth: d = (query - span / 2) - birth, p = d / 2 held
// to maxPosition and rounded to the nearest whole number, halves to even.
// Nothing when the span would begin on or before the birth date (d <= 0).
std::optional<int> centredSpanPosition(Date query, Date birth, int span, int maxPosition = MaxPosition);

enum class QueryRefusal { NotADate, BeforeBirth, TooNearBirth };

struct QueryPlan {
    // The text a query date after the present moment is replaced by: today,
    // "YYYY-MM-DD".
    std::optional<QString> todayText;
    Date query = 0.0; // from the box, or from today's text
    std::optional<int> position; // where the span goes; none when nothing is drawn
    std::optional<QueryRefusal> refusal;
};

// The plan for the query and birth texts, the birth date stored from the
// last chart, a span of `span` days, the scroll bar's maximum and now.
QueryPlan planQuery(const QString &queryText, const QString &birthText, Date storedBirth, int span, int maxPosition,
                    Date now);

// Why a query before the birth date, or too near it, draws nothing.
QString refusalText(const QueryPlan &plan, int span);

} // namespace quorvel
