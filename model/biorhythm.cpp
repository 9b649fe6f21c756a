#include "model/biorhythm.h"

#include <cmath>
#include <initializer_list>

namespace quorvel {

double CycleValue(double offset, BiorhythmCycle cycle)
{
    const double angle = ((offset * 2.0) * CyclePi) / static_cast<double>(CyclePeriod(cycle));
    return std::sin(angle);
}

double CompositeValue(double offset)
{
    const double e = std::fabs(CycleValue(offset, BiorhythmCycle::Emotional));
    const double p = std::fabs(CycleValue(offset, BiorhythmCycle::Physical));
    const double i = std::fabs(CycleValue(offset, BiorhythmCycle::Intellectual));
    return (((e + p) + i) * 100.0) / 3.0;
}

bool IsCriticalDay(double offset, float level)
{
    for (BiorhythmCycle cycle :
         {BiorhythmCycle::Physical, BiorhythmCycle::Emotional, BiorhythmCycle::Intellectual}) {
        if (!(static_cast<float>(std::fabs(CycleValue(offset, cycle))) < level))
            return false;
    }
    return true;
}

} // namespace quorvel
