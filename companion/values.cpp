#include "companion/companion.h"

#include "model/biorhythm.h"
#include "platform/conversions.h"

#include <QDate>

#include <charconv>
#include <cmath>

namespace quorvel::companion {
namespace {

constexpr std::array Cycles{BiorhythmCycle::Physical, BiorhythmCycle::Emotional, BiorhythmCycle::Intellectual};

void appendNumber(std::string &out, long long value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

// "yyyy-mm-dd" of a calendar day in range (a whole day count, so the cast is
// exact), written without building a string: the table writes one a row.
void appendDate(std::string &out, Date date)
{
    constexpr qint64 JulianDayOfSerialZero = 2415019; // 1899-12-30
    int year = 0;
    int month = 0;
    int day = 0;
    QDate::fromJulianDay(qint64(date) + JulianDayOfSerialZero).getDate(&year, &month, &day);
    const char text[10] = {char('0' + year / 1000),      char('0' + year / 100 % 10), char('0' + year / 10 % 10),
                           char('0' + year % 10),        '-',
                           char('0' + month / 10),       char('0' + month % 10),      '-',
                           char('0' + day / 10),         char('0' + day % 10)};
    out.append(text, sizeof text);
}

// The shortest text that reads back as the very same double.
void appendExact(std::string &out, double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

} // namespace

DayValues dayValues(Date birthDay, Date date)
{
    DayValues row;
    row.date = date;
    row.day = static_cast<long long>(date - birthDay);
    const double offset = double(row.day);
    for (std::size_t i = 0; i < Cycles.size(); ++i)
        row.cycles[i] = CycleValue(offset, Cycles[i]);
    row.composite = CompositeValue(offset);
    row.critical = IsCriticalDay(offset, CriticalLevel);
    return row;
}

long long readoutNumber(double cycleValue) { return static_cast<long long>(Int(cycleValue * ValueScale)); }

long long readoutComposite(double composite) { return static_cast<long long>(Int(composite)); }

void appendTableHeader(std::string &out)
{
    out += "date,day,physical,emotional,intellectual,composite,"
           "physical_value,emotional_value,intellectual_value,composite_value,critical\r\n";
}

void appendTableRow(std::string &out, const DayValues &row)
{
    // Every field is a date or a number: nothing needs quoting.
    appendDate(out, row.date);
    out += ',';
    appendNumber(out, row.day);
    for (const double value : row.cycles) {
        out += ',';
        appendNumber(out, readoutNumber(value));
    }
    out += ',';
    appendNumber(out, readoutComposite(row.composite));
    for (const double value : row.cycles) {
        out += ',';
        appendExact(out, value);
    }
    out += ',';
    appendExact(out, row.composite);
    out += row.critical ? ",1\r\n" : ",0\r\n";
}

std::vector<Date> criticalDays(Date birthDay, Date from, Date to)
{
    std::vector<Date> days;
    for (Date date = from; date <= to; date += 1.0) {
        if (IsCriticalDay(date - birthDay, CriticalLevel))
            days.push_back(date);
    }
    return days;
}

PhaseAgreement phaseAgreement(long long days)
{
    PhaseAgreement agreement;
    double sum = 0.0;
    for (std::size_t i = 0; i < Cycles.size(); ++i) {
        // The angle is formed in the model's order of operations.
        const double angle = ((double(days) * 2.0) * CyclePi) / CyclePeriod(Cycles[i]);
        agreement.cycles[i] = 100.0 * (1.0 + std::cos(angle)) / 2.0;
        sum += agreement.cycles[i];
    }
    agreement.mean = sum / 3.0;
    return agreement;
}

} // namespace quorvel::companion
