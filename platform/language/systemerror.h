// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace quorvel {

// The reason for a failed system call with the error number `error`, in
// Chinese whatever the locale: Qt's own words where Qt translates the
// error (the window's message boxes show them), the program's for the other
// errors a file write meets, the C library's Chinese translation for any
// other error, and where that is missing or keeps English words, a sentence
// that gives the error's number. Safe to call from any thread.
QString systemErrorText(int error);

} // namespace quorvel
