// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDateTime>
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
// without leading zeros in month and day, an optional " H:MM" or " H:MM:SS",
// blanks around, and the full-width digits and separators that a Chinese
// input method types. Everything else is rejected.
bool IsDate(QStringView text);

// A Chinese input method in full-width mode types the digits and separators
// U+FF10..U+FF19, U+FF0D, U+FF0F, U+FF0E and U+FF1A instead of the ASCII ones;
// they mean the same, so every reader of typed numbers sees them as those.
// Every blank (tab, ideographic space) reads as ' '; any other character is
// itself.
char16_t halfWidth(char16_t c);

// The date of a text that IsDate accepts; nothing for any other text.
std::optional<Date> CDate(QStringView text);

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

// The date and time of a moment, in the moment's own time zone.
Date dateValue(const QDateTime &moment);

// The local date and time now, by the system's clock.
Date systemNow();

} // namespace quorvel
