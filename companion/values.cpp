// SPDX-License-Identifier: GPL-3.0-or-later
#include "companion/companion.h"

#include "chart/chart.h"
#include "model/biorhythm.h"

#include <charconv>
#include <cmath>

namespace quorvel::companion {
namespace {

// The shortest text that reads back as the very same number.
void append(std::string &out, auto number)
{
    char digits[32];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
}

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
    out += dateText(row.date).toLatin1().constData();
    out += ',';
    append(out, row.day);
    for (const long long number : readoutNumbers(row.cycles)) {
        out += ',';
        append(out, number);
    }
    for (const double value : {row.cycles.physical, row.cycles.emotional, row.cycles.intellectual, row.composite}) {
        out += ',';
        append(out, value);
    }
    out += row.critical ? ",1\r\n" : ",0\r\n";
}

} // namespace quorvel::companion
