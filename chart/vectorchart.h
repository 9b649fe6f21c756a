#pragma once

#include "chart/chart.h"
#include "chart/span.h"
#include "platform/dates/datetime.h"

#include <QPolygonF>
#include <QRectF>
#include <QSizeF>
#include <QVector>

#include <array>
#include <optional>

class QPainter;

// The chart as vector shapes, for drawing at any resolution: the same day
// grid, zero line, bars and curves that DrawBackground and DrawPicBack put on
// the pixel surface, in the same colours and drawing order, mapped onto a
// rectangle of logical pixels of any size. Lines are one logical pixel wide
// and lie on the pixel column or row that the surface would fill, so at the
// surface's own size both pictures match line for line.

namespace quorvel {

// What one chart shows. Without both dates only the frame is drawn, as the
// window draws when a date box lacks a valid date.
struct ChartView {
    std::optional<Date> birthDate;
    std::optional<Date> queryDate;
    int position = 0;       // span start in two-day steps
    int span = MinSpan;     // span width in days
    float criticalLevel = 0.2f;
    // The frame (day grid and zero line) combined with the cleared
    // background by exclusive or, as the window's start-up frame is.
    bool exclusiveOrFrame = false;
};

// The curves in drawing order and their colours.
inline constexpr std::array<VbColor, 4> CurveColors{PhysicalColor, EmotionalColor, IntellectualColor,
                                                   CompositeColor};

struct ChartGeometry {
    QSizeF size;
    QVector<double> gridLines; // x of each day line's centre, left to right
    double zeroLine = 0.0;     // y of the zero line's centre
    std::optional<QRectF> queryDayBar;
    QVector<QRectF> criticalDayBars;
    // The days (chart x of each column's left edge) that the bars cover.
    std::optional<double> queryDay;
    QVector<double> criticalDays;
    std::array<QPolygonF, 4> curves; // Physical, Emotional, Intellectual, Composite
};

ChartGeometry chartGeometry(const ChartView &view, QSizeF size);

// Paints the chart, background included, into the rectangle (0, 0) to size of
// the painter's logical coordinates, clipped to it. Scale the painter to draw
// it sharply on a denser device.
void paintChart(QPainter &painter, const ChartGeometry &chart);
void paintChart(QPainter &painter, const ChartView &view, QSizeF size);

// Paints the chart on a raster device of any density (the painter's device
// transform, a scale, says how many device pixels make a logical one): the
// same picture, with the bars' edges and the straight lines put on whole
// device pixels by the drawing surface's rule at that density, so that
// DrawingSurface::toUser(pixel, density) reads out the day whose bar covers
// the pixel. Lines are one logical pixel wide (two device pixels at twice
// the density); the curves are smoothed.
void paintChartOnPixels(QPainter &painter, const ChartView &view, QSizeF size);

} // namespace quorvel
