// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/drawing/pixelgrid.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quorvel {
namespace {

// Pixel coordinates are held to this range so that a line far outside the
// surface costs no more than one across the largest screen.
constexpr double PixelLimit = 32767.0;

// The pixel whose centre (pixel + 0.5) is the first at or after value.
int pixelIndex(double value)
{
    if (!(value == value))
        return 0;
    // ceil, for a value well inside the range of int.
    const double v = std::clamp(value, -PixelLimit, PixelLimit) - 0.5;
    const int truncated = static_cast<int>(v);
    return truncated + (double(truncated) < v ? 1 : 0);
}

// The single-precision user coordinate of a pixel's centre along one axis
// (user = origin + device / scale). The exact centre is the last coordinate
// that still maps onto the pixel; rounding it to single precision may step
// over that limit either way, so it is moved back by whole steps of the
// float grid until it is the last float that maps onto the pixel. The
// readout counts days from it, so a centre that lies exactly on a day
// boundary reads out as the day whose box covers the pixel.
float pixelCentre(int pixel, double origin, double scale)
{
    const auto index = [&](float user) { return pixelIndex((double(user) - origin) * scale); };
    const float towardsGrowth = scale > 0 ? std::numeric_limits<float>::infinity()
                                          : -std::numeric_limits<float>::infinity();
    float user = static_cast<float>(origin + (pixel + 0.5) / scale);
    for (int step = 0; step < 16 && index(user) > pixel; ++step)
        user = std::nextafter(user, -towardsGrowth);
    for (int step = 0; step < 16 && index(std::nextafter(user, towardsGrowth)) <= pixel; ++step)
        user = std::nextafter(user, towardsGrowth);
    return user;
}

} // namespace

PixelGrid::PixelGrid(QPointF topLeft, QPointF bottomRight, QSizeF pixels)
    : m_left(topLeft.x())
    , m_top(topLeft.y())
    , m_sx(pixels.width() / (bottomRight.x() - topLeft.x()))
    , m_sy(pixels.height() / (bottomRight.y() - topLeft.y()))
{
}

int PixelGrid::column(double x) const { return pixelIndex((x - m_left) * m_sx); }

int PixelGrid::row(double y) const { return pixelIndex((y - m_top) * m_sy); }

QPointF PixelGrid::toUser(QPoint pixel) const
{
    return {pixelCentre(pixel.x(), m_left, m_sx), pixelCentre(pixel.y(), m_top, m_sy)};
}

} // namespace quorvel
