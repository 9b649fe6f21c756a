// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/biorhythm.h"
#include "platform/dates/datetime.h"

#include <QString>

#include <array>
#include <vector>

// Two people on one chart: a second person's three cycles drawn in dotted
// lines over the first person's, what the chart then tells of them, and
// how far the two run in phase. The chart's columns stay the first person's
// days; the second person's values at a column are those of the same
// instant, their own day offset being the column's plus the days between
// the two births.

namespace quorvel {

// Who is compared with whom, as asked: the second person's birth date, and
// for each the name they are kept under, empty for a typed date.
struct Comparison {
    QString firstName;
    QString secondName;
    Date secondBirth = 0.0;
};

// A share in whole percent, "62%": rounded to the nearest, halves to even.
QString percentText(double value);

// The second person of a drawn chart.
struct ComparedChart {
    QString firstName;
    QString secondName;
    Date firstBirth = 0.0;
    Date secondBirth = 0.0;
    // The second person's day offset at the first person's offset 0.
    double shift = 0.0;
    // The columns on which the second person has a critical day, first to
    // last.
    std::vector<int> criticalDays;
    PhaseAgreement synchrony;

    // The readout's four numbers of the second person in the middle of a
    // column, and under the pointer at chart position x.
    std::array<long long, 4> valuesOf(int day) const;
    std::array<long long, 4> valuesAt(double x) const;
    bool marksCriticalDay(int day) const;

    // How the chart names the second person: the name, else the birth date
    // as typed; a long name is cut short with "…".
    QString secondWho() const;
    // Each person with their birth date, "李四（1985-06-15）", or the date
    // alone for a typed one.
    QString firstInFull() const;
    QString secondInFull() const;
    // "体力62%，情绪40%，智力81%，平均61%"
    QString synchronyText() const;
    // What the chart says of the pair in its bottom margin: which line is
    // whom, and the synchrony.
    QString legendText() const;
};

// The second person of a chart of the first person born on firstBirth whose
// columns run from day offset first to last.
ComparedChart compareOn(const Comparison &comparison, Date firstBirth, int first, int last, float criticalLevel);

// The longest name the chart shows whole.
inline constexpr int ShownNameLength = 6;

} // namespace quorvel
