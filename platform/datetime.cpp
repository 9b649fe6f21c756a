#include "platform/datetime.h"

#include <QDateTime>

#include <cmath>

namespace quorvel {
namespace {

std::function<Date()> g_clock;

// Days from 1970-01-01 of a proleptic Gregorian day (H. Hinnant's algorithm).
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

constexpr long long UnixEpochSerial = 25569; // 1970-01-01

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\x3000'; }

// Full-width digits and separators as a Chinese input method types them.
char16_t halfWidth(char16_t c)
{
    if (c >= u'\xFF10' && c <= u'\xFF19')
        return char16_t(u'0' + (c - u'\xFF10'));
    switch (c) {
    case u'\xFF0D': return u'-';
    case u'\xFF0F': return u'/';
    case u'\xFF0E': return u'.';
    case u'\xFF1A': return u':';
    case u'\x3000': return u' ';
    default: return c;
    }
}

// A reader over the normalised text; every step fails rather than guesses.
class Reader
{
public:
    explicit Reader(const std::u16string &text) : m_text(text) {}

    bool atEnd() const { return m_pos == m_text.size(); }
    char16_t peek() const { return atEnd() ? u'\0' : m_text[m_pos]; }
    bool take(char16_t c)
    {
        if (peek() != c)
            return false;
        ++m_pos;
        return true;
    }
    // minDigits to maxDigits decimal digits, no more.
    std::optional<int> number(int minDigits, int maxDigits)
    {
        int value = 0;
        int digits = 0;
        while (digits < maxDigits && peek() >= u'0' && peek() <= u'9') {
            value = value * 10 + (peek() - u'0');
            ++m_pos;
            ++digits;
        }
        if (digits < minDigits || (peek() >= u'0' && peek() <= u'9'))
            return std::nullopt;
        return value;
    }
    int skipBlanks()
    {
        int count = 0;
        while (peek() == u' ') {
            ++m_pos;
            ++count;
        }
        return count;
    }

private:
    const std::u16string &m_text;
    std::size_t m_pos = 0;
};

std::optional<Date> parseDate(QStringView text)
{
    // No date text is longer than this; refusing early keeps any input cheap.
    constexpr qsizetype MaxLength = 64;
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin].unicode()))
        ++begin;
    while (end > begin && isBlank(text[end - 1].unicode()))
        --end;
    if (end - begin > MaxLength || begin == end)
        return std::nullopt;

    std::u16string normal;
    for (qsizetype i = begin; i < end; ++i)
        normal.push_back(halfWidth(text[i].unicode()));
    Reader reader(normal);

    const auto year = reader.number(4, 4);
    if (!year)
        return std::nullopt;
    std::optional<int> month;
    std::optional<int> day;
    if (reader.take(u'年')) {
        month = reader.number(1, 2);
        if (!month || !reader.take(u'月'))
            return std::nullopt;
        day = reader.number(1, 2);
        if (!day || !reader.take(u'日'))
            return std::nullopt;
    } else {
        const char16_t separator = reader.peek();
        if (separator != u'-' && separator != u'/' && separator != u'.')
            return std::nullopt;
        reader.take(separator);
        month = reader.number(1, 2);
        if (!month || !reader.take(separator))
            return std::nullopt;
        day = reader.number(1, 2);
        if (!day)
            return std::nullopt;
    }
    if (*year < 100 || *month < 1 || *month > 12 || *day < 1 || *day > daysInMonth(*year, *month))
        return std::nullopt;

    double fraction = 0.0;
    if (!reader.atEnd()) {
        if (reader.skipBlanks() == 0)
            return std::nullopt;
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
        if (!reader.atEnd())
            return std::nullopt;
        fraction = (*hours * 3600 + *minutes * 60 + seconds) / 86400.0;
    }
    return DateSerial(*year, *month, *day) + fraction;
}

Date systemNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate today = now.date();
    const QTime time = now.time();
    return DateSerial(today.year(), today.month(), today.day()) + time.msecsSinceStartOfDay() / 86400000.0;
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
    return QStringLiteral("%1-%2-%3")
        .arg(civil.year, 4, 10, QLatin1Char('0'))
        .arg(civil.month, 2, 10, QLatin1Char('0'))
        .arg(civil.day, 2, 10, QLatin1Char('0'));
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
