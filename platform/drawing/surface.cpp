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

// The image's pixels for one drawing operation in one colour; taking them
// detaches the image from any copy of it held elsewhere. The copy pen puts
// the colour without reading the pixel; exclusive or combines the two.
struct Pixels {
    QRgb *bits;
    qsizetype stride;
    int width;
    int height;
    QRgb colour;
    bool exclusiveOr;

    Pixels(QImage &image, QRgb rgb, bool exclusiveOr)
        : bits(reinterpret_cast<QRgb *>(image.bits()))
        , stride(image.bytesPerLine() / qsizetype(sizeof(QRgb)))
        , width(image.width())
        , height(image.height())
        , colour(exclusiveOr ? rgb & 0x00FFFFFFu : rgb)
        , exclusiveOr(exclusiveOr)
    {
    }

    QRgb *row(int y) const { return bits + y * stride; }
    void plot(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return;
        if (exclusiveOr)
            row(y)[x] ^= colour;
        else
            row(y)[x] = colour;
    }
    // The pixels first <= x < end of a row, within the image.
    void run(QRgb *row, int first, int end) const
    {
        if (exclusiveOr) {
            for (int x = first; x < end; ++x)
                row[x] ^= colour;
        } else {
            std::fill(row + first, row + end, colour);
        }
    }
};

// The pixels x1 <= x < x2, y1 <= y < y2, clipped to the image.
void fillBox(QImage &image, int x1, int x2, int y1, int y2, QRgb rgb, bool exclusiveOr)
{
    x1 = std::max(x1, 0);
    x2 = std::min(x2, image.width());
    y1 = std::max(y1, 0);
    y2 = std::min(y2, image.height());
    if (x1 >= x2 || y1 >= y2)
        return;
    const Pixels pixels(image, rgb, exclusiveOr);
    for (int y = y1; y < y2; ++y)
        pixels.run(pixels.row(y), x1, x2);
}

// From `from` up to, not including, `to`: one pixel a step along the longer
// axis (across when not `Flat`), and one across it whenever the error term
// says so.
template <bool Flat, bool ExclusiveOr>
void bresenham(const Pixels &pixels, QPoint from, QPoint to)
{
    int along = Flat ? from.x() : from.y();
    int across = Flat ? from.y() : from.x();
    const int alongTo = Flat ? to.x() : to.y();
    const int acrossTo = Flat ? to.y() : to.x();
    const int major = std::abs(alongTo - along);
    const int minor = std::abs(acrossTo - across);
    const int stepAlong = alongTo > along ? 1 : -1;
    const int stepAcross = acrossTo > across ? 1 : -1;
    int error = 2 * minor - major;
    for (int i = 0; i < major; ++i) {
        const int x = Flat ? along : across;
        const int y = Flat ? across : along;
        if (unsigned(x) < unsigned(pixels.width) && unsigned(y) < unsigned(pixels.height)) {
            QRgb &pixel = pixels.row(y)[x];
            pixel = ExclusiveOr ? pixel ^ pixels.colour : pixels.colour;
        }
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
void drawLine(QImage &image, QPoint from, QPoint to, QRgb rgb, bool exclusiveOr)
{
    if (from == to)
        return;
    // A line along an axis covers the box of its pixels.
    if (from.x() == to.x()) {
        const PixelRun rows = stepsUpTo(from.y(), to.y());
        fillBox(image, from.x(), from.x() + 1, rows.first, rows.end, rgb, exclusiveOr);
        return;
    }
    if (from.y() == to.y()) {
        const PixelRun columns = stepsUpTo(from.x(), to.x());
        fillBox(image, columns.first, columns.end, from.y(), from.y() + 1, rgb, exclusiveOr);
        return;
    }
    const Pixels pixels(image, rgb, exclusiveOr);
    const bool flat = std::abs(to.x() - from.x()) >= std::abs(to.y() - from.y());
    if (flat)
        exclusiveOr ? bresenham<true, true>(pixels, from, to) : bresenham<true, false>(pixels, from, to);
    else
        exclusiveOr ? bresenham<false, true>(pixels, from, to) : bresenham<false, false>(pixels, from, to);
}

} // namespace

DrawingSurface::DrawingSurface(QSize pixelSize, VbColor backColor, VbColor foreColor)
    : m_image(pixelSize.expandedTo(QSize(1, 1)), QImage::Format_RGB32)
    , m_backColor(backColor)
    , m_foreColor(foreColor)
{
    m_image.fill(resolveColor(backColor));
    record(Shape::Clear, resolveColor(m_backColor), {});
    Scale(0.0f, 0.0f, 1.0f, 1.0f);
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
    drawLine(m_image, toPixel(QPointF(x1, y1)), toPixel(QPointF(x2, y2)), rgb, m_mode == DrawMode::XorPen);
    record(Shape::Line, rgb, {QPointF(x1, y1), QPointF(x2, y2)});
    m_current = QPointF(x2, y2);
}

void DrawingSurface::VerticalLines(float x1, float x2, float y1, float y2, VbColor color)
{
    const QRgb rgb = resolveColor(color);
    const bool exclusiveOr = m_mode == DrawMode::XorPen;
    const QPoint top = toPixel(QPointF(x1, y1));
    const QPoint bottom = toPixel(QPointF(x1, y2));
    // Row by row, each row's pixels written at once; as one line after the
    // other, a pixel two lines share is combined twice by exclusive or.
    std::vector<int> columns;
    double last = x1;
    for (double x = x1; x <= x2; x += 1.0) {
        last = x;
        const int column = m_grid.column(x);
        if (column >= 0 && column < m_image.width())
            columns.push_back(column);
    }
    if (top.y() != bottom.y() && !columns.empty()) {
        const PixelRun rows = stepsUpTo(top.y(), bottom.y());
        const Pixels pixels(m_image, rgb, exclusiveOr);
        for (int y = std::max(rows.first, 0); y < std::min(rows.end, m_image.height()); ++y) {
            QRgb *row = pixels.row(y);
            if (exclusiveOr) {
                for (const int column : columns)
                    row[column] ^= pixels.colour;
            } else {
                for (const int column : columns)
                    row[column] = pixels.colour;
            }
        }
    }
    record(Shape::VerticalLines, rgb, {QPointF(x1, y1), QPointF(x2, y2)});
    if (x1 <= x2)
        m_current = QPointF(float(last), y2);
}

void DrawingSurface::LineBoxFilled(float x1, float y1, float x2, float y2, VbColor color)
{
    const QRgb rgb = resolveColor(color);
    const QPoint a = toPixel(QPointF(x1, y1));
    const QPoint b = toPixel(QPointF(x2, y2));
    fillBox(m_image, std::min(a.x(), b.x()), std::max(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.y(), b.y()),
            rgb, m_mode == DrawMode::XorPen);
    record(Shape::Box, rgb, {QPointF(x1, y1), QPointF(x2, y2)});
    m_current = QPointF(x2, y2);
}

void DrawingSurface::LineTo(float x, float y, VbColor color)
{
    const QRgb rgb = resolveColor(color);
    drawLine(m_image, toPixel(m_current), toPixel(QPointF(x, y)), rgb, m_mode == DrawMode::XorPen);
    record(Shape::Line, rgb, {m_current, QPointF(x, y)});
    m_current = QPointF(x, y);
}

void DrawingSurface::LineTo(std::span<const QPointF> points, VbColor color)
{
    if (points.empty())
        return;
    const QRgb rgb = resolveColor(color);
    const bool exclusiveOr = m_mode == DrawMode::XorPen;
    QPoint from = toPixel(m_current);
    for (const QPointF &point : points) {
        const QPoint to = toPixel(point);
        drawLine(m_image, from, to, rgb, exclusiveOr);
        from = to;
    }
    ++m_generation;
    m_operations.push_back({Shape::Polyline, exclusiveOr, rgb, std::uint32_t(m_points.size()),
                            std::uint32_t(points.size() + 1)});
    m_points.push_back(m_current);
    m_points.insert(m_points.end(), points.begin(), points.end());
    m_current = points.back();
}

void DrawingSurface::PSet(float x, float y)
{
    PSet(x, y, m_foreColor);
}

void DrawingSurface::PSet(float x, float y, VbColor color)
{
    const QRgb rgb = resolveColor(color);
    const QPoint p = toPixel(QPointF(x, y));
    Pixels(m_image, rgb, m_mode == DrawMode::XorPen).plot(p.x(), p.y());
    record(Shape::Point, rgb, {QPointF(x, y)});
    m_current = QPointF(x, y);
}

} // namespace quorvel
