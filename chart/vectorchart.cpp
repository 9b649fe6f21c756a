#include "chart/vectorchart.h"

#include "model/biorhythm.h"
#include "platform/dates/conversions.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace quorvel {
namespace {

// Chart coordinates to logical pixels. The surface fills, for a line at a
// point, the first pixel whose centre is not before the point: on average
// half a pixel further on. A one-pixel line is drawn there, half a pixel
// further on, so that at the surface's own size it lies on the pixel column
// or row that the surface fills.
struct Mapping {
    double start;
    double sx;
    double sy;

    double x(double day) const { return (day - start) * sx; }
    double y(double value) const { return (ChartTop - value) * sy; }
};

QColor colorOf(VbColor color) { return QColor::fromRgb(resolveColor(color)); }

} // namespace

ChartGeometry chartGeometry(const ChartView &view, QSizeF size)
{
    ChartGeometry chart;
    chart.size = size;
    const double start = 2.0 * view.position;
    const double end = start + view.span;
    const Mapping map{start, size.width() / (end - start), size.height() / double(ChartTop - ChartBottom)};

    for (double x = start; x <= end; x += 1.0)
        chart.gridLines.append(map.x(x) + 0.5);
    chart.zeroLine = map.y(0.0) + 0.5;

    if (!view.birthDate || !view.queryDate)
        return chart;
    const Date birth = *view.birthDate;
    const Date query = *view.queryDate;

    const auto dayBar = [&](double day) {
        return QRectF(QPointF(map.x(day), 0.0), QPointF(map.x(day + 1.0), size.height()));
    };
    const double first = birth + start;
    if (first <= query && first + view.span > query) {
        if (const auto d = CLng(query - birth)) {
            chart.queryDayBar = dayBar(*d);
            chart.queryDay = *d;
        }
    }
    const std::vector<CycleValues> cycles = halfDayCycles(start, end);
    std::size_t point = 0;
    for (double x = start; x <= end; x += 1.0, point += 2) {
        if (IsCriticalDay(cycles[point], view.criticalLevel)) {
            chart.criticalDayBars.append(dayBar(x));
            chart.criticalDays.append(x);
        }
    }

    // Values go through single precision, as on the surface.
    const auto curve = [&](auto &&value) {
        QPolygonF points;
        points.reserve(qsizetype(cycles.size()));
        std::size_t i = 0;
        for (double x = start; x <= end; x += 0.5, ++i)
            points.append(QPointF(map.x(float(x + 0.5)) + 0.5, map.y(float(value(cycles[i]))) + 0.5));
        return points;
    };
    constexpr std::array values{&CycleValues::physical, &CycleValues::emotional, &CycleValues::intellectual};
    for (std::size_t i = 0; i < values.size(); ++i)
        chart.curves[i] = curve([value = values[i]](const CycleValues &c) { return ValueScale * c.*value; });
    chart.curves[3] = curve([](const CycleValues &c) { return CompositeValue(c); });
    return chart;
}

namespace {

// The device pixels of a raster device `density` times as fine as the
// logical pixels: a logical coordinate falls on the first device pixel
// whose centre is not before it, as on the drawing surface. Coordinates are
// computed as the surface computes them, from the day (or value) and the
// scale times the density, so both round alike.
struct DevicePixels {
    double density;
    double start;
    double sx;
    double sy;
    bool exclusiveOrFrame;

    static double index(double value) { return std::ceil(std::clamp(value, -32767.0, 32767.0) - 0.5); }
    // Logical coordinates of device pixel edges.
    double dayEdge(double day) const { return index((day - start) * (sx * density)) / density; }
    double valueEdge(double value) const { return index((value - ChartTop) * (-sy * density)) / density; }
    double lineWidth() const { return std::max(1.0, std::round(density)) / density; }
};

void paintChart(QPainter &painter, const ChartGeometry &chart, const DevicePixels *pixels)
{
    const QRectF area(QPointF(0.0, 0.0), chart.size);
    painter.save();
    painter.setClipRect(area);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(area, colorOf(SystemMenuText));

    QPen pen(colorOf(GridColor), 1.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    if (pixels) {
        // Whole device pixels: a line covers the first pixels of the day's
        // column, a bar the pixels whose centres lie in its column.
        if (pixels->exclusiveOrFrame)
            painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        const double width = pixels->lineWidth();
        const double start = pixels->start;
        for (qsizetype i = 0; i < chart.gridLines.size(); ++i)
            painter.fillRect(QRectF(pixels->dayEdge(start + double(i)), 0.0, width, chart.size.height()),
                             colorOf(GridColor));
        painter.fillRect(QRectF(0.0, pixels->valueEdge(0.0), chart.size.width(), width), colorOf(ZeroLineColor));
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        const auto bar = [&](double day) {
            return QRectF(QPointF(pixels->dayEdge(day), 0.0), QPointF(pixels->dayEdge(day + 1.0), chart.size.height()));
        };
        if (chart.queryDay)
            painter.fillRect(bar(*chart.queryDay), colorOf(QueryDayColor));
        for (const double day : chart.criticalDays)
            painter.fillRect(bar(day), colorOf(CriticalDayColor));
    } else {
        painter.setPen(pen);
        for (const double x : chart.gridLines)
            painter.drawLine(QPointF(x, 0.0), QPointF(x, chart.size.height()));
        pen.setColor(colorOf(ZeroLineColor));
        painter.setPen(pen);
        painter.drawLine(QPointF(0.0, chart.zeroLine), QPointF(chart.size.width(), chart.zeroLine));

        if (chart.queryDayBar)
            painter.fillRect(*chart.queryDayBar, colorOf(QueryDayColor));
        for (const QRectF &bar : chart.criticalDayBars)
            painter.fillRect(bar, colorOf(CriticalDayColor));
    }

    // Each curve as separate segments: stroking a long polyline as one
    // outline costs over ten times as much. Square caps close the joins.
    painter.setRenderHint(QPainter::Antialiasing, true);
    pen.setCapStyle(Qt::SquareCap);
    QVector<QLineF> segments;
    for (std::size_t i = 0; i < chart.curves.size(); ++i) {
        const QPolygonF &curve = chart.curves[i];
        segments.clear();
        for (qsizetype k = 1; k < curve.size(); ++k)
            segments.append(QLineF(curve[k - 1], curve[k]));
        pen.setColor(colorOf(CurveColors[i]));
        painter.setPen(pen);
        painter.drawLines(segments);
    }
    painter.restore();
}

} // namespace

void paintChart(QPainter &painter, const ChartGeometry &chart)
{
    paintChart(painter, chart, nullptr);
}

void paintChart(QPainter &painter, const ChartView &view, QSizeF size)
{
    paintChart(painter, chartGeometry(view, size));
}

void paintChartOnPixels(QPainter &painter, const ChartView &view, QSizeF size)
{
    const ChartGeometry chart = chartGeometry(view, size);
    const double start = 2.0 * view.position;
    const DevicePixels pixels{std::max(1.0, painter.deviceTransform().m11()), start, size.width() / double(view.span),
                              size.height() / double(ChartTop - ChartBottom), view.exclusiveOrFrame};
    paintChart(painter, chart, &pixels);
}

} // namespace quorvel
