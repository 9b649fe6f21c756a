// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/drawing/colors.h"
#include "platform/drawing/pixelgrid.h"

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSize>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

class QPainter;

// The chart's drawing surface: user coordinates set by Scale, one-pixel
// solid lines, filled boxes and points, drawn with the copy pen or by
// exclusive or against what is there. The picture box widget shows it, so
// the chart survives being covered by another window.
//
// What is drawn is kept twice: as the pixels of a backing image (the chart
// on an ordinary screen, pixel for pixel), and as the drawing operations
// themselves in user coordinates since the last Cls. The operations are
// replayed through a painter onto any device at any size (a denser screen,
// a printed page, a PDF or SVG file), each put on the device's own pixels by
// the same rule the image follows (pixelgrid.h), so that every rendering of
// the chart is the one chart that was drawn.

namespace quorvel {

enum class DrawMode { XorPen = 7, CopyPen = 13 };

// What a replay paints for each mark drawn: the colour to paint it in, or
// nothing to leave it out. The ground is what Cls fills the surface with;
// lines and polylines are lines.
enum class Mark { Ground, Box, Line, Point };
using Restyle = std::function<std::optional<QRgb>(Mark mark, QRgb colour)>;

class DrawingSurface final
{
public:
    explicit DrawingSurface(QSize pixelSize, VbColor backColor = SystemMenuText,
                            VbColor foreColor = SystemButtonText);

    // The picture as drawn so far.
    const QImage &image() const { return m_image; }
    // Counts the drawing operations ever made: a copy of the picture made at
    // one count shows it as long as the count stays.
    std::uint64_t generation() const { return m_generation; }
    QSize size() const { return m_image.size(); }

    VbColor backColor() const { return m_backColor; }
    DrawMode drawMode() const { return m_mode; }
    void setDrawMode(DrawMode mode) { m_mode = mode; }

    // Fills the surface with the background colour; the current point goes
    // back to (0, 0).
    void Cls();

    // User coordinates: (x1, y1) at the top-left corner, (x2, y2) at the
    // bottom-right one. Until the first Scale both run from 0 to 1.
    void Scale(float x1, float y1, float x2, float y2);
    QRectF scaleRect() const { return QRectF(m_scaleTopLeft, m_scaleBottomRight); }

    void Line(float x1, float y1, float x2, float y2, VbColor color);
    // The lines from (x, y1) to (x, y2) for x = x1, x1 + 1, ..., x2 (a whole
    // number of steps on): each as Line draws it, all of them one operation.
    void VerticalLines(float x1, float x2, float y1, float y2, VbColor color);
    void LineBoxFilled(float x1, float y1, float x2, float y2, VbColor color);
    // A line from the current point to each point in turn (single-precision
    // values held as doubles).
    void LineTo(std::span<const QPointF> points, VbColor color);
    // The same line dotted: every other pixel along its longer axis on the
    // image, the dots running on from one point to the next; a replay dots
    // it a line's width on and off.
    void DottedLineTo(std::span<const QPointF> points, VbColor color);
    // A point in the fore colour.
    void PSet(float x, float y);
    QPointF currentPoint() const { return m_current; }

    // The pixel rule on the image, both ways (pixelgrid.h).
    QPoint toPixel(QPointF user) const { return m_grid.toPixel(user); }
    QPointF toUser(QPoint pixel) const { return m_grid.toUser(pixel); }
    // The same two directions on a grid `density` times as fine as the
    // image's (a screen with that many device pixels to a pixel).
    QPoint toPixel(QPointF user, double density) const { return gridAt(density).toPixel(user); }
    QPointF toUser(QPoint pixel, double density) const { return gridAt(density).toUser(pixel); }

    // Paints what has been drawn since the last Cls into the rectangle
    // (0, 0)-(size) of the painter's logical coordinates, clipped to it, on
    // any device. Each operation lands on the device's pixels by the pixel
    // rule at the device's density (the painter's scale to device pixels):
    // lines along an axis and boxes on whole device pixels, lines one
    // logical pixel wide, other lines smoothed on a raster device. On a
    // device with as many pixels as the image, the boxes and the lines along
    // an axis are the image's own. A restyle paints each mark in another
    // colour, or leaves it out; without one every mark keeps its own.
    void paint(QPainter &painter, QSizeF size, const Restyle &restyle = {}) const;

private:
    enum class Shape : std::uint8_t { Clear, Scale, Line, VerticalLines, Box, Point, Polyline, DottedPolyline };
    // One drawing operation, its points in m_points from `first` on.
    struct Operation {
        Shape shape;
        bool exclusiveOr;
        QRgb rgb;
        std::uint32_t first;
        std::uint32_t count;
    };
    void record(Shape shape, QRgb rgb, std::initializer_list<QPointF> points);
    void polylineTo(std::span<const QPointF> points, VbColor color, Shape shape);
    PixelGrid gridAt(double density) const;

    // The picture: a copy of it may be kept, as the next drawing detaches
    // the pixels again.
    QImage m_image;
    VbColor m_backColor;
    VbColor m_foreColor;
    DrawMode m_mode = DrawMode::CopyPen;
    QPointF m_scaleTopLeft{0.0, 0.0};
    QPointF m_scaleBottomRight{1.0, 1.0};
    PixelGrid m_grid;
    QPointF m_current;
    std::vector<Operation> m_operations;
    std::vector<QPointF> m_points;
    std::uint64_t m_generation = 0;
};

} // namespace quorvel
