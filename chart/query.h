// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dates/datetime.h"

#include <QString>

#include <optional>

// Where the query command puts the span: the scroll position that centres a
// span of a given width on the query date, and what it makes of a query date
// in the future. One function each, so that the window and every other
// caller place the same dates at the same position.

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

// A query date after the present moment becomes today: the text the query
// box then holds, "YYYY-MM-DD". Nothing for a query date not after now.
std::optional<QString> futureQueryAsToday(Date query, Date now);

} // namespace quorvel
