// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPoint>

// The pixels of the chart's drawing surface: one-pixel lines by Bresenham's
// rule (a line covers its first pixel but not its last, so joined segments
// meet without overdraw), filled rectangles and single points, each drawn
// with the copy pen or combined by exclusive or with what is there, and
// clipped to the image.

namespace quorvel {

class RasterImage final
{
public:
    RasterImage(QSize size, QRgb fill);

    // The picture as drawn so far. A copy of it may be kept: the next
    // drawing detaches the pixels again.
    const QImage &image() const { return m_image; }
    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }

    void clear(QRgb rgb) { m_image.fill(rgb); }
    // From `from` up to, not including, `to`.
    void line(QPoint from, QPoint to, QRgb rgb, bool exclusiveOr);
    // The pixels x1 <= x < x2, y1 <= y < y2.
    void box(int x1, int x2, int y1, int y2, QRgb rgb, bool exclusiveOr);
    void plot(QPoint pixel, QRgb rgb, bool exclusiveOr);

private:
    QImage m_image;
};

} // namespace quorvel
