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

void appendTableHeader(std::string &out)
{
    out += "date,day,physical,emotional,intellectual,composite,"
           "physical_value,emotional_value,intellectual_value,composite_value,critical\r\n";
}

void appendTableRow(std::string &out, Date birthDay, Date date)
{
    const long long day = static_cast<long long>(date - birthDay); // negative before the birth
    const CycleValues cycles = AllCycleValues(double(day));
    // Every field is a date or a number: nothing needs quoting.
    out += dateText(date).toLatin1().constData();
    out += ',';
    append(out, day);
    for (const long long number : readoutNumbers(cycles)) {
        out += ',';
        append(out, number);
    }
    for (const double value : {cycles.physical, cycles.emotional, cycles.intellectual, CompositeValue(cycles)}) {
        out += ',';
        append(out, value);
    }
    out += IsCriticalDay(cycles, ProgramCriticalLevel) ? ",1\r\n" : ",0\r\n";
}

} // namespace quorvel::companion
