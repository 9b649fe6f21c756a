#include "platform/dates/datetime.h"

#include <QDateTime>

#include <cmath>

namespace quorvel {
namespace {

std::function<Date()> g_clock;

constexpr long long UnixEpochSerial = 25569; // 1970-01-01

// Days from 1970-01-01 of a proleptic Gregorian day (H. Hinnant's algorithm);
// exact for every day in range and free of the locale and the time zone.
long long daysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

struct Civil {
    long long year;
    unsigned month;
    unsigned day;
};

Civil civilFromDays(long long z)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<long long>(yoe) + era * 400 + (m <= 2), m, d};
}

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

} // namespace

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
    if (*year < 100 || *month < 1 || *month > 12 || *day < 1 || *day > daysInMonth(*year, *month))
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

std::optional<Date> parseDate(QStringView text)
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

Date systemNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate today = now.date();
    return DateSerial(today.year(), today.month(), today.day())
        + now.time().msecsSinceStartOfDay() / 86400000.0;
}

} // namespace

double DateSerial(int year, int month, int day)
{
    return double(daysFromCivil(year, unsigned(month), unsigned(day)) + UnixEpochSerial);
}

bool IsDate(QStringView text)
{
    return parseDate(text).has_value();
}

std::optional<Date> CDate(QStringView text)
{
    return parseDate(text);
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
    const Civil civil = civilFromDays(static_cast<long long>(std::floor(date)) - UnixEpochSerial);
    // Written digit by digit: no locale can reach it, and one allocation.
    QString text(10, u'-');
    QChar *const out = text.data();
    auto put = [out](int end, long long value, int digits) {
        for (int i = 1; i <= digits; ++i, value /= 10)
            out[end - i] = QChar(char16_t(u'0' + value % 10));
    };
    put(4, civil.year, 4);
    put(7, civil.month, 2);
    put(10, civil.day, 2);
    return text;
}

Date Now()
{
    return g_clock ? g_clock() : systemNow();
}

void setClock(std::function<Date()> clock)
{
    g_clock = std::move(clock);
}

void resetClock()
{
    g_clock = nullptr;
}

} // namespace quorvel
