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
// (a regular expression and QDate; for the lunar forms, the published lunar
// tables rather than ICU), so a text wrongly accepted or rejected, a lunar
// day converted wrongly either way, or a wrong reason for refusing one, is a
// finding as much as a crash.

#include "lunartable.h"

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
using namespace quorvel::test;

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

// What the reference reading makes of a text: the date, whether it is in a
// lunar form, and why a lunar day written well does not exist.
struct Reference {
    std::optional<double> date;
    bool lunar = false;
    LunarProblem problem = LunarProblem::None;
};

// The table's year of a lunar year; nothing outside 1901 to 2099.
const TableYear *tableYear(int year)
{
    const QList<TableYear> &years = tableYears();
    const qsizetype at = year - years.first().year;
    return at >= 0 && at < years.size() ? &years[at] : nullptr;
}

// 正, 冬, 腊, 一 to 十二, or digits, as a month number.
int referenceMonth(const QString &name)
{
    static const QStringList names{u"正"_qs, u"二"_qs, u"三"_qs, u"四"_qs,   u"五"_qs,   u"六"_qs,
                                   u"七"_qs, u"八"_qs, u"九"_qs, u"十"_qs, u"十一"_qs, u"十二"_qs};
    if (name == u"一")
        return 1;
    if (name == u"冬")
        return 11;
    if (name == u"腊")
        return 12;
    return names.contains(name) ? int(names.indexOf(name)) + 1 : name.toInt();
}

// 初一 … 三十 (二十一 … 二十九 too), or digits with 日, as a day number.
int referenceDay(QString name)
{
    if (name.endsWith(u'日'))
        name.chop(1);
    if (!name.isEmpty() && name[0].isDigit())
        return name.toInt();
    static const QString units = u"一二三四五六七八九十"_qs;
    const int last = int(units.indexOf(name.back())) + 1;
    if (name.startsWith(u'初'))
        return last;
    if (name == u"二十" || name == u"三十")
        return name[0] == u'二' ? 20 : 30;
    const int tens = name.startsWith(u"二十") || name.startsWith(u'廿') ? 20 : 10;
    return tens + last;
}

// The lunar day by the table, or why there is none; the checks in the
// order the reader documents them.
std::optional<qint64> referenceLunarDay(int year, int month, bool leap, int day, LunarProblem &problem)
{
    const TableYear *months = tableYear(year);
    const int index = months ? months->indexOf(month, leap) : -1;
    if (month < 1 || month > 12 || day < 1)
        problem = LunarProblem::NotADay;
    else if (!months)
        problem = LunarProblem::YearOutOfRange;
    else if (index < 0)
        problem = LunarProblem::NoSuchLeapMonth;
    else if (day > months->length(index))
        problem = LunarProblem::NoSuchDay;
    else
        return months->firstDay(index).toJulianDay() + day - 1;
    return std::nullopt;
}

// The lunar day of a Julian day by the table; nothing outside it.
std::optional<LunarDay> referenceLunarDayOf(qint64 julianDay)
{
    for (const TableYear &year : tableYears()) {
        qint64 start = year.newYear.toJulianDay();
        for (int index = 0; index < year.lengths.size(); ++index) {
            if (julianDay < start)
                return std::nullopt;
            if (julianDay < start + year.length(index)) {
                const bool leap = year.leapMonth && index == year.leapMonth;
                const int month = year.leapMonth && index >= year.leapMonth ? index : index + 1;
                return LunarDay{year.year, month, leap, int(julianDay - start) + 1};
            }
            start += year.length(index);
        }
    }
    return std::nullopt;
}

// The grammar the reader documents, written out a second time: full-width
// digits and separators read as ASCII, tab and ideographic space as a blank;
// every character outside the grammar becomes '#' so that the regular
// expression never sees invalid UTF-16.
Reference referenceDate(QStringView text)
{
    static const QString lunarSigns = u"农历闰正冬腊一二三四五六七八九十初廿"_qs;
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
            || c == u':' || c == u' ' || c == u'年' || c == u'月' || c == u'日' || lunarSigns.contains(QChar(c));
        if (inGrammar)
            normal[i] = QChar(c);
    }
    static const QString monthAndDay = QStringLiteral(
        "(闰)?([0-9]{1,2}|正|冬|腊|十[一二]?|[一二三四五六七八九])月"
        "([0-9]{1,2}日|(?:初[一二三四五六七八九十]|十[一二三四五六七八九]|廿[一二三四五六七八九]"
        "|二十[一二三四五六七八九]?|三十)日?)");
    static const QRegularExpression grammar(
        QStringLiteral("\\A *(?:([0-9]{4})(?:([-/.])([0-9]{1,2})\\2([0-9]{1,2})|年([0-9]{1,2})月([0-9]{1,2})日)"
                       "|农历([0-9]{4})年%1|农历([0-9]{4})([-/.])([0-9]{1,2})\\12([0-9]{1,2})|([0-9]{4})年农历%1)"
                       "(?: +([0-9]{1,2}):([0-9]{2})(?::([0-9]{2}))?)? *\\z")
            .arg(monthAndDay));
    const QRegularExpressionMatch match = grammar.match(normal);
    Reference reference;
    if (!match.hasMatch())
        return reference;
    int seconds = 0;
    if (match.capturedLength(19) > 0) {
        const int h = match.captured(19).toInt();
        const int m = match.captured(20).toInt();
        const int s = match.capturedLength(21) > 0 ? match.captured(21).toInt() : 0;
        if (h > 23 || m > 59 || s > 59)
            return reference;
        seconds = h * 3600 + m * 60 + s;
    }
    const auto value = [&](qint64 julianDay) { return double(julianDay - JulianDayOfDayZero) + seconds / 86400.0; };
    if (match.capturedLength(1) > 0) {
        const int year = match.captured(1).toInt();
        const bool dashed = match.capturedLength(2) > 0;
        const QDate date(year, match.captured(dashed ? 3 : 5).toInt(), match.captured(dashed ? 4 : 6).toInt());
        if (year >= 100 && date.isValid())
            reference.date = value(date.toJulianDay());
        return reference;
    }
    reference.lunar = true;
    int year, month, day;
    bool leap = false;
    if (match.capturedLength(11) > 0) {
        year = match.captured(11).toInt();
        month = match.captured(13).toInt();
        day = match.captured(14).toInt();
    } else {
        // The two forms with 年 capture the year, 闰, the month and the day
        // in that order, from group 7 and from group 15.
        const int at = match.capturedLength(7) > 0 ? 7 : 15;
        year = match.captured(at).toInt();
        leap = match.capturedLength(at + 1) > 0;
        month = referenceMonth(match.captured(at + 2));
        day = referenceDay(match.captured(at + 3));
    }
    if (const auto julianDay = referenceLunarDay(year, month, leap, day, reference.problem))
        reference.date = value(*julianDay);
    return reference;
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

    const DateReading reading = readDate(text);
    check(reading.date == date, "readDate and CDate disagree");

    const Reference reference = referenceDate(text);
    const std::optional<double> expected = reference.date;
    check(accepted == expected.has_value(),
          accepted ? "the reader accepts a text outside its grammar"
                   : "the reader rejects a valid date");
    check(isLunarDate(text) == (accepted && reference.lunar), "isLunarDate gets the form wrong");
    // Only a lunar day written well that does not exist says why, and why
    // as the table has it.
    const bool explained = reference.lunar && !accepted && reference.problem != LunarProblem::NotADay;
    check(whyNoSuchDate(text).isEmpty() != explained, "a reason is given, or not given, wrongly");
    if (reference.lunar && !accepted)
        check(reading.problem == reference.problem, "the reader gives another reason than the table");
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

    // The way back: the day's lunar day as the table has it, for a lunar
    // text and any other date alike.
    const qint64 julianDay = static_cast<qint64>(day) + JulianDayOfDayZero;
    const std::optional<LunarDay> lunar = lunarDayOf(julianDay);
    check(lunar == referenceLunarDayOf(julianDay), "the lunar day of a date differs from the table",
          show(value));
    check(lunarDateText(value).isEmpty() == !lunar.has_value(), "the lunar day in words is missing or extra",
          show(value));
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
