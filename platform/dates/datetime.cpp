// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dates/datetime.h"

#include <QDateTime>

#include <cmath>

namespace quorvel {

// A Chinese input method in full-width mode types these instead of the ASCII
// digits and separators; they mean the same, so the reader sees them as such.
// Every blank (tab, ideographic space) reads as ' '.
char16_t halfWidth(char16_t c)
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

namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Reads the text once from left to right; every step fails rather than
// guesses, so any input costs at most one pass.
class Reader
{
public:
    explicit Reader(QStringView text) : m_text(text) {}

    bool atEnd() const { return m_pos == m_text.size(); }
    // '\0' past the end never matches anything a step asks for; an embedded
    // NUL does not match either.
    char16_t peek() const { return atEnd() ? u'\0' : halfWidth(m_text[m_pos].unicode()); }
    bool take(char16_t c)
    {
        if (atEnd() || peek() != c)
            return false;
        ++m_pos;
        return true;
    }
    // minDigits to maxDigits decimal digits and no digit after them, so a long
    // run of digits fails without ever overflowing.
    std::optional<int> number(int minDigits, int maxDigits)
    {
        int value = 0;
        int digits = 0;
        while (digits < maxDigits && !atEnd() && isDigit(peek())) {
            value = value * 10 + (peek() - u'0');
            ++m_pos;
            ++digits;
        }
        if (digits < minDigits || (!atEnd() && isDigit(peek())))
            return std::nullopt;
        return value;
    }
    qsizetype skipBlanks()
    {
        const qsizetype start = m_pos;
        while (!atEnd() && peek() == u' ')
            ++m_pos;
        return m_pos - start;
    }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
};

struct Day {
    int year;
    int month;
    int day;
};

// "yyyy-m-d", "yyyy/m/d", "yyyy.m.d" (one separator throughout) or "yyyy年m月d日".
std::optional<Day> readDay(Reader &reader)
{
    const auto year = reader.number(4, 4);
    if (!year)
        return std::nullopt;
    char16_t afterMonth;
    char16_t afterDay = 0;
    if (reader.take(u'年')) {
        afterMonth = u'月';
        afterDay = u'日';
    } else {
        afterMonth = reader.peek();
        if (afterMonth != u'-' && afterMonth != u'/' && afterMonth != u'.')
            return std::nullopt;
        reader.take(afterMonth);
    }
    const auto month = reader.number(1, 2);
    if (!month || !reader.take(afterMonth))
        return std::nullopt;
    const auto day = reader.number(1, 2);
    if (!day || (afterDay && !reader.take(afterDay)))
        return std::nullopt;
    if (*year < 100 || !QDate::isValid(*year, *month, *day))
        return std::nullopt;
    return Day{*year, *month, *day};
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
    Reader reader(text);
    reader.skipBlanks();
    const auto day = readDay(reader);
    if (!day)
        return std::nullopt;
    double fraction = 0.0;
    if (reader.skipBlanks() > 0 && !reader.atEnd()) {
        const auto seconds = readTimeOfDay(reader);
        if (!seconds)
            return std::nullopt;
        fraction = *seconds / 86400.0;
        reader.skipBlanks();
    }
    if (!reader.atEnd())
        return std::nullopt;
    return DateSerial(day->year, day->month, day->day) + fraction;
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

Date dateValue(const QDateTime &moment)
{
    const QDate day = moment.date();
    return DateSerial(day.year(), day.month(), day.day()) + moment.time().msecsSinceStartOfDay() / 86400000.0;
}

Date systemNow()
{
    return dateValue(QDateTime::currentDateTime());
}

} // namespace quorvel
