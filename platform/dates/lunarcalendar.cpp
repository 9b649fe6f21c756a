// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dates/lunarcalendar.h"

#include <unicode/calendar.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <cstdlib>
#include <memory>
#include <mutex>
#include <string_view>

namespace quorvel {
namespace {

// ICU counts Chinese years from 2637 BCE.
constexpr int ChineseEraOffset = 2637;
constexpr int YearCount = LastLunarYear - FirstLunarYear + 1;

// Where ICU's Chinese calendar and the published tables (Purple Mountain
// Observatory, Hong Kong Observatory) disagree, the tables are right. ICU
// puts a new moon that falls close to midnight in Beijing on the wrong day,
// and in three years places the leap month after the following month. Each
// row is a month as the tables give it (a negative month is the leap month
// after that month) and the Gregorian day it begins on; ICU's start of that
// month lies at most a day away, or, for a leap month, is the same day.
struct Correction {
    int year;
    int month;
    int gregorianYear;
    int gregorianMonth;
    int gregorianDay;
};
constexpr Correction Corrections[] = {
    {1917, -2, 1917, 3, 23}, // ICU: 三月, then 闰三月
    {1922, -5, 1922, 6, 25}, // ICU: 六月, then 闰六月
    {1954, 1, 1954, 2, 3},   // ICU: 1954-02-04
    {1955, 2, 1955, 2, 22},  // ICU: 1955-02-23
    {1987, -6, 1987, 7, 26}, // ICU: 七月, then 闰七月 from 1987-08-24
    {1998, 12, 1999, 1, 17}, // ICU: 1999-01-18
    {2012, 7, 2012, 8, 17},  // ICU: 2012-08-18
    {2018, 10, 2018, 11, 8}, // ICU: 2018-11-07
    {2027, 1, 2027, 2, 6},   // ICU: 2027-02-07
    {2030, 1, 2030, 2, 3},   // ICU: 2030-02-02
    {2070, 2, 2070, 3, 12},  // ICU: 2070-03-13
};

qint64 julianDay(int year, int month, int day)
{
    // The Julian day of a proleptic Gregorian day (Fliegel and Van Flandern).
    const qint64 a = (14 - month) / 12;
    const qint64 y = year + 4800 - a;
    const qint64 m = month + 12 * a - 3;
    return day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045;
}

// ICU's one Chinese calendar: made the first time a year is worked out, and
// used under the lock only, since a calendar keeps state between calls.
class ChineseCalendar
{
public:
    // The year's months as ICU reckons them; false when ICU has no calendar.
    bool reckon(int year, LunarYear &out)
    {
        const std::lock_guard lock(m_mutex);
        if (!m_calendar && !m_failed)
            make();
        if (!m_calendar)
            return false;
        UErrorCode status = U_ZERO_ERROR;
        icu::Calendar &c = *m_calendar;
        c.clear();
        c.set(UCAL_EXTENDED_YEAR, year + ChineseEraOffset);
        c.set(UCAL_MONTH, 0);
        c.set(UCAL_IS_LEAP_MONTH, 0);
        c.set(UCAL_DATE, 1);
        qint64 start = c.get(UCAL_JULIAN_DAY, status);
        out.starts[0] = start;
        out.months = 0;
        out.leapMonth = 0;
        // A month lasts 29 or 30 days: the 30th day is either its own or the
        // first of the next.
        bool ended = false;
        while (U_SUCCESS(status) && !ended && out.months < 13) {
            c.set(UCAL_JULIAN_DAY, int(start + 29));
            start += c.get(UCAL_DATE, status) == 1 ? 29 : 30;
            c.set(UCAL_JULIAN_DAY, int(start));
            out.starts[++out.months] = start;
            ended = c.get(UCAL_EXTENDED_YEAR, status) != year + ChineseEraOffset;
            if (!ended && c.get(UCAL_IS_LEAP_MONTH, status))
                out.leapMonth = c.get(UCAL_MONTH, status) + 1;
        }
        return U_SUCCESS(status) && ended && out.months >= 12;
    }

private:
    void make()
    {
        UErrorCode status = U_ZERO_ERROR;
        // In its own zone the calendar's days are the Julian days asked for.
        std::unique_ptr<icu::Calendar> calendar(
            icu::Calendar::createInstance(icu::TimeZone::getGMT()->clone(), icu::Locale("@calendar=chinese"), status));
        if (U_SUCCESS(status) && calendar && calendar->getType() == std::string_view("chinese"))
            m_calendar = std::move(calendar);
        else
            m_failed = true;
    }

    std::mutex m_mutex;
    std::unique_ptr<icu::Calendar> m_calendar;
    bool m_failed = false;
};

ChineseCalendar &chineseCalendar()
{
    static ChineseCalendar calendar;
    return calendar;
}

void correct(int year, LunarYear &months)
{
    for (const Correction &row : Corrections) {
        // The next year's first month ends this one.
        if (row.year != year && !(row.year == year + 1 && row.month == 1))
            continue;
        const qint64 day = julianDay(row.gregorianYear, row.gregorianMonth, row.gregorianDay);
        for (int i = 0; i <= months.months; ++i) {
            if (std::llabs(months.starts[i] - day) > 1)
                continue;
            months.starts[i] = day;
            if (row.year == year && row.month < 0)
                months.leapMonth = -row.month;
        }
    }
}

struct Years {
    std::array<std::once_flag, YearCount> once;
    std::array<LunarYear, YearCount> years;
    std::array<bool, YearCount> known{};
};

} // namespace

int LunarYear::indexOf(int month, bool leap) const
{
    if (month < 1 || month > 12)
        return -1;
    if (leap)
        return month == leapMonth ? month : -1;
    return leapMonth && month > leapMonth ? month : month - 1;
}

const LunarYear *lunarYear(int year)
{
    if (year < FirstLunarYear || year > LastLunarYear)
        return nullptr;
    static Years years;
    const int i = year - FirstLunarYear;
    std::call_once(years.once[i], [&] {
        years.known[i] = chineseCalendar().reckon(year, years.years[i]);
        if (years.known[i])
            correct(year, years.years[i]);
    });
    return years.known[i] ? &years.years[i] : nullptr;
}

} // namespace quorvel
