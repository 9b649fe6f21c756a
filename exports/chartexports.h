// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chart/chart.h"
#include "chart/drawnchart.h"
#include "platform/dates/datetime.h"
#include "platform/drawing/surface.h"

#include <QByteArray>
#include <QImage>
#include <QPageLayout>
#include <QRectF>

#include <optional>
#include <vector>

class QIODevice;
class QPainter;

// What a person keeps of a chart, made from the chart as drawn (its drawing
// on the surface, and what it shows): its picture at any size (PNG), the
// chart with its span labels and legend as SVG, the chart sheet (one page
// for a printer, a PDF file or a preview), and the critical days as an
// iCalendar file. The window and quorvel-chart write the same files from the
// same chart, so none of them can show another chart than the one drawn.

namespace quorvel {

// The title of the chart's files and of its printed sheet.
inline const QString ChartTitle = QStringLiteral("Quorvel生物节律图");

// The chart's picture: the chart area as the window shows it, its drawing
// with the two span labels on it, and under it a strip with the legend of
// the curves, `scale` times as wide and high. At scale 1 the drawing is the
// surface's own image, at a finer scale its drawing replayed.
inline constexpr int LegendStripHeight = 25;
QSize chartPictureSize(const DrawingSurface &surface); // at scale 1
QImage chartImage(const DrawingSurface &surface, const DrawnChart &chart, int scale);

// The chart sheet, for paper: a title, the birth and query dates, the span's
// first and last dates and its number of days; the chart in paper colours
// (paintPaperChart) as wide as the page, the query day marked above it, a
// value axis beside it and a date axis under it; the legend; the values of
// the day the query bar marks, as the readout shows them there, and the
// span's critical days; and in small print the date it was made. A chart of
// which only the frame is drawn has a sheet that says so and shows no span,
// no values and no critical days. Painted into `area` of the painter's
// logical coordinates, scaled to fit.
void paintChartSheet(QPainter &painter, QRectF area, const DrawingSurface &surface, const DrawnChart &chart,
                     Date made);

// The chart on paper, in `area` of the painter's coordinates, which hold
// `unitsPerMm` to a millimetre: a white ground, a dark day grid whose lines
// lie at least 1.5 mm apart (every day where they can, else every Monday,
// else every first of a month), the drawing replayed in the paper's colours
// (paperColor), and a dark frame.
void paintPaperChart(QPainter &painter, QRectF area, double unitsPerMm, const DrawingSurface &surface,
                     const DrawnChart &chart);

// A4 landscape, the sheet's page unless a printer has its own.
QPageLayout chartSheetPageLayout();

// The sheet as a one-page PDF, its fonts embedded. False when it could not
// be painted; a failed write shows on the device.
bool writeChartPdf(QIODevice *device, const DrawingSurface &surface, const DrawnChart &chart, Date made);

// The files a chart is saved as, named by their suffix.
enum class ChartFormat { Png, Svg, Pdf };
// The format of a suffix, "png", "svg" or "pdf" in any case; none for any other.
std::optional<ChartFormat> chartFormat(const QString &suffix);

// The chart's file in a format, made whole in memory: the PNG `scale` times
// the surface's size, the SVG displayed at that scale, or the sheet as a PDF
// made on `made`. Empty when it could not be made (no such file is empty).
QByteArray chartFile(ChartFormat format, const DrawingSurface &surface, const DrawnChart &chart, int scale,
                     Date made);

// The critical days, as day offsets, of a person born on birthDate, as an
// iCalendar file (RFC 5545): one all-day event a day, a start and a
// duration of one day (so that the last representable day, which has no
// next one to end on, is kept too), whose UID follows from the birth date
// and the day, so that a calendar imports a second export over the first.
// The date made gives the events' time stamp, so the same arguments give
// the same bytes.
QByteArray criticalDaysCalendar(Date birthDate, const std::vector<int> &criticalDays, Date made);

} // namespace quorvel
