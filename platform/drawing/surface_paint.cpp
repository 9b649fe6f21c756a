// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/drawing/surface.h"

#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>

// The surface's operations replayed through a painter: the chart at any
// size, on a screen of any density, on paper and in vector files.

namespace quorvel {
namespace {

// Device pixels per logical unit along each axis, and the logical rectangle
// of a range of whole device pixels.
struct Device {
    double dx;
    double dy;
    // A line one logical pixel wide covers this many whole device pixels.
    int lineX;
    int lineY;

    explicit Device(const QTransform &toDevice)
        : dx(std::hypot(toDevice.m11(), toDevice.m12()))
        , dy(std::hypot(toDevice.m21(), toDevice.m22()))
        , lineX(std::max(1, int(std::lround(dx))))
        , lineY(std::max(1, int(std::lround(dy))))
    {
    }

    // The device pixels x1 <= x < x2, y1 <= y < y2.
    QRectF pixels(int x1, int x2, int y1, int y2) const
    {
        return QRectF(QPointF(x1 / dx, y1 / dy), QPointF(x2 / dx, y2 / dy));
    }
    // The middle of a line that covers a pixel-wide run of device pixels
    // from `pixel` on: the pixel's centre, or its far edge where a logical
    // pixel is two device pixels, so that a straight stroke fills whole
    // device pixels, as a line along an axis does.
    QPointF lineCentre(QPoint pixel) const
    {
        return QPointF((pixel.x() + lineX / 2.0) / dx, (pixel.y() + lineY / 2.0) / dy);
    }
};

} // namespace

void DrawingSurface::paint(QPainter &painter, QSizeF size, const Restyle &restyle) const
{
    const Device device(painter.deviceTransform());
    if (!(device.dx > 0.0 && device.dy > 0.0))
        return;
    const QSizeF devicePixels(size.width() * device.dx, size.height() * device.dy);
    // A raster device smooths the curves; a stroke at a time would cost
    // over ten times as much there, so they go as separate segments, square
    // caps closing the joins. A vector device keeps each curve one line.
    const bool raster = painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster;

    painter.save();
    painter.setClipRect(QRectF(QPointF(), size), Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(Qt::black, device.lineX / device.dx, Qt::SolidLine, raster ? Qt::SquareCap : Qt::RoundCap,
             Qt::RoundJoin);
    QPen dottedPen = pen;
    dottedPen.setCapStyle(Qt::FlatCap);
    dottedPen.setDashPattern({1.0, 1.0});
    PixelGrid grid;
    QList<QLineF> segments;
    QPolygonF polyline;

    // A line along an axis covers the box of its pixels, as on the image;
    // false for any other line.
    const auto alongAxis = [&](QPoint from, QPoint to, const QColor &color) {
        if (from.x() == to.x() && from.y() != to.y()) {
            const PixelRun rows = stepsUpTo(from.y(), to.y());
            painter.fillRect(device.pixels(from.x(), from.x() + device.lineX, rows.first, rows.end), color);
        } else if (from.y() == to.y() && from.x() != to.x()) {
            const PixelRun columns = stepsUpTo(from.x(), to.x());
            painter.fillRect(device.pixels(columns.first, columns.end, from.y(), from.y() + device.lineY), color);
        } else {
            return false;
        }
        return true;
    };
    const auto markOf = [](Shape shape) {
        switch (shape) {
        case Shape::Clear: return Mark::Ground;
        case Shape::Box: return Mark::Box;
        case Shape::Point: return Mark::Point;
        default: return Mark::Line;
        }
    };
    for (const Operation &operation : m_operations) {
        const QPointF *points = m_points.data() + operation.first;
        QRgb rgb = operation.rgb;
        if (restyle && operation.shape != Shape::Scale) {
            const std::optional<QRgb> styled = restyle(markOf(operation.shape), rgb);
            if (!styled)
                continue;
            rgb = *styled;
        }
        const QColor color = QColor::fromRgb(rgb);
        painter.setCompositionMode(operation.exclusiveOr ? QPainter::RasterOp_SourceXorDestination
                                                         : QPainter::CompositionMode_SourceOver);
        switch (operation.shape) {
        case Shape::Clear:
            painter.fillRect(QRectF(QPointF(), size), color);
            break;
        case Shape::Scale:
            grid = PixelGrid(points[0], points[1], devicePixels);
            break;
        case Shape::Box: {
            const QPoint a = grid.toPixel(points[0]);
            const QPoint b = grid.toPixel(points[1]);
            painter.fillRect(device.pixels(std::min(a.x(), b.x()), std::max(a.x(), b.x()), std::min(a.y(), b.y()),
                                           std::max(a.y(), b.y())),
                             color);
            break;
        }
        case Shape::Point: {
            const QPoint p = grid.toPixel(points[0]);
            painter.fillRect(device.pixels(p.x(), p.x() + device.lineX, p.y(), p.y() + device.lineY), color);
            break;
        }
        case Shape::VerticalLines:
            // Each line as a Line along the axis paints it.
            for (double x = points[0].x(); x <= points[1].x(); x += 1.0)
                alongAxis(grid.toPixel(QPointF(x, points[0].y())), grid.toPixel(QPointF(x, points[1].y())), color);
            break;
        case Shape::Line: {
            const QPoint from = grid.toPixel(points[0]);
            const QPoint to = grid.toPixel(points[1]);
            if (alongAxis(from, to, color) || from == to)
                break;
            [[fallthrough]];
        }
        case Shape::Polyline:
        case Shape::DottedPolyline: {
            const bool dotted = operation.shape == Shape::DottedPolyline;
            QPen &stroke = dotted ? dottedPen : pen;
            stroke.setColor(color);
            painter.setPen(stroke);
            painter.setRenderHint(QPainter::Antialiasing, true);
            polyline.clear();
            for (std::uint32_t i = 0; i < operation.count; ++i)
                polyline.append(device.lineCentre(grid.toPixel(points[i])));
            // The dots run on along a dotted line only when it is one stroke.
            if (raster && !dotted) {
                segments.clear();
                for (qsizetype i = 1; i < polyline.size(); ++i)
                    segments.append(QLineF(polyline[i - 1], polyline[i]));
                painter.drawLines(segments);
            } else {
                painter.drawPolyline(polyline);
            }
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.setPen(Qt::NoPen);
            break;
        }
        }
    }
    painter.restore();
}

} // namespace quorvel
