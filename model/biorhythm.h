// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The biorhythm model: the three sine cycles that start rising on the day of
// birth, the Composite value and the critical-day rule. Pure computation; the
// chart and the pointer readout both take their numbers from here, so a chart
// point and a readout at the same day offset always agree.
//
// The results are defined to the last bit: the order of the operations, the
// circle constant 3.1415926 and the single-precision step of the critical-day
// rule are part of the definition and must not be "improved".

#include <array>

namespace quorvel {

enum class BiorhythmCycle { Physical, Emotional, Intellectual };

// Deliberately not the full-precision pi; the difference shows in the results.
inline constexpr double CyclePi = 3.1415926;

// From a cycle value (-1 to 1) to chart units and readout numbers.
inline constexpr double ValueScale = 100.0;

// The cycle's period in days: 23, 28 and 33, in the order of BiorhythmCycle.
constexpr int CyclePeriod(BiorhythmCycle cycle)
{
    constexpr int Periods[] = {23, 28, 33};
    return Periods[static_cast<int>(cycle)];
}

// The cycle's angle at a day offset, in radians: ((offset * 2) * CyclePi) /
// period, in that order.
double CycleAngle(double offset, BiorhythmCycle cycle);

// sin(CycleAngle(offset, cycle)), offset in days since birth.
double CycleValue(double offset, BiorhythmCycle cycle);

// The three cycles at one offset, for callers that need more than one of
// them: the Composite and the critical-day rule are made of the same three.
struct CycleValues {
    double physical;
    double emotional;
    double intellectual;
};
CycleValues AllCycleValues(double offset);

// Mean magnitude of the three cycles on the 0..100 scale.
double CompositeValue(double offset);
double CompositeValue(const CycleValues &values);

// True when all three magnitudes, rounded to single precision, lie strictly
// below level.
bool IsCriticalDay(double offset, float level);
bool IsCriticalDay(const CycleValues &values, float level);

// How far two people's cycles run in phase, 0 (opposite) to 100 (together),
// from their calendar days of birth (a time of day does not count), `days`
// apart: 100 * (1 + cos(CycleAngle(days, cycle))) / 2 for each cycle,
// unrounded, and the mean of the three.
struct PhaseAgreement {
    std::array<double, 3> cycles{};
    double mean = 0.0;
};
PhaseAgreement synchronyOf(double firstBirth, double secondBirth);

} // namespace quorvel
