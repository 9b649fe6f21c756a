// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <functional>

// Program-wide runtime services: the system bell, the end of the program and
// the runtime error, the one path by which a fault that must end the program
// is reported. Nothing in the program catches a runtime error.

namespace quorvel {

struct RuntimeError {
    int code = 0;
    QString description;
};

// The errors the program can raise.
RuntimeError OverflowError();            // 6: a number out of its type's range
RuntimeError InvalidPropertyValueError(); // 380: a control given a value it cannot take

// Reports the error (by default in a message box) and then ends the program
// with exit status 1. Never returns.
[[noreturn]] void RaiseRuntimeError(const RuntimeError &error);

// Replaces the report; the program still ends after it.
void setRuntimeErrorReporter(std::function<void(const RuntimeError &)> reporter);

// What the runtime does that has no other trace, as signals: a bell that
// offscreen Qt cannot ring can still be heard this way.
class RuntimeEvents final : public QObject
{
    Q_OBJECT

signals:
    void beeped();
};
RuntimeEvents &runtimeEvents();

// The system bell.
void Beep();

// Ends the program at once: every window closes, every event loop returns and
// no later handler runs (see isEnding). Tests may replace what it does.
void End();
bool isEnding();
void setEndHandler(std::function<void()> handler);
void resetEnd();

} // namespace quorvel
