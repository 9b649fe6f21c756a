// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// Days of the Chinese lunar calendar (农历), lunar years 1901 to 2099: to and
// from Julian days, and in words.

namespace quorvel {

inline constexpr int FirstLunarYear = 1901;
inline constexpr int LastLunarYear = 2099;

struct LunarDay {
    int year = 0;      // the lunar year, counted as the Gregorian year it begins in
    int month = 0;     // 1 (正月) to 12 (腊月)
    bool leap = false; // the leap month (闰月) that follows `month`
    int day = 0;       // 1 (初一) to 30 (三十)

    bool operator==(const LunarDay &) const = default;
};

// Why a lunar day written down does not exist.
enum class LunarProblem {
    None,
    NotADay,         // month or day 0, or a month past the twelfth
    YearOutOfRange,  // before 1901 or after 2099
    NoSuchLeapMonth, // 闰 with a month the year does not double
    NoSuchDay,       // past the month's last day (三十 in a month of 29 days)
};

// The Julian day of a lunar day; nothing, with the reason in `problem` when
// one is given, when there is no such day.
std::optional<qint64> julianDayOfLunar(const LunarDay &day, LunarProblem *problem = nullptr);

// The lunar day of a Julian day; nothing outside the lunar years 1901 to 2099.
std::optional<LunarDay> lunarDayOf(qint64 julianDay);

// "乙丑年五月廿七": the year's stem and branch, the month (正月 … 十月, 冬月,
// 腊月, 闰 before a leap month) and the day (初一 … 三十).
QString lunarDayText(const LunarDay &day);

// Why the lunar day does not exist, as a clause: "农历2023年没有闰三月，
// 这一年闰二月". Empty for NotADay and None.
QString lunarProblemText(const LunarDay &day, LunarProblem problem);

} // namespace quorvel
