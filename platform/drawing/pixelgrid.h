// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QPointF>
#include <QSizeF>

// The one rule between the chart's user coordinates and pixels, both ways,
// for a grid of pixels of any fineness laid over the user rectangle: the
// surface's own image, a denser screen's device pixels, a printer's dots.
//
// The user rectangle covers the whole grid, and a pixel stands for the user
// point at its centre. A user point falls on the first pixel whose centre is
// not before it (in the direction of growing pixel index), so a filled box
// covers exactly the pixels whose centres it contains, its first edge
// included and its second excluded, and a line at a box's edge lies on the
// box's first pixel. The pointer reports the centre of the pixel under it,
// so a pixel that a day's box covers always reads out as that day.

namespace quorvel {

// The pixels from `from` up to, not including, `to`, in either direction,
// as first <= pixel < end: those a one-pixel line along an axis covers.
struct PixelRun {
    int first;
    int end;
};
constexpr PixelRun stepsUpTo(int from, int to)
{
    return to > from ? PixelRun{from, to} : PixelRun{to + 1, from + 1};
}

class PixelGrid
{
public:
    PixelGrid() = default;
    // (x1, y1) at the top-left corner, (x2, y2) at the bottom-right one, over
    // `pixels` pixels (a denser device's count need not be whole).
    PixelGrid(QPointF topLeft, QPointF bottomRight, QSizeF pixels);

    QPoint toPixel(QPointF user) const { return {column(user.x()), row(user.y())}; }
    int column(double x) const;
    int row(double y) const;
    // The centre of a pixel as the single-precision point that the pointer
    // reports, chosen so that it maps back onto the same pixel and lies in
    // the same user-unit column (d <= x < d + 1) as the pixel does.
    QPointF toUser(QPoint pixel) const;

private:
    double m_left = 0.0;
    double m_top = 0.0;
    double m_sx = 1.0; // pixels per user unit, negative when the axis runs backwards
    double m_sy = 1.0;
};

} // namespace quorvel
