#pragma once

// The whole run of the program, as main() starts it. The program has no
// command line: Qt's own options (-style, -reverse, -platform, ...) never
// reach the application, so nothing typed after the program's name changes
// it. Only --help and --version answer, with one short text on standard
// output, before any window or display is needed.

namespace quorvel {

enum class ProgramRequest { Run, Help, Version };

// What the arguments ask for: the first --help or --version after the
// program's name; anything else is ignored.
ProgramRequest programRequest(int argc, const char *const argv[]);

// Answers --help and --version, or runs the program until it ends; returns
// the exit status.
int runProgram(int argc, char *argv[]);

} // namespace quorvel
