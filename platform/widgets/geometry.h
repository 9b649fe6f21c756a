#pragma once

#include <QRect>

// Positions and sizes are given in twips, 15 to a pixel at 96 dots per inch.

namespace quorvel {

inline constexpr int TwipsPerPixel = 15;

constexpr int twipsToPixels(int twips) { return twips / TwipsPerPixel; }

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

} // namespace quorvel
