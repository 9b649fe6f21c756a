// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dates/conversions.h"

#include <QTest>

#include <cfenv>
#include <cmath>
#include <limits>

using namespace quorvel;

namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

// The largest double below one half: rounding it by adding 0.5 and taking
// the floor wrongly gives 1.
const double JustBelowHalf = std::nextafter(0.5, 0.0);

} // namespace

class tst_Conversions : public QObject
{
    Q_OBJECT

private slots:
    void toInteger_data();
    void toInteger();
    void toLong_data();
    void toLong();
    void roundingModeIsIgnored();
    void roundDown_data();
    void roundDown();
    void text_data();
    void text();
};

// An empty optional in the expected column stands for the overflow.
void tst_Conversions::toInteger_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<std::optional<int>>("expected");
    const std::optional<int> overflow;
    QTest::newRow("zero") << 0.0 << std::optional(0);
    QTest::newRow("half to even, down") << 0.5 << std::optional(0);
    QTest::newRow("half to even, up") << 1.5 << std::optional(2);
    QTest::newRow("2.5") << 2.5 << std::optional(2);
    QTest::newRow("3.5") << 3.5 << std::optional(4);
    QTest::newRow("-0.5") << -0.5 << std::optional(0);
    QTest::newRow("-1.5") << -1.5 << std::optional(-2);
    QTest::newRow("-2.5") << -2.5 << std::optional(-2);
    QTest::newRow("just below one half") << JustBelowHalf << std::optional(0);
    QTest::newRow("just above one half") << std::nextafter(0.5, 1.0) << std::optional(1);
    QTest::newRow("just below minus one half") << -JustBelowHalf << std::optional(0);
    QTest::newRow("just below 2.5") << std::nextafter(2.5, 0.0) << std::optional(2);
    QTest::newRow("just above 2.5") << std::nextafter(2.5, 3.0) << std::optional(3);
    QTest::newRow("0.6") << 0.6 << std::optional(1);
    QTest::newRow("-0.6") << -0.6 << std::optional(-1);
    QTest::newRow("tiny negative") << -1e-300 << std::optional(0);
    QTest::newRow("query position 5439.5") << 5439.5 << std::optional(5440);
    QTest::newRow("query position 5439.25") << 5439.25 << std::optional(5439);
    QTest::newRow("page step of 41 days") << 20.5 << std::optional(20);
    QTest::newRow("page step of 43 days") << 21.5 << std::optional(22);
    QTest::newRow("largest") << 32767.4 << std::optional(32767);
    QTest::newRow("32766.5 stays even") << 32766.5 << std::optional(32766);
    QTest::newRow("just too large") << 32767.5 << overflow;
    QTest::newRow("32768") << 32768.0 << overflow;
    QTest::newRow("smallest") << -32768.5 << std::optional(-32768);
    QTest::newRow("-32767.5 to even") << -32767.5 << std::optional(-32768);
    QTest::newRow("just too small") << -32768.6 << overflow;
    QTest::newRow("-32769") << -32769.0 << overflow;
    QTest::newRow("a 32-bit value") << 65536.0 << overflow;
    QTest::newRow("huge") << 1e300 << overflow;
    QTest::newRow("huge negative") << -1e300 << overflow;
    QTest::newRow("NaN") << NaN << overflow;
    QTest::newRow("infinity") << Inf << overflow;
    QTest::newRow("minus infinity") << -Inf << overflow;
}

void tst_Conversions::toInteger()
{
    QFETCH(double, value);
    QFETCH(std::optional<int>, expected);
    const auto result = CInt(value);
    QCOMPARE(result.has_value(), expected.has_value());
    if (result)
        QCOMPARE(int(*result), *expected);
}

void tst_Conversions::toLong_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<std::optional<qint64>>("expected");
    const std::optional<qint64> overflow;
    QTest::newRow("query day 18263") << 18263.0 << std::optional<qint64>(18263);
    QTest::newRow("evening rounds up") << 18263.75 << std::optional<qint64>(18264);
    QTest::newRow("half to even") << 18262.5 << std::optional<qint64>(18262);
    QTest::newRow("half to even, negative") << -18263.5 << std::optional<qint64>(-18264);
    QTest::newRow("just below one half") << JustBelowHalf << std::optional<qint64>(0);
    QTest::newRow("beyond 16 bits") << 40000.5 << std::optional<qint64>(40000);
    QTest::newRow("largest") << 2147483647.4 << std::optional<qint64>(2147483647);
    QTest::newRow("too large") << 2147483647.5 << overflow;
    QTest::newRow("2^31") << 2147483648.0 << overflow;
    QTest::newRow("smallest") << -2147483648.0 << std::optional<qint64>(-2147483648LL);
    QTest::newRow("smallest, half to even") << -2147483648.5 << std::optional<qint64>(-2147483648LL);
    QTest::newRow("too small") << -2147483648.6 << overflow;
    QTest::newRow("-2147483649") << -2147483649.0 << overflow;
    QTest::newRow("past 2^53") << 9007199254740993.0 << overflow;
    QTest::newRow("NaN") << NaN << overflow;
    QTest::newRow("infinity") << Inf << overflow;
    QTest::newRow("minus infinity") << -Inf << overflow;
}

void tst_Conversions::toLong()
{
    QFETCH(double, value);
    QFETCH(std::optional<qint64>, expected);
    const auto result = CLng(value);
    QCOMPARE(result.has_value(), expected.has_value());
    if (result)
        QCOMPARE(qint64(*result), *expected);
}

// Whatever rounding mode the floating-point environment is left in (by a
// library, say), halves still go to the even neighbour.
void tst_Conversions::roundingModeIsIgnored()
{
    const int saved = std::fegetround();
    for (int mode : {FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
        std::fesetround(mode);
        const auto a = CInt(2.5);
        const auto b = CInt(-2.5);
        const auto c = CInt(2.6);
        const auto d = CLng(-3.5);
        std::fesetround(saved);
        QCOMPARE(a, std::optional<std::int16_t>(2));
        QCOMPARE(b, std::optional<std::int16_t>(-2));
        QCOMPARE(c, std::optional<std::int16_t>(3));
        QCOMPARE(d, std::optional<std::int32_t>(-4));
    }
}

void tst_Conversions::roundDown_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expected");
    QTest::newRow("negative rounds away from zero") << -13.6 << -14.0;
    QTest::newRow("positive") << 98.4 << 98.0;
    QTest::newRow("whole") << -100.0 << -100.0;
    QTest::newRow("tiny negative") << -1e-9 << -1.0;
    QTest::newRow("just below one") << std::nextafter(1.0, 0.0) << 0.0;
    QTest::newRow("day before zero, with a time") << -0.75 << -1.0;
    QTest::newRow("beyond 32 bits") << 1e12 + 0.5 << 1e12;
    QTest::newRow("huge") << 1e300 << 1e300;
    QTest::newRow("minus infinity") << -Inf << -Inf;
}

void tst_Conversions::roundDown()
{
    QFETCH(double, value);
    QFETCH(double, expected);
    QCOMPARE(Int(value), expected);
}

void tst_Conversions::text_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << u"0"_qs;
    QTest::newRow("positive, no plus, no blank") << qint64(365) << u"365"_qs;
    QTest::newRow("no group separator") << qint64(1234567) << u"1234567"_qs;
    QTest::newRow("negative") << qint64(-14) << u"-14"_qs;
    QTest::newRow("smallest") << std::numeric_limits<qint64>::min() << u"-9223372036854775808"_qs;
    QTest::newRow("largest") << std::numeric_limits<qint64>::max() << u"9223372036854775807"_qs;
}

void tst_Conversions::text()
{
    QFETCH(qint64, value);
    QFETCH(QString, text);
    QCOMPARE(CStr(value), text);
}

QTEST_APPLESS_MAIN(tst_Conversions)
#include "tst_conversions.moc"
