// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/drawing/colors.h"

#include <QMouseEvent>
#include <QPalette>
#include <QPointF>
#include <Qt>

class QWidget;

// The program's event model for the controls: each event is a Qt signal,
// emitted on the spot with the arguments below; the window connects its
// handlers to them.

namespace quorvel {

// Mouse-move arguments: buttons (1 left, 2 right, 4 middle), shift state
// (1 Shift, 2 Ctrl, 4 Alt) and the position from the control's top-left
// corner: in twips for windows and labels, in the user coordinates of its
// scale for a picture box.

int mouseButtonState(Qt::MouseButtons buttons);
int shiftState(Qt::KeyboardModifiers modifiers);

// Key code of a key press: 13 for Enter (either Enter key), otherwise Qt's key.
int keyCode(int qtKey);
inline constexpr int KeyEnter = 13;

// Every control keeps mouse movement to itself, so the window under it only
// hears of movement over its bare surface.
void keepMouseMovement(QWidget *widget);

// Accepts the event and emits the control's mouseMoved signal with the
// position given.
template <typename Control>
void reportMouseMove(Control *control, QMouseEvent *event, QPointF position)
{
    event->accept();
    emit control->mouseMoved(mouseButtonState(event->buttons()), shiftState(event->modifiers()), float(position.x()),
                             float(position.y()));
}
// Sets one colour of a widget's palette to a program colour.
void setPaletteColor(QWidget *widget, QPalette::ColorRole role, VbColor color);

} // namespace quorvel
