// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

#include <cstdint>

// Colours as the program gives them: 0x00BBGGRR values, or 0x800000nn for the
// system colour with index nn, which follows the user's colour scheme.

namespace quorvel {

using VbColor = std::uint32_t;

inline constexpr VbColor SystemWindowBackground = 0x80000005;
inline constexpr VbColor SystemMenuText = 0x80000007;
inline constexpr VbColor SystemWindowText = 0x80000008;
inline constexpr VbColor SystemButtonText = 0x80000012;

// The program's light green: the span label on the chart, the face of the
// analysis window's buttons, the rim of its icon.
inline constexpr VbColor LightGreen = 0x009AE9C4;

// The colour of a system colour: from the application's palette, or without
// a GUI application from the standard scheme.
QRgb resolveSystemColor(VbColor color);

// The colour a 0x00BBGGRR value or a system colour stands for, opaque. Every
// drawing operation asks for it, so the plain case costs no call.
inline QRgb resolveColor(VbColor color)
{
    if (color & 0x80000000u)
        return resolveSystemColor(color);
    return qRgb(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

// The same colour to paint with.
inline QColor colorOf(VbColor color) { return QColor::fromRgb(resolveColor(color)); }

} // namespace quorvel
