// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The texts of Qt's own controls (the context menus of the text boxes and
// scroll bars, the buttons of message boxes) in simplified Chinese, whatever
// the user's locale.

namespace quorvel {

// Loads Qt's own simplified Chinese translation into the application, which
// must exist; idempotent. Returns whether it is loaded: without the file the
// runtime's texts stay English and the program runs on.
bool installChineseTranslations();

} // namespace quorvel
