// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dates/datetime.h"

#include <QObject>
#include <QString>

#include <functional>

// The runtime services of one run of the program: the clock, the system
// bell, the end of the program and the runtime error, the one path by which
// a fault that must end the program is reported. Nothing in the program
// catches a runtime error. The program owns one Runtime and hands it to what
// needs it; a test makes its own and sets its clock, its report and its end
// in the same way.

namespace quorvel {

struct RuntimeError {
    int code = 0;
    QString description;
};

class Runtime final : public QObject
{
    Q_OBJECT

public:
    // The local date and time now, by the system's clock unless another is set.
    Date Now() const { return m_clock ? m_clock() : systemNow(); }
    void setClock(std::function<Date()> clock) { m_clock = std::move(clock); }

    // The system bell; beeped() tells of it, where offscreen Qt rings none.
    void Beep();

    // Reports the error (by default in a message box) and then ends the
    // process with exit status 1. Never returns.
    [[noreturn]] void RaiseRuntimeError(const RuntimeError &error) const;
    // Replaces the report; the process still ends after it.
    void setErrorReporter(std::function<void(const RuntimeError &)> reporter) { m_reporter = std::move(reporter); }

    // Ends the program at once: every window closes, every event loop
    // returns and no later handler runs (see isEnding). A test may replace
    // what it does.
    void End();
    bool isEnding() const { return m_ending; }
    void setEndHandler(std::function<void()> handler) { m_endHandler = std::move(handler); }

signals:
    void beeped();

private:
    std::function<Date()> m_clock;
    std::function<void(const RuntimeError &)> m_reporter;
    std::function<void()> m_endHandler;
    bool m_ending = false;
};

} // namespace quorvel
