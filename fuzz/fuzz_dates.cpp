// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the date reader and the number conversions.
//
// An input that starts with the byte 0xFF (never part of UTF-8) is raw
// UTF-16LE after that byte, so lone surrogates and NULs reach the reader as
// they are; any other input is read as UTF-8. The first eight bytes are also
// taken as a double and as a 64-bit integer for the number conversions, and
// the ninth byte picks the rounding mode they run under.
//
// Every input is held against an independent reading of the same grammar
// (a regular expression and QDate), so a text wrongly accepted or rejected
// is a finding as much as a crash.

#include "platform/dates/conversions.h"
#include "platform/dates/datetime.h"

#include <QDate>
#include <QRegularExpression>
#include <QString>

#include <cfenv>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <string>

using namespace quorvel;

namespace {

const uint8_t *g_data = nullptr;
size_t g_size = 0;

[[noreturn]] void fail(const char *what, const QString &detail = QString())
{
    std::fprintf(stderr, "\nquorvel_fuzz_dates: %s\n", what);
    if (!detail.isEmpty())
        std::fprintf(stderr, "  %s\n", detail.toUtf8().constData());
    std::fprintf(stderr, "  input (%zu bytes):", g_size);
    for (size_t i = 0; i < g_size && i < 256; ++i)
        std::fprintf(stderr, " %02x", g_data[i]);
    std::fprintf(stderr, "\n");
    std::abort();
}

void check(bool condition, const char *what, const QString &detail = QString())
{
    if (!condition)
        fail(what, detail);
}

QString show(double value)
{
    return QString::number(value, 'g', 17);
}

const QDate DayZero = QDate::fromJulianDay(JulianDayOfDayZero);

// The day count as QDate sees it, from the text "yyyy-MM-dd".
QString qdateText(double day)
{
    return DayZero.addDays(static_cast<qint64>(day)).toString(u"yyyy-MM-dd");
}

// The grammar the reader documents, written out a second time: full-width
// digits and separators read as ASCII, tab and ideographic space as a blank;
// every character outside the grammar becomes '#' so that the regular
// expression never sees invalid UTF-16.
std::optional<double> referenceDate(QStringView text)
{
    QString normal(text.size(), u'#');
    for (qsizetype i = 0; i < text.size(); ++i) {
        char16_t c = text[i].unicode();
        if (c >= u'\xFF10' && c <= u'\xFF19')
            c = char16_t(u'0' + (c - u'\xFF10'));
        else if (c == u'\xFF0D')
            c = u'-';
        else if (c == u'\xFF0F')
            c = u'/';
        else if (c == u'\xFF0E')
            c = u'.';
        else if (c == u'\xFF1A')
            c = u':';
        else if (c == u'\x3000' || c == u'\t')
            c = u' ';
        const bool inGrammar = (c >= u'0' && c <= u'9') || c == u'-' || c == u'/' || c == u'.'
            || c == u':' || c == u' ' || c == u'年' || c == u'月' || c == u'日';
        if (inGrammar)
            normal[i] = QChar(c);
    }
    static const QRegularExpression grammar(QStringLiteral(
        "\\A *([0-9]{4})(?:([-/.])([0-9]{1,2})\\2([0-9]{1,2})|年([0-9]{1,2})月([0-9]{1,2})日)"
        "(?: +([0-9]{1,2}):([0-9]{2})(?::([0-9]{2}))?)? *\\z"));
    const QRegularExpressionMatch match = grammar.match(normal);
    if (!match.hasMatch())
        return std::nullopt;
    const int year = match.captured(1).toInt();
    const bool dashed = match.capturedLength(2) > 0;
    const int month = match.captured(dashed ? 3 : 5).toInt();
    const int day = match.captured(dashed ? 4 : 6).toInt();
    const QDate date(year, month, day);
    if (year < 100 || !date.isValid())
        return std::nullopt;
    int seconds = 0;
    if (match.capturedLength(7) > 0) {
        const int h = match.captured(7).toInt();
        const int m = match.captured(8).toInt();
        const int s = match.capturedLength(9) > 0 ? match.captured(9).toInt() : 0;
        if (h > 23 || m > 59 || s > 59)
            return std::nullopt;
        seconds = h * 3600 + m * 60 + s;
    }
    return double(DayZero.daysTo(date)) + seconds / 86400.0;
}

// Format of a value in range: ten characters that read back as the same day
// and that QDate writes the same way; "YYYY-MM-DD" gives the same text.
void checkFormat(double value)
{
    const double day = std::floor(value);
    const QString text = Format(value, u"yyyy-mm-dd");
    check(text.size() == 10, "Format of a date in range is not ten characters",
          QStringLiteral("%1 -> \"%2\"").arg(show(value), text));
    check(Format(value, u"YYYY-MM-DD") == text, "the two spellings of the format differ",
          show(value));
    const auto back = CDate(text);
    check(IsDate(text) && back.has_value(), "a formatted date does not read back",
          QStringLiteral("%1 -> \"%2\"").arg(show(value), text));
    check(*back == day, "a formatted date reads back as another day",
          QStringLiteral("%1 -> \"%2\" -> %3").arg(show(value), text, show(*back)));
    check(text == qdateText(day), "Format disagrees with QDate",
          QStringLiteral("%1 -> \"%2\", QDate \"%3\"").arg(show(value), text, qdateText(day)));
}

void checkText(QStringView text)
{
    const bool accepted = IsDate(text);
    const std::optional<Date> date = CDate(text);
    check(accepted == date.has_value(), "IsDate and CDate disagree");

    const std::optional<double> expected = referenceDate(text);
    check(accepted == expected.has_value(),
          accepted ? "the reader accepts a text outside its grammar"
                   : "the reader rejects a valid date");
    if (!accepted)
        return;

    const double value = *date;
    check(std::isfinite(value), "an accepted text gives a value that is not finite");
    const double day = std::floor(value);
    check(day >= FirstDateSerial && day <= LastDateSerial,
          "an accepted text gives a day out of range", show(value));
    const double fraction = value - day;
    check(fraction >= 0.0 && fraction < 1.0, "the time of day is outside [0, 1)", show(value));
    check(value == *expected, "the reader gives another value than the grammar",
          QStringLiteral("%1, expected %2").arg(show(value), show(*expected)));
    check(CDate(value) == value, "an accepted text gives a value that CDate(number) rejects",
          show(value));
    checkFormat(value);
}

// The integer conversions: round half to even (here nearbyint under
// FE_TONEAREST), then the range check on the rounded value.
template <typename Integer>
std::optional<Integer> referenceRound(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    if (rounded < double(std::numeric_limits<Integer>::min())
        || rounded > double(std::numeric_limits<Integer>::max()))
        return std::nullopt;
    return static_cast<Integer>(rounded);
}

bool sameDouble(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || (a == b && std::signbit(a) == std::signbit(b));
}

void checkNumbers(const uint8_t *data, size_t size)
{
    double value;
    std::memcpy(&value, data, sizeof value);
    long long whole;
    std::memcpy(&whole, data, sizeof whole);
    static constexpr int Modes[] = {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO};
    const int mode = size > 8 ? Modes[data[8] % 4] : FE_TONEAREST;

    // The program's own answers under the chosen rounding mode, which must
    // not change them.
    std::fesetround(mode);
    const auto cint = CInt(value);
    const auto clng = CLng(value);
    const double intValue = Int(value);
    const auto cdate = CDate(value);
    const QString formatted = Format(value, u"yyyy-mm-dd");
    std::fesetround(FE_TONEAREST);

    check(cint == referenceRound<std::int16_t>(value), "CInt disagrees with round half to even",
          show(value));
    check(clng == referenceRound<std::int32_t>(value), "CLng disagrees with round half to even",
          show(value));
    check(sameDouble(intValue, std::floor(value)), "Int is not floor", show(value));

    const double day = std::floor(value);
    const bool inRange = day >= FirstDateSerial && day <= LastDateSerial;
    check(cdate.has_value() == inRange, "CDate(number) gets the range wrong", show(value));
    if (inRange) {
        check(sameDouble(*cdate, value), "CDate(number) changes the value", show(value));
        check(formatted == Format(value, u"yyyy-mm-dd"), "Format depends on the rounding mode",
              show(value));
        checkFormat(value);
    } else {
        check(formatted.isEmpty(), "Format of a date out of range is not empty", show(value));
    }

    const std::string digits = std::to_string(whole);
    check(CStr(whole) == QString::fromStdString(digits), "CStr disagrees with std::to_string",
          QString::fromStdString(digits));
    if (clng)
        check(CStr(*clng) == QString::number(*clng), "CStr of a CLng result is wrong");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The bounds of the range and the zero day, once against QDate.
    check(DateSerial(100, 1, 1) == FirstDateSerial, "FirstDateSerial is not 0100-01-01");
    check(DateSerial(9999, 12, 31) == LastDateSerial, "LastDateSerial is not 9999-12-31");
    check(DateSerial(1899, 12, 30) == 0.0, "day zero is not 1899-12-30");
    check(double(DayZero.daysTo(QDate(100, 1, 1))) == FirstDateSerial, "QDate disagrees at 0100");
    check(double(DayZero.daysTo(QDate(9999, 12, 31))) == LastDateSerial,
          "QDate disagrees at 9999");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    g_data = data;
    g_size = size;

    // The text is copied into a buffer of exactly its size, so a read one
    // past the end is caught by AddressSanitizer.
    QString decoded;
    if (size > 0 && data[0] == 0xFF) {
        decoded.resize(qsizetype((size - 1) / 2));
        for (qsizetype i = 0; i < decoded.size(); ++i)
            decoded[i] = QChar(char16_t(data[1 + 2 * i] | (data[2 + 2 * i] << 8)));
    } else {
        decoded = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    }
    const qsizetype length = decoded.size();
    const auto exact = std::make_unique<char16_t[]>(size_t(length));
    std::memcpy(exact.get(), decoded.utf16(), size_t(length) * sizeof(char16_t));
    checkText(QStringView(exact.get(), length));

    if (size >= 8)
        checkNumbers(data, size);
    return 0;
}
