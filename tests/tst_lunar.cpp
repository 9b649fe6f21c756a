// SPDX-License-Identifier: GPL-3.0-or-later
#include "lunartable.h"

#include "platform/dates/datetime.h"

#include <QDate>
#include <QTest>

using namespace quorvel;
using namespace quorvel::test;

namespace {

Date serialOf(QDate day) { return double(day.toJulianDay() - JulianDayOfDayZero); }

// "农历1985年5月27日", "农历2023年闰2月1日".
QString lunarText(int year, int month, bool leap, int day)
{
    return u"农历%1年%2%3月%4日"_qs.arg(year).arg(leap ? u"闰"_qs : QString()).arg(month).arg(day);
}

} // namespace

class tst_Lunar : public QObject
{
    Q_OBJECT

private slots:
    void everyMonthOfTheTable_data();
    void everyMonthOfTheTable();
    void leapMonths_data();
    void leapMonths();
    void forms_data();
    void forms();
    void refused_data();
    void refused();
    void inWords_data();
    void inWords();
};

void tst_Lunar::everyMonthOfTheTable_data()
{
    QTest::addColumn<int>("year");
    QCOMPARE(tableYears().size(), 199);
    for (const TableYear &y : tableYears())
        QTest::addRow("%d", y.year) << y.year;
}

// The Spring Festival (正月初一) falls where the table says; each month
// begins there too, lasts as long (its last day exists, the day after it
// does not) and reads back as that lunar day; a leap month exists where the
// table has one and nowhere else.
void tst_Lunar::everyMonthOfTheTable()
{
    QFETCH(int, year);
    const TableYear &table = tableYears()[year - FirstLunarYear];
    QCOMPARE(CDate(u"农历%1年正月初一"_qs.arg(year)), std::optional<Date>(serialOf(table.newYear)));
    for (int month = 1; month <= 12; ++month) {
        for (const bool leap : {false, true}) {
            const int index = table.indexOf(month, leap);
            if (index < 0) {
                QCOMPARE(CDate(lunarText(year, month, leap, 1)), std::nullopt);
                continue;
            }
            const QDate first = table.firstDay(index);
            const int days = table.length(index);
            QCOMPARE(CDate(lunarText(year, month, leap, 1)), std::optional<Date>(serialOf(first)));
            QCOMPARE(CDate(lunarText(year, month, leap, days)), std::optional<Date>(serialOf(first) + days - 1));
            QCOMPARE(CDate(lunarText(year, month, leap, days + 1)), std::nullopt);
            QCOMPARE(lunarDayOf(first.toJulianDay()), std::optional(LunarDay{year, month, leap, 1}));
            QCOMPARE(lunarDayOf(first.toJulianDay() + days - 1), std::optional(LunarDay{year, month, leap, days}));
        }
    }
}

void tst_Lunar::leapMonths_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QDate>("next");
    QTest::newRow("2017 闰六月") << u"农历2017年闰六月初一"_qs << QDate(2017, 7, 23) << u"三十"_qs << QDate(2017, 8, 22);
    QTest::newRow("2020 闰四月") << u"农历2020年闰四月初一"_qs << QDate(2020, 5, 23) << u"廿九"_qs << QDate(2020, 6, 21);
    QTest::newRow("2023 闰二月") << u"农历2023年闰二月初一"_qs << QDate(2023, 3, 22) << u"廿九"_qs << QDate(2023, 4, 20);
    QTest::newRow("2033 闰冬月") << u"农历2033年闰冬月初一"_qs << QDate(2033, 12, 22) << u"廿九"_qs << QDate(2034, 1, 20);
    // ICU puts the leap month of these three years a month late.
    QTest::newRow("1917 闰二月") << u"农历1917年闰二月初一"_qs << QDate(1917, 3, 23) << u"廿九"_qs << QDate(1917, 4, 21);
    QTest::newRow("1922 闰五月") << u"农历1922年闰五月初一"_qs << QDate(1922, 6, 25) << u"廿九"_qs << QDate(1922, 7, 24);
    QTest::newRow("1987 闰六月") << u"农历1987年闰六月初一"_qs << QDate(1987, 7, 26) << u"廿九"_qs << QDate(1987, 8, 24);
}

// The leap month runs from and to the days the tables give, after the month
// of its number; the month after it follows on.
void tst_Lunar::leapMonths()
{
    QFETCH(QString, text);
    QFETCH(QDate, first);
    QFETCH(QString, last);
    QFETCH(QDate, next);
    QCOMPARE(CDate(text), std::optional<Date>(serialOf(first)));
    QCOMPARE(CDate(QString(text).replace(u"初一"_qs, last)), std::optional<Date>(serialOf(next) - 1));
    QVERIFY(CDate(QString(text).remove(u'闰')) < CDate(text));
    const LunarDay leap = *lunarDayOf(first.toJulianDay());
    QVERIFY(leap.leap);
    QCOMPARE(lunarDayOf(next.toJulianDay()), std::optional(LunarDay{leap.year, leap.month + 1, false, 1}));
}

void tst_Lunar::forms_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("serial");
    const double birth = DateSerial(1985, 7, 14);
    const double leapDay = DateSerial(2023, 3, 24);
    const double tenthMonth = DateSerial(1985, 11, 12), eleventh = DateSerial(1985, 12, 12);
    const double twelfth = DateSerial(1986, 1, 10);
    QTest::newRow("mark first") << u"农历1985年五月廿七"_qs << birth;
    QTest::newRow("mark after the year") << u"1985年农历五月廿七"_qs << birth;
    QTest::newRow("leap month") << u"农历2023年闰二月初三"_qs << leapDay;
    QTest::newRow("leap month, mark after the year") << u"2023年农历闰2月3日"_qs << leapDay;
    QTest::newRow("dashes") << u"农历1985-5-27"_qs << birth;
    QTest::newRow("slashes") << u"农历1985/5/27"_qs << birth;
    QTest::newRow("dots, zeros") << u"农历1985.05.27"_qs << birth;
    QTest::newRow("numbers with signs") << u"1985年农历05月27日"_qs << birth;
    QTest::newRow("number and name") << u"农历1985年5月廿七"_qs << birth;
    QTest::newRow("name, 日") << u"农历1985年五月廿七日"_qs << birth;
    QTest::newRow("二十七") << u"农历1985年五月二十七"_qs << birth;
    QTest::newRow("full width") << u"农历１９８５－５－２７"_qs << birth;
    QTest::newRow("blanks, a time") << u"\u3000 农历1985年五月廿七  １８：００：００\t"_qs << birth + 0.75;
    QTest::newRow("正月, 一月") << u"农历1985年一月初一"_qs << DateSerial(1985, 2, 20);
    QTest::newRow("十月") << u"农历1985年十月初一"_qs << tenthMonth;
    QTest::newRow("冬月") << u"农历1985年冬月初一"_qs << eleventh;
    QTest::newRow("十一月") << u"农历1985年十一月初一"_qs << eleventh;
    QTest::newRow("腊月") << u"农历1985年腊月初一"_qs << twelfth;
    QTest::newRow("十二月") << u"农历1985年十二月初一"_qs << twelfth;
    QTest::newRow("初十") << u"农历1985年五月初十"_qs << birth - 17;
    QTest::newRow("十一") << u"农历1985年五月十一"_qs << birth - 16;
    QTest::newRow("二十") << u"农历1985年五月二十"_qs << birth - 7;
    QTest::newRow("廿一") << u"农历1985年五月廿一"_qs << birth - 6;
    QTest::newRow("三十") << u"农历1985年五月三十"_qs << birth + 3;
    QTest::newRow("first day") << u"农历1901年正月初一"_qs << DateSerial(1901, 2, 19);
    QTest::newRow("last instant") << u"农历2099年腊月三十 23:59:59"_qs << DateSerial(2100, 2, 8) + 86399.0 / 86400.0;
}

// Every lunar form names its day, and is known as a lunar date.
void tst_Lunar::forms()
{
    QFETCH(QString, text);
    QFETCH(double, serial);
    QCOMPARE(CDate(text), std::optional<Date>(serial));
    QVERIFY(IsDate(text));
    QVERIFY(isLunarDate(text));
    QCOMPARE(whyNoSuchDate(text), QString());
}

void tst_Lunar::refused_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason");
    const QString range = u"农历日期的年份要在1901到2099之间"_qs;
    QTest::newRow("三十 of a short month") << u"农历1985年六月三十"_qs << u"农历1985年六月只有二十九天"_qs;
    QTest::newRow("三十 of a short leap month") << u"农历2023年闰二月三十"_qs << u"农历2023年闰二月只有二十九天"_qs;
    QTest::newRow("day 31") << u"农历1985-5-31"_qs << u"农历1985年五月只有三十天"_qs;
    QTest::newRow("no leap month") << u"农历2024年闰二月初一"_qs << u"农历2024年没有闰二月，这一年没有闰月"_qs;
    QTest::newRow("another leap month") << u"农历2023年闰三月初一"_qs << u"农历2023年没有闰三月，这一年闰二月"_qs;
    QTest::newRow("ICU's leap month of 1987") << u"农历1987年闰七月初一"_qs << u"农历1987年没有闰七月，这一年闰六月"_qs;
    QTest::newRow("year 1900") << u"农历1900年腊月三十"_qs << range;
    QTest::newRow("year 2100") << u"2100年农历正月初一"_qs << range;
    QTest::newRow("month 13") << u"农历1985-13-1"_qs << QString();
    QTest::newRow("day 0") << u"农历1985年5月0日"_qs << QString();
    QTest::newRow("no day") << u"农历1985年五月"_qs << QString();
    QTest::newRow("十 alone") << u"农历1985年五月十"_qs << QString();
    QTest::newRow("廿十") << u"农历1985年五月廿十"_qs << QString();
    QTest::newRow("三十一") << u"农历1985年五月三十一"_qs << QString();
    QTest::newRow("十三月") << u"农历1985年十三月初一"_qs << QString();
    QTest::newRow("number without 日") << u"农历1985年5月27"_qs << QString();
    QTest::newRow("no 农历") << u"1985年五月廿七"_qs << QString();
    QTest::newRow("农历 twice") << u"农历1985年农历五月廿七"_qs << QString();
    QTest::newRow("blank after 农历") << u"农历 1985年五月廿七"_qs << QString();
    QTest::newRow("two-digit year") << u"农历85年五月廿七"_qs << QString();
    QTest::newRow("mixed separators") << u"农历1985-5/27"_qs << QString();
    QTest::newRow("闰 with dashes") << u"农历2023-闰2-3"_qs << QString();
    QTest::newRow("no such day and a bad time") << u"农历2024年闰二月初一 24:00"_qs << QString();
    QTest::newRow("trailing text") << u"农历1985年五月廿七晚"_qs << QString();
}

// A lunar date that does not exist is no date, and says why; a text that is
// not well formed says nothing beyond that.
void tst_Lunar::refused()
{
    QFETCH(QString, text);
    QFETCH(QString, reason);
    QVERIFY(!IsDate(text));
    QVERIFY(!isLunarDate(text));
    QCOMPARE(whyNoSuchDate(text), reason);
}

void tst_Lunar::inWords_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QString>("lunar");
    QTest::newRow("birthday") << QDate(1985, 7, 14) << u"乙丑年五月廿七"_qs;
    QTest::newRow("leap month") << QDate(2023, 3, 24) << u"癸卯年闰二月初三"_qs;
    QTest::newRow("first day") << QDate(1901, 2, 19) << u"辛丑年正月初一"_qs;
    QTest::newRow("闰十月初九") << QDate(1984, 12, 1) << u"甲子年闰十月初九"_qs;
    QTest::newRow("冬月二十") << QDate(1985, 1, 10) << u"甲子年冬月二十"_qs;
    QTest::newRow("腊月三十, the eve") << QDate(1985, 2, 19) << u"甲子年腊月三十"_qs;
    QTest::newRow("十月十一") << QDate(1985, 11, 22) << u"乙丑年十月十一"_qs;
    QTest::newRow("last day") << QDate(2100, 2, 8) << u"己未年腊月三十"_qs;
    QTest::newRow("before the first day") << QDate(1901, 2, 18) << QString();
    QTest::newRow("after the last day") << QDate(2100, 2, 9) << QString();
}

// The lunar day of a Gregorian day in words, and the two forms together for
// a date typed as a lunar one.
void tst_Lunar::inWords()
{
    QFETCH(QDate, day);
    QFETCH(QString, lunar);
    const Date date = serialOf(day) + 0.75;
    QCOMPARE(lunarDateText(date), lunar);
    const QString words = dateText(date);
    QCOMPARE(withLunarDate(words, date, false), words);
    QCOMPARE(withLunarDate(words, date, true), lunar.isEmpty() ? words : words + u"（农历"_qs + lunar + u'）');
}

QTEST_APPLESS_MAIN(tst_Lunar)
#include "tst_lunar.moc"
