// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dates/lunar.h"

#include "platform/dates/lunarcalendar.h"

#include <QDate>

namespace quorvel {
namespace {

constexpr char16_t Numerals[] = u"〇一二三四五六七八九十";
constexpr char16_t Stems[] = u"甲乙丙丁戊己庚辛壬癸";
constexpr char16_t Branches[] = u"子丑寅卯辰巳午未申酉戌亥";

QString monthName(int month, bool leap)
{
    QString name = leap ? QStringLiteral("闰") : QString();
    if (month == 1)
        name += u'正';
    else if (month == 11)
        name += u'冬';
    else if (month == 12)
        name += u'腊';
    else
        name += QChar(Numerals[month]);
    return name + u'月';
}

QString dayName(int day)
{
    if (day <= 10)
        return QString(QChar(u'初')) + QChar(Numerals[day]);
    if (day == 20 || day == 30)
        return QString(QChar(Numerals[day / 10])) + QChar(u'十');
    return QString(QChar(day < 20 ? u'十' : u'廿')) + QChar(Numerals[day % 10]);
}

// "三十天", "二十九天".
QString daysInWords(int days)
{
    return dayName(days).replace(u'廿', QStringLiteral("二十")) + u'天';
}

} // namespace

std::optional<qint64> julianDayOfLunar(const LunarDay &day, LunarProblem *problem)
{
    const auto refuse = [&](LunarProblem why) -> std::optional<qint64> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    if (day.month < 1 || day.month > 12 || day.day < 1)
        return refuse(LunarProblem::NotADay);
    const LunarYear *year = lunarYear(day.year);
    if (!year)
        return refuse(day.year < FirstLunarYear || day.year > LastLunarYear ? LunarProblem::YearOutOfRange
                                                                           : LunarProblem::NotADay);
    const int index = year->indexOf(day.month, day.leap);
    if (index < 0)
        return refuse(LunarProblem::NoSuchLeapMonth);
    if (day.day > year->length(index))
        return refuse(LunarProblem::NoSuchDay);
    if (problem)
        *problem = LunarProblem::None;
    return year->starts[index] + day.day - 1;
}

std::optional<LunarDay> lunarDayOf(qint64 julianDay)
{
    // A lunar year begins between 21 January and 20 February of its
    // Gregorian year.
    int number = QDate::fromJulianDay(julianDay).year();
    const LunarYear *year = lunarYear(number);
    if (!year || julianDay < year->starts[0])
        year = lunarYear(--number);
    if (!year || julianDay < year->starts[0] || julianDay >= year->starts[year->months])
        return std::nullopt;
    int index = 0;
    while (julianDay >= year->starts[index + 1])
        ++index;
    return LunarDay{number, year->monthAt(index), year->isLeapAt(index), int(julianDay - year->starts[index]) + 1};
}

QString lunarDayText(const LunarDay &day)
{
    // 1984 was 甲子, the first year of a sixty-year cycle.
    const int cycle = ((day.year - 1984) % 60 + 60) % 60;
    return QString(QChar(Stems[cycle % 10])) + QChar(Branches[cycle % 12]) + QChar(u'年')
        + monthName(day.month, day.leap) + dayName(day.day);
}

QString lunarProblemText(const LunarDay &day, LunarProblem problem)
{
    const QString year = QStringLiteral("农历%1年").arg(day.year);
    switch (problem) {
    case LunarProblem::YearOutOfRange:
        return QStringLiteral("农历日期的年份要在%1到%2之间").arg(FirstLunarYear).arg(LastLunarYear);
    case LunarProblem::NoSuchLeapMonth: {
        const LunarYear *months = lunarYear(day.year);
        const int leap = months ? months->leapMonth : 0;
        return year + QStringLiteral("没有") + monthName(day.month, true)
            + (leap ? QStringLiteral("，这一年") + monthName(leap, true) : QStringLiteral("，这一年没有闰月"));
    }
    case LunarProblem::NoSuchDay: {
        const LunarYear *months = lunarYear(day.year);
        const int index = months ? months->indexOf(day.month, day.leap) : -1;
        if (index < 0)
            return QString();
        return year + monthName(day.month, day.leap) + QStringLiteral("只有") + daysInWords(months->length(index));
    }
    case LunarProblem::None:
    case LunarProblem::NotADay:
        break;
    }
    return QString();
}

} // namespace quorvel
