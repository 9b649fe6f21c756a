// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

// Positions and sizes are given in twips, 15 to a pixel at 96 dots per inch.

namespace quorvel {

inline constexpr int TwipsPerPixel = 15;

// The one rule from twips to pixels: the nearest pixel, a half going up.
// Every size and position of the layouts lies less than half a pixel past
// a whole one; a centred window may stand on a half.
constexpr int twipsToPixels(double twips)
{
    const double pixels = twips / TwipsPerPixel + 0.5;
    const int whole = static_cast<int>(pixels);
    return pixels < whole ? whole - 1 : whole;
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

} // namespace quorvel
