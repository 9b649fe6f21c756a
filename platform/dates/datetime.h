// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dates/lunar.h"

#include <QDate>
#include <QString>
#include <QStringView>

#include <optional>

// Date values as the program counts them: a double number of days since
// 1899-12-30 00:00, the fraction being the time of day. Arithmetic is plain
// and linear over the whole range, also before 1899-12-30: the calendar day
// of an instant t is the day of floor(t).

namespace quorvel {

using Date = double;

// Day zero, 1899-12-30, as QDate's Julian day number: QDate is the calendar
// of every day count.
inline constexpr qint64 JulianDayOfDayZero = 2415019;

// 0100-01-01 and 9999-12-31 as day counts; a date value is in range when the
// calendar day of it lies between the two, both included.
inline constexpr double FirstDateSerial = -657434.0;
inline constexpr double LastDateSerial = 2958465.0;

// The day count of an existing proleptic Gregorian day (no range check).
double DateSerial(int year, int month, int day);

// The calendar day of a date: the day of floor(date).
QDate calendarDate(Date date);

// True when the text names an existing day in range, optionally with a time
// of day: "yyyy-mm-dd", "yyyy/m/d", "yyyy.m.d", "yyyy年m月d日", each with or
// without leading zeros in month and day, or a lunar day of the lunar years
// 1901 to 2099 ("农历1985年五月廿七", "1985年农历五月廿七", "农历2023年闰二月初三",
// "农历1985年5月27日", "农历1985-5-27": month and day by name, 正月 … 腊月 and
// 初一 … 三十, or by number, 闰 before a leap month); an optional
// " H:MM" or " H:MM:SS", blanks around, and the full-width digits and
// separators that a Chinese input method types. Everything else is rejected.
bool IsDate(QStringView text);

// A Chinese input method in full-width mode types the digits and separators
// U+FF10..U+FF19, U+FF0D, U+FF0F, U+FF0E and U+FF1A instead of the ASCII ones;
// they mean the same, so every reader of typed numbers sees them as those.
// Every blank (tab, ideographic space) reads as ' '; any other character is
// itself. Inline: the date reader asks it of every character it looks at.
inline char16_t halfWidth(char16_t c)
{
    if (c >= u'\xFF10' && c <= u'\xFF19')
        return char16_t(u'0' + (c - u'\xFF10'));
    switch (c) {
    case u'\xFF0D': return u'-';
    case u'\xFF0F': return u'/';
    case u'\xFF0E': return u'.';
    case u'\xFF1A': return u':';
    case u'\x3000':
    case u'\t': return u' ';
    default: return c;
    }
}

// The date of a text that IsDate accepts; nothing for any other text.
std::optional<Date> CDate(QStringView text);

// What a date text says: its date as CDate gives it, whether it is written
// as a lunar date, and for a lunar date the day as written and, when the
// text is well formed but no such day exists, why.
struct DateReading {
    std::optional<Date> date;
    bool lunar = false;
    LunarDay lunarDay;
    LunarProblem problem = LunarProblem::None;
};
DateReading readDate(QStringView text);

// Whether the text is a date that CDate accepts, written as a lunar date.
bool isLunarDate(QStringView text);

// Why a text in a lunar form names no day ("农历2023年没有闰三月，这一年闰二月");
// empty when there is no reason to give beyond the text not being a date.
QString whyNoSuchDate(QStringView text);

// The lunar day of a date's calendar day, "乙丑年五月廿七"; empty outside the
// lunar years 1901 to 2099.
QString lunarDateText(Date date);

// The words for a date, followed by its lunar day when it was typed as a
// lunar date: "1985-07-14（农历乙丑年五月廿七）".
QString withLunarDate(const QString &words, Date date, bool typedLunar);

// The same value when its calendar day lies in range; nothing (the overflow
// case) otherwise. NaN and infinities are out of range.
std::optional<Date> CDate(double value);

// "yyyy-mm-dd" or "YYYY-MM-DD" (four-digit year, zero-padded month and day)
// of the calendar day of a date in range. A date out of range gives an empty
// text: callers check the range with CDate first.
QString Format(Date date, QStringView format);

// "yyyy-mm-dd" of a date, as every label and file shows one; empty out of
// range.
inline QString dateText(Date date) { return Format(date, u"yyyy-mm-dd"); }

// A date as a date box takes it typed, its time of day included:
// "yyyy-mm-dd", then " HH:MM" when it has a time of day, ":SS" when that has
// seconds (rounded to the second); empty out of range.
QString dateTimeText(Date date);

// The local date and time now, by the system's clock.
Date systemNow();

} // namespace quorvel
