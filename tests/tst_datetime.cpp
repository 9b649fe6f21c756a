// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dates/datetime.h"

#include <QDate>
#include <QDateTime>
#include <QTest>

#include <cmath>
#include <limits>

using namespace quorvel;

namespace {


const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

// The same text as typed by a Chinese input method in full-width mode.
QString fullWidth(const QString &text)
{
    QString out;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9')
            out += QChar(char16_t(u'\xFF10' + (u - u'0')));
        else if (u == u'-')
            out += QChar(u'\xFF0D');
        else if (u == u'/')
            out += QChar(u'\xFF0F');
        else if (u == u'.')
            out += QChar(u'\xFF0E');
        else if (u == u':')
            out += QChar(u'\xFF1A');
        else if (u == u' ')
            out += QChar(u'\x3000');
        else
            out += c;
    }
    return out;
}

} // namespace

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
    void wholeRangeAgreesWithQDate();
    void numberRange_data();
    void numberRange();
    void format_data();
    void format();
    void systemClockIsLocalTime();
};

void tst_DateTime::serials_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<double>("serial");
    QTest::newRow("day zero") << 1899 << 12 << 30 << 0.0;
    QTest::newRow("day before zero") << 1899 << 12 << 29 << -1.0;
    QTest::newRow("Unix epoch") << 1970 << 1 << 1 << 25569.0;
    QTest::newRow("start-up birth date") << 1960 << 2 << 6 << 21952.0;
    QTest::newRow("2010-02-06") << 2010 << 2 << 6 << 40215.0;
    QTest::newRow("1980-01-01") << 1980 << 1 << 1 << 29221.0;
    QTest::newRow("2009-11-03") << 2009 << 11 << 3 << 40120.0;
    // 1900 is no leap year: 28 February and 1 March are neighbours.
    QTest::newRow("1900-02-28") << 1900 << 2 << 28 << 60.0;
    QTest::newRow("1900-03-01") << 1900 << 3 << 1 << 61.0;
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
    const double lastSecond = 86399.0 / 86400.0;
    QTest::newRow("iso") << u"2010-02-06"_qs << 40215.0;
    QTest::newRow("no leading zeros") << u"2010-2-6"_qs << 40215.0;
    QTest::newRow("mixed zeros") << u"2010-02-6"_qs << 40215.0;
    QTest::newRow("slashes") << u"2010/2/6"_qs << 40215.0;
    QTest::newRow("slashes with zeros") << u"2010/02/06"_qs << 40215.0;
    QTest::newRow("dots") << u"2010.02.06"_qs << 40215.0;
    QTest::newRow("dots without zeros") << u"2010.2.6"_qs << 40215.0;
    QTest::newRow("Chinese") << u"2010年2月6日"_qs << 40215.0;
    QTest::newRow("Chinese with zeros") << u"2010年02月06日"_qs << 40215.0;
    QTest::newRow("blanks around") << u"  2010-02-06   "_qs << 40215.0;
    QTest::newRow("tabs around") << u"\t2010-02-06\t"_qs << 40215.0;
    QTest::newRow("full-width") << u"２０１０－０２－０６"_qs << 40215.0;
    QTest::newRow("full-width slashes") << u"２０１０／２／６"_qs << 40215.0;
    QTest::newRow("full-width dots") << u"２０１０．２．６"_qs << 40215.0;
    QTest::newRow("full-width Chinese") << u"２０１０年２月６日"_qs << 40215.0;
    QTest::newRow("ideographic blanks") << u"\u30002010年2月6日\u3000"_qs << 40215.0;
    QTest::newRow("time H:MM") << u"2010-02-06 6:00"_qs << 40215.25;
    QTest::newRow("time HH:MM with zero") << u"2010-02-06 06:00"_qs << 40215.25;
    QTest::newRow("time HH:MM:SS") << u"2010-02-06 18:00:00"_qs << 40215.75;
    QTest::newRow("time with seconds")
        << u"2010-02-06 9:05:07"_qs << 40215.0 + (9 * 3600 + 5 * 60 + 7) / 86400.0;
    QTest::newRow("time, several blanks") << u"2010-02-06   12:00"_qs << 40215.5;
    QTest::newRow("time, blanks after") << u"2010-02-06 12:00  "_qs << 40215.5;
    QTest::newRow("time after tab") << u"2010-02-06\t12:00"_qs << 40215.5;
    QTest::newRow("full-width time") << u"２０１０－０２－０６　１２：００"_qs << 40215.5;
    QTest::newRow("full-width colon only") << u"2010-02-06 12：00"_qs << 40215.5;
    QTest::newRow("Chinese with time") << u"2010年2月6日 12:00"_qs << 40215.5;
    QTest::newRow("slashes with time") << u"2010/2/6 12:00:00"_qs << 40215.5;
    QTest::newRow("midnight") << u"2010-02-06 0:00"_qs << 40215.0;
    QTest::newRow("last second") << u"2010-02-06 23:59:59"_qs << 40215.0 + lastSecond;
    QTest::newRow("leap day 2000") << u"2000-02-29"_qs << 36585.0;
    QTest::newRow("leap day 2004") << u"2004-2-29"_qs << 38046.0;
    QTest::newRow("1900-02-28") << u"1900-02-28"_qs << 60.0;
    QTest::newRow("day zero") << u"1899-12-30"_qs << 0.0;
    QTest::newRow("before day zero, with a time") << u"1899-12-29 06:00"_qs << -0.75;
    QTest::newRow("Gregorian reform gap is proleptic") << u"1582-10-10"_qs << -115863.0;
    QTest::newRow("first date") << u"0100-01-01"_qs << FirstDateSerial;
    QTest::newRow("first date, no zeros") << u"0100-1-1"_qs << FirstDateSerial;
    QTest::newRow("first date, noon") << u"0100-01-01 12:00"_qs << FirstDateSerial + 0.5;
    QTest::newRow("last date") << u"9999-12-31"_qs << LastDateSerial;
    QTest::newRow("last instant") << u"9999-12-31 23:59:59"_qs << LastDateSerial + lastSecond;
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
    QTest::newRow("ideographic blank") << u"\u3000"_qs;
    QTest::newRow("day 33") << u"2001-03-33"_qs;
    QTest::newRow("layout placeholder") << u"2009-03-33"_qs;
    QTest::newRow("no 29 February 2001") << u"2001-02-29"_qs;
    QTest::newRow("no 29 February 1900") << u"1900-02-29"_qs;
    QTest::newRow("no 30 February") << u"2000-02-30"_qs;
    QTest::newRow("no 31 April") << u"2001-04-31"_qs;
    QTest::newRow("Chinese, no 31 June") << u"2001年6月31日"_qs;
    QTest::newRow("month 13") << u"2001-13-01"_qs;
    QTest::newRow("month 0") << u"2001-00-10"_qs;
    QTest::newRow("day 0") << u"2001-01-00"_qs;
    QTest::newRow("five-digit year") << u"10000-01-01"_qs;
    QTest::newRow("year 0000") << u"0000-01-01"_qs;
    QTest::newRow("before the first date") << u"0099-12-31"_qs;
    QTest::newRow("three-digit year") << u"100-01-01"_qs;
    QTest::newRow("two-digit year") << u"01-02-03"_qs;
    QTest::newRow("two-digit year, slashes") << u"99/12/31"_qs;
    QTest::newRow("three-digit month") << u"2001-001-01"_qs;
    QTest::newRow("three-digit day") << u"2001-01-001"_qs;
    QTest::newRow("year and month only") << u"2001-03"_qs;
    QTest::newRow("year only") << u"2001"_qs;
    QTest::newRow("digits only") << u"20010304"_qs;
    QTest::newRow("time alone") << u"12:30"_qs;
    QTest::newRow("time before date") << u"12:30 2001-03-04"_qs;
    QTest::newRow("hour 24") << u"2001-03-04 24:00"_qs;
    QTest::newRow("minute 60") << u"2001-03-04 12:60"_qs;
    QTest::newRow("second 60") << u"2001-03-04 12:00:60"_qs;
    QTest::newRow("one-digit minutes") << u"2001-03-04 12:5"_qs;
    QTest::newRow("one-digit seconds") << u"2001-03-04 12:05:7"_qs;
    QTest::newRow("three-digit hour") << u"2001-03-04 012:00"_qs;
    QTest::newRow("hour alone") << u"2001-03-04 12"_qs;
    QTest::newRow("trailing colon") << u"2001-03-04 12:00:"_qs;
    QTest::newRow("two times") << u"2001-03-04 12:00 13:00"_qs;
    QTest::newRow("negative hour") << u"2001-03-04 -1:00"_qs;
    QTest::newRow("T separator") << u"2001-03-04T12:00"_qs;
    QTest::newRow("time without blank") << u"2001-03-0412:00"_qs;
    QTest::newRow("mixed separators") << u"2001-3/4"_qs;
    QTest::newRow("mixed dot and slash") << u"2001.3/4"_qs;
    QTest::newRow("full-width mixed separators") << u"２００１－３／４"_qs;
    QTest::newRow("Chinese mixed with dash") << u"2001年3-4"_qs;
    QTest::newRow("Chinese without day sign") << u"2001年3月4"_qs;
    QTest::newRow("Chinese without year sign") << u"2001 3月4日"_qs;
    QTest::newRow("blank inside date") << u"2001- 03-04"_qs;
    QTest::newRow("sign") << u"-2001-03-04"_qs;
    QTest::newRow("plus") << u"+2001-03-04"_qs;
    QTest::newRow("signed month") << u"2001-+3-04"_qs;
    QTest::newRow("letters") << u"2001-Mar-04"_qs;
    QTest::newRow("trailing junk") << u"2001-03-04x"_qs;
    QTest::newRow("junk after blank") << u"2001-03-04 x"_qs;
    QTest::newRow("trailing separator") << u"2001-03-04-"_qs;
    QTest::newRow("leading separator") << u"/2001/03/04"_qs;
    QTest::newRow("embedded NUL at end") << QString::fromUtf16(u"2001-03-04\0", 11);
    QTest::newRow("NUL inside") << QString::fromUtf16(u"2001-0\0-04", 10);
    QTest::newRow("NUL instead of blank") << QString::fromUtf16(u"2001-03-04\0" u"12:00", 16);
    QTest::newRow("words") << u"明天"_qs;
    QTest::newRow("Arabic-Indic digits") << u"٢٠٠١-٠٣-٠٤"_qs;
    QTest::newRow("superscript digits") << u"²⁰⁰¹-03-04"_qs;
    QTest::newRow("non-breaking space around") << u"\u00A02001-03-04"_qs;
}

void tst_DateTime::invalidTexts()
{
    QFETCH(QString, text);
    QVERIFY(!IsDate(text));
    QVERIFY(!CDate(text).has_value());
}

void tst_DateTime::anyInputIsSafe()
{
    const qsizetype Megabyte = 1 << 20;
    QVERIFY(!IsDate(QString(Megabyte, u'9')));
    QVERIFY(!IsDate(QString(Megabyte, u'\x3000')));
    QVERIFY(!IsDate(u"2001-03-04"_qs + QString(Megabyte, u' ') + u"x"_qs));
    QVERIFY(!IsDate(u"2001-03-04 12:00"_qs + QString(Megabyte, u'0')));
    // Blanks between the date and the time are not counted; a long run is
    // still one date.
    QCOMPARE(CDate(u"2001-03-04"_qs + QString(Megabyte, u' ') + u"12:00"_qs),
             std::optional<Date>(DateSerial(2001, 3, 4) + 0.5));
    // Digit runs that would overflow an int in any field.
    QVERIFY(!IsDate(u"99999999999999999999-1-1"_qs));
    QVERIFY(!IsDate(u"2001-99999999999999999999-1"_qs));
    QVERIFY(!IsDate(u"2001-1-99999999999999999999"_qs));
    QVERIFY(!IsDate(u"2001-1-1 99999999999999999999:00"_qs));
    QVERIFY(!IsDate(u"2001-1-1 1:00:99999999999999999999"_qs));
    QVERIFY(!IsDate(u"2001-1-1 "_qs + QString(Megabyte, u'9')));

    // Random texts over every code unit, lone surrogates included, with
    // date-like pieces mixed in so that deeper paths of the reader are taken.
    const char16_t pool[] = {u'0', u'1', u'2', u'9', u'-', u'/', u'.', u':', u' ', u'年', u'月',
                             u'日', u'\xD800', u'\xDFFF', u'\xFF10', u'\x3000'};
    quint32 state = 12345;
    auto next = [&state] { return state = state * 1664525u + 1013904223u; };
    QString text;
    for (int round = 0; round < 50000; ++round) {
        text.clear();
        const int length = int(next() % 24);
        for (int i = 0; i < length; ++i) {
            const quint32 r = next();
            text.append(QChar(r & 0x100 ? char16_t(r >> 16) : pool[(r >> 8) % 16]));
        }
        const auto date = CDate(text);
        QCOMPARE(IsDate(text), date.has_value());
        if (date)
            QVERIFY2(*date >= FirstDateSerial && *date < LastDateSerial + 1, qPrintable(text));
    }
    // Random bytes read as UTF-16, odd lengths included.
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes(int(next() % 64), Qt::Uninitialized);
        for (char &b : bytes)
            b = char(next() >> 24);
        const QString raw = QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.constData()),
                                               bytes.size() / 2);
        QCOMPARE(IsDate(raw), CDate(raw).has_value());
    }
}

// One pass over the whole range of dates, 0100-01-01 to 9999-12-31, with
// the calendar counted independently of the code under test (month lengths
// from QDate, each month's first day pinned to QDate's day number):
// - every day's date value is the day count;
// - each month's first, middle and last days format as their calendar days
//   and read back as their values, and the day after the last does not
//   exist (no 29 February in 1900 or 2100, no 31 April);
// - in a few years, every day written every way the program reads it comes
//   back as that day, and every instant of the day formats as that day.
void tst_DateTime::wholeRangeAgreesWithQDate()
{
    const QList<int> everyForm{100, 101, 1582, 1600, 1899, 1900, 1960, 2000, 2024, 9998, 9999};
    double day = FirstDateSerial;
    char16_t expected[10] = {u'0', u'0', u'0', u'0', u'-', u'0', u'0', u'-', u'0', u'0'};
    const auto expectedText = [&] { return QStringView(expected, 10); };
    for (int year = 100; year <= 9999; ++year) {
        for (int i = 0, y = year; i < 4; ++i, y /= 10)
            expected[3 - i] = char16_t(u'0' + y % 10);
        const bool allForms = everyForm.contains(year);
        for (int month = 1; month <= 12; ++month) {
            const QDate first(year, month, 1);
            if (qint64(day) + JulianDayOfDayZero != first.toJulianDay())
                QFAIL(qPrintable(u"the count slipped at "_qs + first.toString(Qt::ISODate)));
            expected[5] = char16_t(u'0' + month / 10);
            expected[6] = char16_t(u'0' + month % 10);
            const int days = first.daysInMonth();
            for (int dayOfMonth = 1; dayOfMonth <= days; ++dayOfMonth, ++day) {
                expected[8] = char16_t(u'0' + dayOfMonth / 10);
                expected[9] = char16_t(u'0' + dayOfMonth % 10);
                if (DateSerial(year, month, dayOfMonth) != day)
                    QFAIL(qPrintable(u"DateSerial of "_qs + expectedText().toString()));
                if ((dayOfMonth == 1 || dayOfMonth == 15 || dayOfMonth == days)
                    && (Format(day, u"yyyy-mm-dd") != expectedText() || CDate(expectedText()) != std::optional<Date>(day)))
                    QFAIL(qPrintable(expectedText().toString() + u" does not round-trip"_qs));
                if (allForms) {
                    const QString text = expectedText().toString();
                    QCOMPARE(Format(day, u"YYYY-MM-DD"), text);
                    const QString y = QString::number(year).rightJustified(4, u'0');
                    const QString m = QString::number(month);
                    const QString d = QString::number(dayOfMonth);
                    for (const QString &other : {text, y + u'/' + m + u'/' + d, y + u'.' + m + u'.' + d,
                                                 y + u'年' + m + u'月' + d + u'日', fullWidth(text)})
                        QCOMPARE(CDate(other), std::optional<Date>(day));
                    QCOMPARE(Format(day + 0.999, u"YYYY-MM-DD"), text);
                    QCOMPARE(CDate(text + u" 23:59:59"_qs), std::optional<Date>(day + 86399.0 / 86400.0));
                }
            }
            expected[8] = char16_t(u'0' + (days + 1) / 10);
            expected[9] = char16_t(u'0' + (days + 1) % 10);
            if (IsDate(expectedText()))
                QFAIL(qPrintable(expectedText().toString() + u" was accepted"_qs));
        }
    }
    QCOMPARE(day - 1, LastDateSerial);
}

void tst_DateTime::numberRange_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("inRange");
    QTest::newRow("first day") << FirstDateSerial << true;
    QTest::newRow("first day, noon") << FirstDateSerial + 0.5 << true;
    QTest::newRow("before the first day") << FirstDateSerial - 0.25 << false;
    QTest::newRow("just before the first day") << std::nextafter(FirstDateSerial, -Inf) << false;
    QTest::newRow("last day") << LastDateSerial << true;
    QTest::newRow("last day, evening") << LastDateSerial + 0.99 << true;
    QTest::newRow("last day, last moment") << std::nextafter(LastDateSerial + 1.0, 0.0) << true;
    QTest::newRow("after the last day") << LastDateSerial + 1.0 << false;
    QTest::newRow("zero") << 0.0 << true;
    QTest::newRow("minus zero") << -0.0 << true;
    QTest::newRow("before day zero") << -0.75 << true;
    QTest::newRow("huge") << 1e300 << false;
    QTest::newRow("huge negative") << -1e300 << false;
    QTest::newRow("NaN") << NaN << false;
    QTest::newRow("infinity") << Inf << false;
    QTest::newRow("minus infinity") << -Inf << false;
}

void tst_DateTime::numberRange()
{
    QFETCH(double, value);
    QFETCH(bool, inRange);
    const auto date = CDate(value);
    QCOMPARE(date.has_value(), inRange);
    if (inRange) {
        QCOMPARE(*date, value);
        QVERIFY(!Format(value, u"yyyy-mm-dd").isEmpty());
    } else {
        QCOMPARE(Format(value, u"yyyy-mm-dd"), QString());
    }
}

void tst_DateTime::format_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("text");
    QTest::newRow("start-up birth date") << 21952.0 << u"yyyy-mm-dd"_qs << u"1960-02-06"_qs;
    QTest::newRow("2010-02-06") << 40215.0 << u"yyyy-mm-dd"_qs << u"2010-02-06"_qs;
    QTest::newRow("upper-case pattern") << 46365.4375 << u"YYYY-MM-DD"_qs << u"2026-12-09"_qs;
    QTest::newRow("day zero") << 0.0 << u"yyyy-mm-dd"_qs << u"1899-12-30"_qs;
    QTest::newRow("first date padded") << FirstDateSerial << u"yyyy-mm-dd"_qs << u"0100-01-01"_qs;
    QTest::newRow("first date, afternoon") << FirstDateSerial + 0.75 << u"YYYY-MM-DD"_qs << u"0100-01-01"_qs;
    QTest::newRow("last instant") << 2958465.99 << u"yyyy-mm-dd"_qs << u"9999-12-31"_qs;
    QTest::newRow("before day zero") << -0.75 << u"yyyy-mm-dd"_qs << u"1899-12-29"_qs;
    QTest::newRow("just before day zero") << -1e-9 << u"yyyy-mm-dd"_qs << u"1899-12-29"_qs;
    QTest::newRow("early morning before zero") << -1.99 << u"yyyy-mm-dd"_qs << u"1899-12-28"_qs;
    QTest::newRow("out of range") << FirstDateSerial - 1.0 << u"yyyy-mm-dd"_qs << QString();
    QTest::newRow("NaN") << NaN << u"yyyy-mm-dd"_qs << QString();
    QTest::newRow("unknown pattern") << 21952.0 << u"dd/mm/yyyy"_qs << QString();
    QTest::newRow("mixed-case pattern") << 21952.0 << u"yyyy-MM-dd"_qs << QString();
    QTest::newRow("empty pattern") << 21952.0 << QString() << QString();
}

void tst_DateTime::format()
{
    QFETCH(double, value);
    QFETCH(QString, format);
    QFETCH(QString, text);
    QCOMPARE(Format(value, format), text);
}

void tst_DateTime::systemClockIsLocalTime()
{
    const QDateTime before = QDateTime::currentDateTime();
    const Date now = systemNow();
    const QDateTime after = QDateTime::currentDateTime();
    auto serialOf = [](const QDateTime &t) {
        const QDate d = t.date();
        return double(d.toJulianDay() - JulianDayOfDayZero) + t.time().msecsSinceStartOfDay() / 86400000.0;
    };
    QVERIFY2(now >= serialOf(before) && now <= serialOf(after), qPrintable(QString::number(now, 'f', 9)));
}

QTEST_APPLESS_MAIN(tst_DateTime)
#include "tst_datetime.moc"
