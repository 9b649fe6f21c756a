// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chart/chart.h"
#include "platform/dates/datetime.h"
#include "platform/drawing/surface.h"

#include <QByteArray>
#include <QImage>
#include <QPageLayout>
#include <QRectF>

#include <vector>

class QIODevice;
class QPainter;

// What a person keeps of a chart, made from the chart's own drawing: its
// picture at any size (PNG), the chart with its span labels and legend as
// SVG, the chart sheet (one page for a printer, a PDF file or a preview),
// and the critical days as an iCalendar file. The window and quorvel-chart
// write the same files from the same chart, so none of them can show
// another chart than the one drawn.

namespace quorvel {

// The title of the chart's files and of its printed sheet.
inline const QString ChartTitle = QStringLiteral("Quorvel生物节律图");

// One chart as drawn, and the dates and span it shows.
struct DrawnChart {
    const DrawingSurface &surface; // its drawing since the last Cls
    Date birthDate;                // ChartBirthDate when it was drawn
    Date queryDate;                // ChartQueryDate
    int position;                  // span start in two-day steps
    int span;                      // span width in days
    float criticalLevel;
};

// The chart's picture, `scale` times as wide and high as the surface: the
// surface's own image at scale 1, its drawing replayed at a finer scale.
QImage chartImage(const DrawingSurface &surface, int scale);

// Writes a PNG that reads back pixel for pixel as the image.
bool writePng(const QImage &image, QIODevice *device);

// The chart as SVG, displayed `scale` times its size: the drawing in the
// surface's own pixels, the span labels where the window shows them, and
// the legend under the chart.
QByteArray chartSvg(const DrawnChart &chart, int scale);

// The legend: a swatch in each curve's colour and the curve's name, in a
// row `height` high from its top-left corner `origin`.
void paintLegend(QPainter &painter, QPointF origin, double height, const QColor &textColor);

// The whole day offsets from firstDay to lastDay, both included, that are
// critical days at the level.
std::vector<double> criticalDayOffsets(double firstDay, double lastDay, float level);

// The chart sheet: a title, the birth and query dates, the span's first and
// last dates and its number of days, the chart with its legend, the query
// day's values as the readout shows them, the span's critical days, and in
// small print the date it was made. Painted into `area` of the painter's
// logical coordinates, scaled to fit.
void paintChartSheet(QPainter &painter, QRectF area, const DrawnChart &chart, Date made);

// A4 landscape, the sheet's page unless a printer has its own.
QPageLayout chartSheetPageLayout();

// The sheet as a one-page PDF, its fonts embedded. False when it could not
// be painted; a failed write shows on the device.
bool writeChartPdf(QIODevice *device, const DrawnChart &chart, Date made);

// The critical days among the whole day offsets firstDay..lastDay of a
// person born on birthDate, as an iCalendar file (RFC 5545): one all-day
// event a day, whose UID follows from the birth date and the day, so that a
// calendar imports a second export over the first. The date made gives the
// events' time stamp, so the same arguments give the same bytes.
QByteArray criticalDaysCalendar(Date birthDate, double firstDay, double lastDay, float level, Date made);

} // namespace quorvel
