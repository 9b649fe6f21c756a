// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QString;
class QWidget;

// What a screen reader learns of the controls where Qt's own accessible
// interfaces say too little: a scroll bar's value in its owner's words, the
// picture box as a chart, a window as a dialog where it waits for the user,
// the marked spot of a picture box, and passing messages of a window.
//
// Qt 6.4's AT-SPI bridge hands a screen reader the changed object, not the
// new text, with a change of an accessible name or description, and Orca
// then says nothing. What reaches a screen reader is the focus moving onto
// an object, which it reads out, and a notification that appears, which it
// reads out wherever the focus is.

namespace quorvel {

class PictureBox;

// Registers the interfaces with Qt's accessibility. The controls concerned
// call it when they are built; further calls do no harm.
void installAccessibleInterfaces();

// Says text to a screen reader as a passing message of the window that holds
// widget. It shows nowhere on the screen.
void announce(QWidget *widget, const QString &text);

// Moves a screen reader's focus onto the marked spot of a picture box that
// has the keyboard focus, which it hears as text; the keyboard focus stays.
void focusMarkedSpot(PictureBox *box, const QString &text);

} // namespace quorvel
