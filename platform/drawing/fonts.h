// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

// Every text of the program is set in "宋体", 9 points (12-pixel characters),
// GB2312. That family exists on Chinese Windows only; here it is mapped onto
// an installed Song/Ming face so the windows look the same on every machine.
// The runtime's own texts (the context menus of text boxes and scroll bars,
// the buttons of message boxes) are simplified Chinese too, whatever the
// user's locale.

namespace quorvel {

inline constexpr int FontPixelSize = 12;

// Registers the substitutes of "宋体"; idempotent.
void installFontSubstitutes();

// "宋体", its substitutes registered.
QString programFontFamily();

// The program's font, optionally underlined.
QFont programFont(bool underline = false);

// The program's font under the name of the face that is drawn rather than
// "宋体", so that a file names a font its reader can find.
QFont drawnProgramFont();

// The face of what is printed: WenQuanYi Micro Hei, the sans face installed
// with the program, whose Latin letters and digits tell l from 1 and O from
// 0 (the Song face's do not, at the sizes of a page). Its Chinese matches,
// so a page reads in one face.
QFont paperFont();

// The width of a text in the program's font, as a self-sizing label takes it.
int textWidth(const QString &text);

} // namespace quorvel
