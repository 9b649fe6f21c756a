// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dates/lunar.h"

#include <QtGlobal>

#include <array>

// The Chinese lunar calendar of the years 1901 to 2099, month by month, as
// the published tables give it: reckoned by ICU's Chinese calendar, and
// corrected where the tables say otherwise.

namespace quorvel {

// One lunar year: the Julian days its months begin on, in order, and which
// month is followed by a leap month.
struct LunarYear {
    int months = 0;    // 12, or 13 with a leap month
    int leapMonth = 0; // the month the leap month follows; 0 when there is none
    // starts[i] is the first day of the i-th month; starts[months] is the
    // first day of the next year.
    std::array<qint64, 14> starts{};

    // The place of a month in the year's order, or -1 when the year has no
    // such month.
    int indexOf(int month, bool leap) const;
    // The month at a place: its number, and whether it is the leap month.
    int monthAt(int index) const { return leapMonth && index >= leapMonth ? index : index + 1; }
    bool isLeapAt(int index) const { return leapMonth && index == leapMonth; }
    int length(int index) const { return int(starts[index + 1] - starts[index]); }
};

// The lunar year, worked out the first time it is asked for; nothing for a
// year outside 1901 to 2099 (or when ICU has no Chinese calendar). Safe to
// call from any thread.
const LunarYear *lunarYear(int year);

} // namespace quorvel
