// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/span.h"

#include "platform/dates/conversions.h"

namespace quorvel {

std::optional<int> centredSpanPosition(Date query, Date birth, int span, int maxPosition)
{
    const double d = (query - span / 2.0) - birth;
    // Written so that a NaN lands here too. Since every birth date lies in
    // the range of dates, this also covers a query date so early that the
    // span would begin before the first representable day.
    if (!(d > 0.0))
        return std::nullopt;
    double p = d / 2.0;
    if (p > maxPosition)
        p = maxPosition;
    const auto position = CInt(p);
    if (!position)
        return std::nullopt;
    return int(*position);
}

std::optional<QString> futureQueryAsToday(Date query, Date now)
{
    if (!(query > now))
        return std::nullopt;
    return Format(now, u"YYYY-MM-DD");
}

} // namespace quorvel
