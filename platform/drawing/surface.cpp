// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/drawing/surface.h"

#include <cmath>

namespace quorvel {

DrawingSurface::DrawingSurface(QSize pixelSize, VbColor backColor, VbColor foreColor)
    : m_raster(pixelSize, resolveColor(backColor))
    , m_backColor(backColor)
    , m_foreColor(foreColor)
{
    record(Shape::Clear, resolveColor(m_backColor), {});
    Scale(0.0f, 0.0f, 1.0f, 1.0f);
}

void DrawingSurface::record(Shape shape, QRgb rgb, std::initializer_list<QPointF> points)
{
    m_operations.push_back({shape, m_mode == DrawMode::XorPen, rgb, std::uint32_t(m_points.size()),
                            std::uint32_t(points.size())});
    m_points.insert(m_points.end(), points);
}

void DrawingSurface::Cls()
{
    const QRgb rgb = resolveColor(m_backColor);
    m_raster.clear(rgb);
    // Nothing drawn before shows any more: only the scale carries over.
    m_operations.clear();
    m_points.clear();
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
    m_raster.line(toPixel(QPointF(x1, y1)), toPixel(QPointF(x2, y2)), rgb, m_mode == DrawMode::XorPen);
    record(Shape::Line, rgb, {QPointF(x1, y1), QPointF(x2, y2)});
    m_current = QPointF(x2, y2);
}

void DrawingSurface::LineBoxFilled(float x1, float y1, float x2, float y2, VbColor color)
{
    const QRgb rgb = resolveColor(color);
    const QPoint a = toPixel(QPointF(x1, y1));
    const QPoint b = toPixel(QPointF(x2, y2));
    m_raster.box(std::min(a.x(), b.x()), std::max(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.y(), b.y()),
                 rgb, m_mode == DrawMode::XorPen);
    record(Shape::Box, rgb, {QPointF(x1, y1), QPointF(x2, y2)});
    m_current = QPointF(x2, y2);
}

void DrawingSurface::LineTo(float x, float y, VbColor color)
{
    const QRgb rgb = resolveColor(color);
    m_raster.line(toPixel(m_current), toPixel(QPointF(x, y)), rgb, m_mode == DrawMode::XorPen);
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
        m_raster.line(from, to, rgb, exclusiveOr);
        from = to;
    }
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
    m_raster.plot(toPixel(QPointF(x, y)), rgb, m_mode == DrawMode::XorPen);
    record(Shape::Point, rgb, {QPointF(x, y)});
    m_current = QPointF(x, y);
}

} // namespace quorvel
