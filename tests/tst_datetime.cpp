#include "platform/datetime.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace quorvel;

class tst_DateTime : public QObject
{
    Q_OBJECT

private slots:
    void serials_data();
    void serials();
    void validTexts_data();
    void validTexts();
    void invalidTexts_data();
    void invalidTexts();
    void anyInputIsSafe();
    void everyDayRoundTrips_data();
    void everyDayRoundTrips();
    void numberRange_data();
    void numberRange();
    void format_data();
    void format();
    void clockCanBeSet();
};

void tst_DateTime::serials_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<double>("serial");
    QTest::newRow("day zero") << 1899 << 12 << 30 << 0.0;
    QTest::newRow("Unix epoch") << 1970 << 1 << 1 << 25569.0;
    QTest::newRow("start-up birth date") << 1960 << 2 << 6 << 21952.0;
    QTest::newRow("2010-02-06") << 2010 << 2 << 6 << 40215.0;
    QTest::newRow("1980-01-01") << 1980 << 1 << 1 << 29221.0;
    QTest::newRow("2009-11-03") << 2009 << 11 << 3 << 40120.0;
    QTest::newRow("first date") << 100 << 1 << 1 << FirstDateSerial;
    QTest::newRow("last date") << 9999 << 12 << 31 << LastDateSerial;
}

void tst_DateTime::serials()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(double, serial);
    QCOMPARE(DateSerial(year, month, day), serial);
}

void tst_DateTime::validTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("serial");
    QTest::newRow("iso") << u"2010-02-06"_qs << 40215.0;
    QTest::newRow("no leading zeros") << u"2010-2-6"_qs << 40215.0;
    QTest::newRow("mixed zeros") << u"2010-02-6"_qs << 40215.0;
    QTest::newRow("slashes") << u"2010/2/6"_qs << 40215.0;
    QTest::newRow("dots") << u"2010.02.06"_qs << 40215.0;
    QTest::newRow("Chinese") << u"2010年2月6日"_qs << 40215.0;
    QTest::newRow("Chinese with zeros") << u"2010年02月06日"_qs << 40215.0;
    QTest::newRow("blanks around") << u"  2010-02-06\t "_qs << 40215.0;
    QTest::newRow("full-width") << u"２０１０－０２－０６"_qs << 40215.0;
    QTest::newRow("full-width slashes") << u"２０１０／２／６"_qs << 40215.0;
    QTest::newRow("ideographic blanks") << u"\u30002010年2月6日\u3000"_qs << 40215.0;
    QTest::newRow("time H:MM") << u"2010-02-06 6:00"_qs << 40215.25;
    QTest::newRow("time HH:MM:SS") << u"2010-02-06 18:00:00"_qs << 40215.75;
    QTest::newRow("time, several blanks") << u"2010-02-06   12:00"_qs << 40215.5;
    QTest::newRow("full-width time") << u"２０１０－０２－０６　１２：００"_qs << 40215.5;
    QTest::newRow("Chinese with time") << u"2010年2月6日 12:00"_qs << 40215.5;
    QTest::newRow("midnight") << u"2010-02-06 0:00"_qs << 40215.0;
    QTest::newRow("last second") << u"2010-02-06 23:59:59"_qs << 40215.0 + 86399.0 / 86400.0;
    QTest::newRow("leap day 2000") << u"2000-02-29"_qs << 36585.0;
    QTest::newRow("1900-02-28") << u"1900-02-28"_qs << 60.0;
    QTest::newRow("before day zero, with a time") << u"1899-12-29 06:00"_qs << -0.75;
    QTest::newRow("first date") << u"0100-01-01"_qs << FirstDateSerial;
    QTest::newRow("last date") << u"9999-12-31"_qs << LastDateSerial;
    QTest::newRow("last instant") << u"9999-12-31 23:59:59"_qs << LastDateSerial + 86399.0 / 86400.0;
}

void tst_DateTime::validTexts()
{
    QFETCH(QString, text);
    QFETCH(double, serial);
    QVERIFY(IsDate(text));
    QCOMPARE(CDate(text), std::optional<Date>(serial));
}

void tst_DateTime::invalidTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks") << u"   "_qs;
    QTest::newRow("day 33") << u"2001-03-33"_qs;
    QTest::newRow("layout placeholder") << u"2009-03-33"_qs;
    QTest::newRow("no 29 February 2001") << u"2001-02-29"_qs;
    QTest::newRow("no 29 February 1900") << u"1900-02-29"_qs;
    QTest::newRow("no 30 February") << u"2000-02-30"_qs;
    QTest::newRow("month 13") << u"2001-13-01"_qs;
    QTest::newRow("month 0") << u"2001-00-10"_qs;
    QTest::newRow("day 0") << u"2001-01-00"_qs;
    QTest::newRow("five-digit year") << u"10000-01-01"_qs;
    QTest::newRow("before the first date") << u"0099-12-31"_qs;
    QTest::newRow("two-digit year") << u"01-02-03"_qs;
    QTest::newRow("three-digit day") << u"2001-01-001"_qs;
    QTest::newRow("time alone") << u"12:30"_qs;
    QTest::newRow("hour 24") << u"2001-03-04 24:00"_qs;
    QTest::newRow("minute 60") << u"2001-03-04 12:60"_qs;
    QTest::newRow("one-digit minutes") << u"2001-03-04 12:5"_qs;
    QTest::newRow("T separator") << u"2001-03-04T12:00"_qs;
    QTest::newRow("time without blank") << u"2001-03-0412:00"_qs;
    QTest::newRow("mixed separators") << u"2001-3/4"_qs;
    QTest::newRow("Chinese without day sign") << u"2001年3月4"_qs;
    QTest::newRow("sign") << u"-2001-03-04"_qs;
    QTest::newRow("plus") << u"+2001-03-04"_qs;
    QTest::newRow("letters") << u"2001-Mar-04"_qs;
    QTest::newRow("trailing junk") << u"2001-03-04x"_qs;
    QTest::newRow("trailing separator") << u"2001-03-04-"_qs;
    QTest::newRow("embedded NUL") << QString::fromUtf16(u"2001-03-04\0", 11);
    QTest::newRow("NUL inside") << QString::fromUtf16(u"2001-0\0-04", 10);
    QTest::newRow("words") << u"明天"_qs;
    QTest::newRow("Arabic-Indic digits") << u"٢٠٠١-٠٣-٠٤"_qs;
}

void tst_DateTime::invalidTexts()
{
    QFETCH(QString, text);
    QVERIFY(!IsDate(text));
    QVERIFY(!CDate(text).has_value());
}

void tst_DateTime::anyInputIsSafe()
{
    QString huge(1 << 20, u'9');
    QVERIFY(!IsDate(huge));
    huge = u"2001-03-04"_qs + QString(1 << 20, u' ') + u"x"_qs;
    QVERIFY(!IsDate(huge));
    QVERIFY(!IsDate(u"99999999999999999999-1-1"_qs));
    QVERIFY(!IsDate(u"2001-99999999999999999999-1"_qs));
    // Lone surrogates and every other code unit, in many random texts.
    QString text;
    quint32 state = 12345;
    for (int round = 0; round < 20000; ++round) {
        text.clear();
        const int length = int(state % 24);
        for (int i = 0; i < length; ++i) {
            state = state * 1664525u + 1013904223u;
            const char16_t pool[] = {u'0', u'1', u'2', u'9', u'-', u'/', u'.', u':', u' ', u'年', u'月',
                                     u'日', u'\xD800', u'\xDFFF', u'\xFF10', u'\x3000'};
            text.append(QChar(state & 0x100 ? char16_t(state >> 16) : pool[(state >> 8) % 16]));
        }
        const auto date = CDate(text);
        QCOMPARE(IsDate(text), date.has_value());
        if (date)
            QVERIFY(*date >= FirstDateSerial && *date < LastDateSerial + 1);
        state = state * 1664525u + 1013904223u;
    }
}

void tst_DateTime::everyDayRoundTrips_data()
{
    QTest::addColumn<int>("year");
    for (int year : {100, 1600, 1899, 1900, 1960, 2000, 2024, 9999})
        QTest::newRow(qPrintable(QString::number(year))) << year;
}

void tst_DateTime::everyDayRoundTrips()
{
    QFETCH(int, year);
    const double first = DateSerial(year, 1, 1);
    const double next = DateSerial(year + 1, 1, 1);
    QCOMPARE(next - first, (year % 4 == 0 && year % 100 != 0) || year % 400 == 0 ? 366.0 : 365.0);
    for (double day = first; day < next; ++day) {
        const QString text = Format(day, u"yyyy-mm-dd");
        QCOMPARE(CDate(text), std::optional<Date>(day));
        // Any time of that day still formats as that day.
        QCOMPARE(Format(day + 0.999, u"YYYY-MM-DD"), text);
    }
}

void tst_DateTime::numberRange_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("inRange");
    QTest::newRow("first day") << FirstDateSerial << true;
    QTest::newRow("before the first day") << FirstDateSerial - 0.25 << false;
    QTest::newRow("last day, evening") << LastDateSerial + 0.99 << true;
    QTest::newRow("after the last day") << LastDateSerial + 1.0 << false;
    QTest::newRow("zero") << 0.0 << true;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << false;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << false;
    QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity() << false;
}

void tst_DateTime::numberRange()
{
    QFETCH(double, value);
    QFETCH(bool, inRange);
    const auto date = CDate(value);
    QCOMPARE(date.has_value(), inRange);
    if (inRange)
        QCOMPARE(*date, value);
    else
        QCOMPARE(Format(value, u"yyyy-mm-dd"), QString());
}

void tst_DateTime::format_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("text");
    QTest::newRow("start-up birth date") << 21952.0 << u"yyyy-mm-dd"_qs << u"1960-02-06"_qs;
    QTest::newRow("upper-case pattern") << 46365.4375 << u"YYYY-MM-DD"_qs << u"2026-12-09"_qs;
    QTest::newRow("first date padded") << FirstDateSerial << u"yyyy-mm-dd"_qs << u"0100-01-01"_qs;
    QTest::newRow("last instant") << LastDateSerial + 0.99 << u"yyyy-mm-dd"_qs << u"9999-12-31"_qs;
    QTest::newRow("before day zero") << -0.75 << u"yyyy-mm-dd"_qs << u"1899-12-29"_qs;
    QTest::newRow("unknown pattern") << 21952.0 << u"dd/mm/yyyy"_qs << QString();
}

void tst_DateTime::format()
{
    QFETCH(double, value);
    QFETCH(QString, format);
    QFETCH(QString, text);
    QCOMPARE(Format(value, format), text);
}

void tst_DateTime::clockCanBeSet()
{
    const double real = Now();
    QVERIFY(real > DateSerial(2020, 1, 1));
    setClock([] { return 46365.4375; });
    QCOMPARE(Now(), 46365.4375);
    resetClock();
    QVERIFY(std::abs(Now() - real) < 1.0);
}

QTEST_APPLESS_MAIN(tst_DateTime)
#include "tst_datetime.moc"
