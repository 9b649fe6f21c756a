// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/biorhythm.h"

#include <cmath>
#include <initializer_list>

namespace quorvel {

double CycleAngle(double offset, BiorhythmCycle cycle)
{
    return ((offset * 2.0) * CyclePi) / static_cast<double>(CyclePeriod(cycle));
}

double CycleValue(double offset, BiorhythmCycle cycle)
{
    return std::sin(CycleAngle(offset, cycle));
}

CycleValues AllCycleValues(double offset)
{
    return {CycleValue(offset, BiorhythmCycle::Physical), CycleValue(offset, BiorhythmCycle::Emotional),
            CycleValue(offset, BiorhythmCycle::Intellectual)};
}

double CompositeValue(const CycleValues &values)
{
    const double e = std::fabs(values.emotional);
    const double p = std::fabs(values.physical);
    const double i = std::fabs(values.intellectual);
    return (((e + p) + i) * 100.0) / 3.0;
}

double CompositeValue(double offset)
{
    return CompositeValue(AllCycleValues(offset));
}

bool IsCriticalDay(const CycleValues &values, float level)
{
    for (const double value : {values.physical, values.emotional, values.intellectual}) {
        if (!(static_cast<float>(std::fabs(value)) < level))
            return false;
    }
    return true;
}

bool IsCriticalDay(double offset, float level)
{
    return IsCriticalDay(AllCycleValues(offset), level);
}

PhaseAgreement synchronyOf(double firstBirth, double secondBirth)
{
    const double days = std::floor(secondBirth) - std::floor(firstBirth);
    constexpr std::array Cycles{BiorhythmCycle::Physical, BiorhythmCycle::Emotional, BiorhythmCycle::Intellectual};
    PhaseAgreement agreement;
    double sum = 0.0;
    for (std::size_t i = 0; i < Cycles.size(); ++i) {
        agreement.cycles[i] = 100.0 * (1.0 + std::cos(CycleAngle(days, Cycles[i]))) / 2.0;
        sum += agreement.cycles[i];
    }
    agreement.mean = sum / 3.0;
    return agreement;
}

} // namespace quorvel
