// SPDX-License-Identifier: GPL-3.0-or-later
#include "companion/companion.h"

#include "chart/chart.h"
#include "model/biorhythm.h"

#include <QDate>

#include <charconv>
#include <cmath>
#include <cstring>

namespace quorvel::companion {
namespace {

constexpr std::array Cycles{BiorhythmCycle::Physical, BiorhythmCycle::Emotional, BiorhythmCycle::Intellectual};

// A row is put together in a buffer on the stack and appended at once; the
// longest row takes about 130 characters.
class RowWriter
{
public:
    void number(long long value) { m_end = std::to_chars(m_end, m_limit, value).ptr; }
    // The shortest text that reads back as the very same double.
    void exact(double value) { m_end = std::to_chars(m_end, m_limit, value).ptr; }
    void text(const char *text, std::size_t size)
    {
        std::memcpy(m_end, text, size);
        m_end += size;
    }
    void comma() { *m_end++ = ','; }

    // "yyyy-mm-dd" of a calendar day in range.
    void date(Date date)
    {
        int year = 0;
        int month = 0;
        int day = 0;
        calendarDate(date).getDate(&year, &month, &day);
        const char digits[10] = {char('0' + year / 1000), char('0' + year / 100 % 10), char('0' + year / 10 % 10),
                                 char('0' + year % 10),   '-',
                                 char('0' + month / 10),  char('0' + month % 10),      '-',
                                 char('0' + day / 10),    char('0' + day % 10)};
        text(digits, sizeof digits);
    }

    void appendTo(std::string &out) const { out.append(m_buffer, std::size_t(m_end - m_buffer)); }

private:
    char m_buffer[256];
    char *m_end = m_buffer;
    char *const m_limit = m_buffer + sizeof m_buffer;
};

} // namespace

DayValues dayValues(Date birthDay, Date date)
{
    DayValues row;
    row.date = date;
    row.day = static_cast<long long>(date - birthDay);
    row.cycles = AllCycleValues(double(row.day));
    row.composite = CompositeValue(row.cycles);
    row.critical = IsCriticalDay(row.cycles, ProgramCriticalLevel);
    return row;
}

void appendTableHeader(std::string &out)
{
    out += "date,day,physical,emotional,intellectual,composite,"
           "physical_value,emotional_value,intellectual_value,composite_value,critical\r\n";
}

void appendTableRow(std::string &out, const DayValues &row)
{
    // Every field is a date or a number: nothing needs quoting.
    RowWriter line;
    line.date(row.date);
    line.comma();
    line.number(row.day);
    for (const long long number : readoutNumbers(row.cycles)) {
        line.comma();
        line.number(number);
    }
    for (const double value : {row.cycles.physical, row.cycles.emotional, row.cycles.intellectual}) {
        line.comma();
        line.exact(value);
    }
    line.comma();
    line.exact(row.composite);
    line.text(row.critical ? ",1\r\n" : ",0\r\n", 4);
    line.appendTo(out);
}

std::vector<int> criticalDays(Date birthDay, Date from, Date to)
{
    std::vector<int> days;
    for (Date day = from; day <= to; day += 1.0) {
        if (IsCriticalDay(day - birthDay, ProgramCriticalLevel))
            days.push_back(int(day - birthDay));
    }
    return days;
}

PhaseAgreement phaseAgreement(long long days)
{
    PhaseAgreement agreement;
    double sum = 0.0;
    for (std::size_t i = 0; i < Cycles.size(); ++i) {
        agreement.cycles[i] = 100.0 * (1.0 + std::cos(CycleAngle(double(days), Cycles[i]))) / 2.0;
        sum += agreement.cycles[i];
    }
    agreement.mean = sum / 3.0;
    return agreement;
}

} // namespace quorvel::companion
