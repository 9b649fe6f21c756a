// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The whole run of the program, as main() starts it. The program has no
// command line: Qt's own options (-style, -reverse, -platform, ...) never
// reach the application, so nothing typed after the program's name changes
// it. Only --help and --version answer, with one short text on standard
// output, before any window or display is needed.

#include <QByteArray>

namespace quorvel {

enum class ProgramRequest { Run, Help, Version };

// What the arguments ask for: the first --help or --version after the
// program's name; anything else is ignored.
ProgramRequest programRequest(int argc, const char *const argv[]);

// The window systems the program asks Qt for, given the user's choice
// (QT_QPA_PLATFORM) and the X display (DISPLAY): X whenever an X display is
// there and the user chose nothing, so that on a Wayland desktop the program
// runs through Xwayland, where windows can place themselves (centred, the
// guide over the analysis window), and Wayland after it. Empty leaves the
// choice to Qt: to the user's, or to Wayland when it is alone.
QByteArray preferredPlatform(const QByteArray &chosen, const QByteArray &display);

// Answers --help and --version, or runs the program until it ends; returns
// the exit status. Without a window system (no DISPLAY, no WAYLAND_DISPLAY,
// no QT_QPA_PLATFORM), or when none of those it names can be opened (a
// display whose server is gone, a socket nobody listens on, a server that
// refuses the program), it says so in one line and ends with status 1.
int runProgram(int argc, char *argv[]);

} // namespace quorvel
