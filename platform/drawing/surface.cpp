// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/drawing/surface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

// The pixels of the surface's image: one-pixel lines, filled boxes and single
// points, drawn with the copy pen or combined by exclusive or with what is
// there, and clipped to the image.

namespace quorvel {
namespace {

// The copy pen puts its colour without reading the pixel; exclusive or
// combines the two.
template <bool ExclusiveOr>
struct Pen {
    QRgb colour;

    void operator()(QRgb &pixel) const
    {
        if constexpr (ExclusiveOr)
            pixel ^= colour;
        else
            pixel = colour;
    }
};

// Runs draw with the pen of the drawing mode, in the colour.
void withPen(bool exclusiveOr, QRgb rgb, auto &&draw)
{
    if (exclusiveOr)
        draw(Pen<true>{rgb & 0x00FFFFFFu});
    else
        draw(Pen<false>{rgb});
}

// The image's pixels; taking them detaches the image from any copy of it
// held elsewhere.
struct Pixels {
    QRgb *bits;
    qsizetype stride;
    int width;
    int height;

    explicit Pixels(QImage &image)
        : bits(reinterpret_cast<QRgb *>(image.bits()))
        , stride(image.bytesPerLine() / qsizetype(sizeof(QRgb)))
        , width(image.width())
        , height(image.height())
    {
    }

    QRgb *row(int y) const { return bits + y * stride; }
    bool contains(int x, int y) const { return unsigned(x) < unsigned(width) && unsigned(y) < unsigned(height); }
};

// The pixels x1 <= x < x2, y1 <= y < y2, clipped to the image.
void fillBox(const Pixels &pixels, int x1, int x2, int y1, int y2, auto pen)
{
    x1 = std::max(x1, 0);
    x2 = std::min(x2, pixels.width);
    for (int y = std::max(y1, 0); y < std::min(y2, pixels.height) && x1 < x2; ++y)
        std::for_each(pixels.row(y) + x1, pixels.row(y) + x2, pen);
}

// From `from` up to, not including, `to`: one pixel a step along the longer
// axis (x when `Flat`, else y), and one across it whenever the error term
// says so.
template <bool Flat>
void bresenham(const Pixels &pixels, QPoint from, QPoint to, auto pen)
{
    int along = Flat ? from.x() : from.y();
    int across = Flat ? from.y() : from.x();
    const int major = std::abs(Flat ? to.x() - from.x() : to.y() - from.y());
    const int minor = std::abs(Flat ? to.y() - from.y() : to.x() - from.x());
    const int stepAlong = (Flat ? to.x() > from.x() : to.y() > from.y()) ? 1 : -1;
    const int stepAcross = (Flat ? to.y() > from.y() : to.x() > from.x()) ? 1 : -1;
    int error = 2 * minor - major;
    for (int i = 0; i < major; ++i) {
        const int x = Flat ? along : across;
        const int y = Flat ? across : along;
        if (pixels.contains(x, y))
            pen(pixels.row(y)[x]);
        if (error > 0) {
            across += stepAcross;
            error -= 2 * major;
        }
        error += 2 * minor;
        along += stepAlong;
    }
}

// From `from` up to, not including, `to`, by Bresenham's rule: joined lines
// meet without overdraw.
void drawLine(const Pixels &pixels, QPoint from, QPoint to, auto pen)
{
    // A line along an axis covers the box of its pixels.
    if (from.x() == to.x() && from.y() != to.y()) {
        const PixelRun rows = stepsUpTo(from.y(), to.y());
        fillBox(pixels, from.x(), from.x() + 1, rows.first, rows.end, pen);
    } else if (from.y() == to.y() && from.x() != to.x()) {
        const PixelRun columns = stepsUpTo(from.x(), to.x());
        fillBox(pixels, columns.first, columns.end, from.y(), from.y() + 1, pen);
    } else if (std::abs(to.x() - from.x()) >= std::abs(to.y() - from.y())) {
        bresenham<true>(pixels, from, to, pen);
    } else {
        bresenham<false>(pixels, from, to, pen);
    }
}

// A pen that paints every other pixel it is given, counting on from one
// line to the next.
template <typename Inner>
struct DottedPen {
    Inner inner;
    unsigned *count;

    void operator()(QRgb &pixel) const
    {
        if ((*count)++ % 2 == 0)
            inner(pixel);
    }
};

} // namespace

DrawingSurface::DrawingSurface(QSize pixelSize, VbColor backColor, VbColor foreColor)
    : m_image(pixelSize.expandedTo(QSize(1, 1)), QImage::Format_RGB32)
    , m_backColor(backColor)
    , m_foreColor(foreColor)
    , m_grid(gridAt(1.0))
{
    Cls();
}

void DrawingSurface::record(Shape shape, QRgb rgb, std::initializer_list<QPointF> points)
{
    ++m_generation;
    m_operations.push_back({shape, m_mode == DrawMode::XorPen, rgb, std::uint32_t(m_points.size()),
                            std::uint32_t(points.size())});
    m_points.insert(m_points.end(), points);
}

void DrawingSurface::Cls()
{
    const QRgb rgb = resolveColor(m_backColor);
    m_image.fill(rgb);
    // Nothing drawn before shows any more: only the scale carries over.
    m_operations.clear();
    m_points.clear();
    ++m_generation;
    m_operations.push_back({Shape::Clear, false, rgb, 0, 0});
    record(Shape::Scale, 0, {m_scaleTopLeft, m_scaleBottomRight});
    m_current = QPointF(0.0, 0.0);
}

void DrawingSurface::Scale(float x1, float y1, float x2, float y2)
{
    // A degenerate scale would divide by zero; keep the previous one then.
    if (x1 == x2 || y1 == y2 || !std::isfinite(x1) || !std::isfinite(x2) || !std::isfinite(y1)
        || !std::isfinite(y2))
        return;
    m_scaleTopLeft = QPointF(x1, y1);
    m_scaleBottomRight = QPointF(x2, y2);
    m_grid = gridAt(1.0);
    record(Shape::Scale, 0, {m_scaleTopLeft, m_scaleBottomRight});
}

PixelGrid DrawingSurface::gridAt(double density) const
{
    return PixelGrid(m_scaleTopLeft, m_scaleBottomRight, QSizeF(size()) * density);
}

void DrawingSurface::Line(float x1, float y1, float x2, float y2, VbColor color)
{
    const QRgb rgb = resolveColor(color);
    withPen(m_mode == DrawMode::XorPen, rgb,
            [&](auto pen) { drawLine(Pixels(m_image), toPixel(QPointF(x1, y1)), toPixel(QPointF(x2, y2)), pen); });
    record(Shape::Line, rgb, {QPointF(x1, y1), QPointF(x2, y2)});
    m_current = QPointF(x2, y2);
}

void DrawingSurface::VerticalLines(float x1, float x2, float y1, float y2, VbColor color)
{
    const QRgb rgb = resolveColor(color);
    const QPoint top = toPixel(QPointF(x1, y1));
    const QPoint bottom = toPixel(QPointF(x1, y2));
    // Row by row, each row's pixels written at once; as one line after the
    // other, a pixel two lines share is combined twice by exclusive or.
    std::vector<int> columns;
    for (double x = x1; x <= x2; x += 1.0) {
        const int column = m_grid.column(x);
        if (column >= 0 && column < m_image.width())
            columns.push_back(column);
    }
    if (top.y() != bottom.y() && !columns.empty()) {
        const PixelRun rows = stepsUpTo(top.y(), bottom.y());
        const Pixels pixels(m_image);
        withPen(m_mode == DrawMode::XorPen, rgb, [&](auto pen) {
            for (int y = std::max(rows.first, 0); y < std::min(rows.end, pixels.height); ++y) {
                QRgb *row = pixels.row(y);
                for (const int column : columns)
                    pen(row[column]);
            }
        });
    }
    record(Shape::VerticalLines, rgb, {QPointF(x1, y1), QPointF(x2, y2)});
    m_current = QPointF(x2, y2);
}

void DrawingSurface::LineBoxFilled(float x1, float y1, float x2, float y2, VbColor color)
{
    const QRgb rgb = resolveColor(color);
    const QPoint a = toPixel(QPointF(x1, y1));
    const QPoint b = toPixel(QPointF(x2, y2));
    withPen(m_mode == DrawMode::XorPen, rgb, [&](auto pen) {
        fillBox(Pixels(m_image), std::min(a.x(), b.x()), std::max(a.x(), b.x()), std::min(a.y(), b.y()),
                std::max(a.y(), b.y()), pen);
    });
    record(Shape::Box, rgb, {QPointF(x1, y1), QPointF(x2, y2)});
    m_current = QPointF(x2, y2);
}

void DrawingSurface::LineTo(std::span<const QPointF> points, VbColor color)
{
    polylineTo(points, color, Shape::Polyline);
}

void DrawingSurface::DottedLineTo(std::span<const QPointF> points, VbColor color)
{
    polylineTo(points, color, Shape::DottedPolyline);
}

// The polyline from the current point through the points, solid or dotted.
void DrawingSurface::polylineTo(std::span<const QPointF> points, VbColor color, Shape shape)
{
    if (points.empty())
        return;
    const QRgb rgb = resolveColor(color);
    const bool exclusiveOr = m_mode == DrawMode::XorPen;
    const Pixels pixels(m_image);
    unsigned dots = 0;
    withPen(exclusiveOr, rgb, [&](auto pen) {
        const DottedPen<decltype(pen)> dotted{pen, &dots};
        QPoint from = toPixel(m_current);
        for (const QPointF &point : points) {
            const QPoint to = toPixel(point);
            if (shape == Shape::Polyline)
                drawLine(pixels, from, to, pen);
            else if (std::abs(to.x() - from.x()) >= std::abs(to.y() - from.y()))
                bresenham<true>(pixels, from, to, dotted);
            else
                bresenham<false>(pixels, from, to, dotted);
            from = to;
        }
    });
    ++m_generation;
    m_operations.push_back({shape, exclusiveOr, rgb, std::uint32_t(m_points.size()), std::uint32_t(points.size() + 1)});
    m_points.push_back(m_current);
    m_points.insert(m_points.end(), points.begin(), points.end());
    m_current = points.back();
}

void DrawingSurface::PSet(float x, float y)
{
    const QRgb rgb = resolveColor(m_foreColor);
    const QPoint p = toPixel(QPointF(x, y));
    if (const Pixels pixels(m_image); pixels.contains(p.x(), p.y()))
        withPen(m_mode == DrawMode::XorPen, rgb, [&](auto pen) { pen(pixels.row(p.y())[p.x()]); });
    record(Shape::Point, rgb, {QPointF(x, y)});
    m_current = QPointF(x, y);
}

} // namespace quorvel
