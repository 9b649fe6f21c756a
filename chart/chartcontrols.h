// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chart/comparison.h"
#include "platform/dates/datetime.h"

#include <QString>

#include <optional>

namespace quorvel {

// What the chart reads of the analysis window's controls, as they stand when
// it draws. The window reads them off its controls; quorvel-chart and the
// tests give their own.
struct ChartControls {
    QString birthText; // TXTCSRQ
    QString queryText; // txtCXRQ
    int position = 0;  // POSITION: span start in two-day steps
    int span = 40;     // PROPTION: span width in days
    // A second person to draw over the first, when the user compares.
    std::optional<Comparison> comparison = std::nullopt;
};

// The critical-day level: a day is critical when all three magnitudes lie
// below it. Start-up gives it to the window; quorvel-chart uses it as it is.
inline constexpr float ProgramCriticalLevel = 0.2f;

// The values the window's handlers share (kept by the program's Global
// module): the dates of the chart last drawn and the critical-day level.
struct SharedValues {
    Date ChartQueryDate = 0.0;
    Date ChartBirthDate = 0.0;
    float CriticalLevel = 0.0f;
};

} // namespace quorvel
