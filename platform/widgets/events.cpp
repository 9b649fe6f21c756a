// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/events.h"

#include <QWidget>

namespace quorvel {

void keepMouseMovement(QWidget *widget)
{
    widget->setMouseTracking(true);
    widget->setAttribute(Qt::WA_NoMousePropagation);
}

void setPaletteColor(QWidget *widget, QPalette::ColorRole role, VbColor color)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colorOf(color));
    widget->setPalette(palette);
}

int mouseButtonState(Qt::MouseButtons buttons)
{
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0)
         | (buttons & Qt::MiddleButton ? 4 : 0);
}

int shiftState(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0)
         | (modifiers & Qt::AltModifier ? 4 : 0);
}

int keyCode(int qtKey)
{
    return qtKey == Qt::Key_Return || qtKey == Qt::Key_Enter ? KeyEnter : qtKey;
}

} // namespace quorvel
