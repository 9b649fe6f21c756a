// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dates/datetime.h"

#include <QString>

namespace quorvel {

// What the chart reads from and writes to the analysis window's controls.
// The window implements it; tests implement their own.
class ChartControls
{
public:
    virtual ~ChartControls() = default;

    virtual int positionValue() const = 0; // POSITION: span start in two-day steps
    virtual int proptionValue() const = 0; // PROPTION: span width in days
    virtual QString birthText() const = 0; // TXTCSRQ
    virtual QString queryText() const = 0; // txtCXRQ
    virtual void setStartLabel(const QString &text) = 0; // LBLStartSj
    virtual void setSpanLabel(const QString &text) = 0;  // LBLts
    // Repaints both labels at once, the start label first.
    virtual void refreshSpanLabels() = 0;
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
