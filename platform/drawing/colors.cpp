// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/drawing/colors.h"

#include <QColor>
#include <QGuiApplication>
#include <QPalette>

namespace quorvel {

QRgb resolveSystemColor(VbColor color)
{
    // Without a GUI application (none at all, or a QCoreApplication)
    // there is no colour scheme: the standard one.
    const bool scheme = qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
    const QPalette palette = scheme ? QGuiApplication::palette() : QPalette();
    const auto role = [&](QPalette::ColorRole r, QColor standard) { return scheme ? palette.color(r) : standard; };
    QColor system;
    switch (color & 0xFFu) {
    case 0x05: system = role(QPalette::Base, Qt::white); break;       // window background
    case 0x07: system = role(QPalette::WindowText, Qt::black); break; // menu text
    case 0x08: system = role(QPalette::Text, Qt::black); break;       // window text
    case 0x0F: system = role(QPalette::Button, QColor(0xF0, 0xF0, 0xF0)); break;
    case 0x12: system = role(QPalette::ButtonText, Qt::black); break;
    default: system = Qt::black; break;
    }
    return system.rgb() | 0xFF000000u;
}

} // namespace quorvel
