// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dates/datetime.h"

#include "platform/dates/textreader.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <variant>

namespace quorvel {

namespace {

struct Day {
    int year;
    int month;
    int day;
};

// A day as a text writes it: a Gregorian day that exists, or a lunar day
// that need not; nothing when the text is in none of the forms.
using WrittenDay = std::variant<std::monostate, Day, LunarDay>;

// The forms of a day, in one pass: "yyyy-m-d", "yyyy/m/d", "yyyy.m.d" (one
// separator throughout) and "yyyy年m月d日", and the lunar forms "农历yyyy年…",
// "yyyy年农历…" and "农历yyyy-m-d" (also with / or .).
WrittenDay readDay(Reader &reader)
{
    const bool markFirst = reader.take(LunarMark);
    const auto year = reader.number(4, 4);
    if (!year)
        return {};
    std::optional<MonthAndDay> date;
    if (reader.take(u'年')) {
        if (markFirst || reader.take(LunarMark)) {
            LunarDay lunar{*year};
            return readLunarMonthAndDay(reader, lunar) ? WrittenDay(lunar) : WrittenDay();
        }
        const auto month = reader.number(1, 2);
        const auto day = month && reader.take(u'月') ? reader.number(1, 2) : std::nullopt;
        if (day && reader.take(u'日'))
            date = MonthAndDay{*month, *day};
    } else {
        date = readSeparatedMonthAndDay(reader);
        if (date && markFirst)
            return LunarDay{*year, date->month, false, date->day};
    }
    if (!date || *year < 100 || !QDate::isValid(*year, date->month, date->day))
        return {};
    return Day{*year, date->month, date->day};
}

// "H:MM" or "H:MM:SS" as seconds since midnight.
std::optional<int> readTimeOfDay(Reader &reader)
{
    const auto hours = reader.number(1, 2);
    if (!hours || *hours > 23 || !reader.take(u':'))
        return std::nullopt;
    const auto minutes = reader.number(2, 2);
    if (!minutes || *minutes > 59)
        return std::nullopt;
    int seconds = 0;
    if (reader.take(u':')) {
        const auto s = reader.number(2, 2);
        if (!s || *s > 59)
            return std::nullopt;
        seconds = *s;
    }
    return *hours * 3600 + *minutes * 60 + seconds;
}

} // namespace

std::optional<MonthAndDay> readSeparatedMonthAndDay(Reader &reader)
{
    const char16_t separator = reader.peek();
    if (separator != u'-' && separator != u'/' && separator != u'.')
        return std::nullopt;
    reader.take(separator);
    const auto month = reader.number(1, 2);
    if (!month || !reader.take(separator))
        return std::nullopt;
    const auto day = reader.number(1, 2);
    if (!day)
        return std::nullopt;
    return MonthAndDay{*month, *day};
}

double DateSerial(int year, int month, int day)
{
    return double(QDate(year, month, day).toJulianDay() - JulianDayOfDayZero);
}

QDate calendarDate(Date date)
{
    return QDate::fromJulianDay(static_cast<qint64>(std::floor(date)) + JulianDayOfDayZero);
}

bool IsDate(QStringView text)
{
    return CDate(text).has_value();
}

std::optional<Date> CDate(QStringView text)
{
    return readDate(text).date;
}

DateReading readDate(QStringView text)
{
    DateReading reading;
    Reader reader(text);
    reader.skipBlanks();
    const WrittenDay day = readDay(reader);
    if (std::holds_alternative<std::monostate>(day))
        return reading;
    if (const auto *lunar = std::get_if<LunarDay>(&day)) {
        reading.lunar = true;
        reading.lunarDay = *lunar;
    }
    double fraction = 0.0;
    if (reader.skipBlanks() > 0 && !reader.atEnd()) {
        const auto seconds = readTimeOfDay(reader);
        if (!seconds)
            return reading;
        fraction = *seconds / 86400.0;
        reader.skipBlanks();
    }
    if (!reader.atEnd())
        return reading;
    if (const auto *gregorian = std::get_if<Day>(&day)) {
        reading.date = DateSerial(gregorian->year, gregorian->month, gregorian->day) + fraction;
    } else if (const auto julianDay = julianDayOfLunar(reading.lunarDay, &reading.problem)) {
        reading.date = double(*julianDay - JulianDayOfDayZero) + fraction;
    }
    return reading;
}

bool isLunarDate(QStringView text)
{
    const DateReading reading = readDate(text);
    return reading.lunar && reading.date;
}

QString whyNoSuchDate(QStringView text)
{
    const DateReading reading = readDate(text);
    return reading.lunar ? lunarProblemText(reading.lunarDay, reading.problem) : QString();
}

QString lunarDateText(Date date)
{
    if (!CDate(date))
        return QString();
    const auto day = lunarDayOf(static_cast<qint64>(std::floor(date)) + JulianDayOfDayZero);
    return day ? lunarDayText(*day) : QString();
}

QString withLunarDate(const QString &words, Date date, bool typedLunar)
{
    const QString lunar = typedLunar ? lunarDateText(date) : QString();
    return lunar.isEmpty() ? words : words + QStringLiteral("（农历") + lunar + u'）';
}

std::optional<Date> CDate(double value)
{
    const double day = std::floor(value);
    // Written so that NaN fails the test too.
    if (!(day >= FirstDateSerial && day <= LastDateSerial))
        return std::nullopt;
    return value;
}

QString Format(Date date, QStringView format)
{
    if (format != u"yyyy-mm-dd" && format != u"YYYY-MM-DD")
        return QString();
    if (!CDate(date))
        return QString();
    // asprintf writes its numbers as the C locale does, whatever the user's.
    const QDate day = calendarDate(date);
    return QString::asprintf("%04d-%02d-%02d", day.year(), day.month(), day.day());
}

QString dateTimeText(Date date)
{
    const long long seconds = std::min(std::llround((date - std::floor(date)) * 86400.0), 86399LL);
    QString text = dateText(date);
    if (seconds == 0 || text.isEmpty())
        return text;
    const auto two = [](long long n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    text += u' ' + two(seconds / 3600) + u':' + two(seconds / 60 % 60);
    if (seconds % 60)
        text += u':' + two(seconds % 60);
    return text;
}

Date systemNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    return double(now.date().toJulianDay() - JulianDayOfDayZero) + now.time().msecsSinceStartOfDay() / 86400000.0;
}

} // namespace quorvel
