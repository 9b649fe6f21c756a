// SPDX-License-Identifier: GPL-3.0-or-later
#include "exports/chartexports.h"

#include "chart/legend.h"
#include "platform/drawing/fonts.h"

#include <QPainter>
#include <QPdfWriter>

// The chart sheet is laid out in tenths of a millimetre on the printable area
// of an A4 page in landscape, and scaled as a whole to the area it is given:
// another printer's page takes the same sheet, larger or smaller. Fonts are
// sized in the same units, whatever the device's resolution.

namespace quorvel {
namespace {

constexpr double Mm = 10; // layout units to a millimetre
constexpr double Margin = 12; // millimetres
constexpr QSizeF SheetSize(273 * Mm, 186 * Mm); // A4 landscape inside the margins
constexpr double ChartWidth = 190 * Mm;
constexpr double ColumnLeft = 200 * Mm;

// The program's face, `height` millimetres high, smoothed and unhinted: the
// sheet is seen on paper and in previews, not on the window's pixel grid.
QFont sheetFont(double height)
{
    QFont font = drawnProgramFont();
    font.setPixelSize(int(height * Mm));
    font.setStyleStrategy(QFont::PreferAntialias);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

} // namespace

void paintChartSheet(QPainter &painter, QRectF area, const DrawingSurface &surface, const DrawnChart &chart,
                     Date made)
{
    painter.save();
    const double scale = std::min(area.width() / SheetSize.width(), area.height() / SheetSize.height());
    painter.translate(area.topLeft());
    painter.scale(scale, scale);

    const auto text = [&](QRectF where, double height, const QString &words, int flags = Qt::AlignLeft | Qt::AlignTop) {
        painter.setFont(sheetFont(height));
        painter.setPen(Qt::black);
        painter.drawText(where, flags, words);
    };
    text(QRectF(0, 0, SheetSize.width(), 10 * Mm), 7, ChartTitle);
    text(QRectF(0, 12 * Mm, ChartWidth, 6 * Mm), 4,
         QStringLiteral("出生日期：%1　　查询日期：%2").arg(dateText(chart.birthDate), dateText(chart.queryDate)));
    if (!chart.curvesDrawn) {
        text(QRectF(0, 18 * Mm, SheetSize.width(), 6 * Mm), 4,
             QStringLiteral("没有可显示的图表：以 %1 为中心的 %2 天的范围会从出生日期当天或之前开始。")
                 .arg(dateText(chart.queryDate))
                 .arg(chart.span));
        text(QRectF(0, SheetSize.height() - 5 * Mm, SheetSize.width(), 5 * Mm), 2.8,
             QStringLiteral("制作日期：%1").arg(dateText(made)), Qt::AlignLeft | Qt::AlignBottom);
        painter.restore();
        return;
    }
    text(QRectF(0, 18 * Mm, ChartWidth, 6 * Mm), 4,
         QStringLiteral("图表范围：%1 至 %2，共%3天")
             .arg(dateText(chart.birthDate + chart.days.first), dateText(chart.birthDate + chart.days.last))
             .arg(chart.span));

    // The chart in its own pixels, scaled onto the page.
    const QSizeF pixels(surface.size());
    const QRectF chartArea(0, 26 * Mm, ChartWidth, ChartWidth * pixels.height() / pixels.width());
    painter.save();
    painter.translate(chartArea.topLeft());
    painter.scale(chartArea.width() / pixels.width(), chartArea.height() / pixels.height());
    surface.paint(painter, pixels);
    painter.restore();
    painter.save();
    painter.translate(0, chartArea.bottom() + 2 * Mm);
    painter.scale(6 * Mm / LegendSize.height(), 6 * Mm / LegendSize.height());
    QFont legendFont = sheetFont(1);
    legendFont.setPixelSize(FontPixelSize);
    painter.setFont(legendFont);
    paintLegend(painter, QPoint(0, 0), Qt::black);
    painter.restore();

    // The query day, as the readout shows it under the pointer there.
    double y = chartArea.top();
    text(QRectF(ColumnLeft, y, SheetSize.width() - ColumnLeft, 6 * Mm), 4.5,
         QStringLiteral("查询日 %1").arg(dateText(chart.queryDate)));
    y += 8 * Mm;
    if (chart.queryDay) {
        for (const QString &value : readoutAt(chart.birthDate, *chart.queryDay + 0.5).values) {
            text(QRectF(ColumnLeft + 4 * Mm, y, SheetSize.width() - ColumnLeft, 6 * Mm), 4, value);
            y += 6 * Mm;
        }
    }
    y += 6 * Mm;
    text(QRectF(ColumnLeft, y, SheetSize.width() - ColumnLeft, 6 * Mm), 4.5, QStringLiteral("临界日"));
    y += 8 * Mm;
    if (chart.criticalDays.empty())
        text(QRectF(ColumnLeft + 4 * Mm, y, SheetSize.width() - ColumnLeft, 6 * Mm), 4, QStringLiteral("无临界日"));
    for (const int day : chart.criticalDays) {
        text(QRectF(ColumnLeft + 4 * Mm, y, SheetSize.width() - ColumnLeft, 6 * Mm), 4, dateText(chart.birthDate + day));
        y += 6 * Mm;
    }

    text(QRectF(0, SheetSize.height() - 5 * Mm, SheetSize.width(), 5 * Mm), 2.8,
         QStringLiteral("制作日期：%1").arg(dateText(made)), Qt::AlignLeft | Qt::AlignBottom);
    painter.restore();
}

QPageLayout chartSheetPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(Margin, Margin, Margin, Margin),
                       QPageLayout::Millimeter);
}

bool writeChartPdf(QIODevice *device, const DrawingSurface &surface, const DrawnChart &chart, Date made)
{
    QPdfWriter pdf(device);
    pdf.setPageLayout(chartSheetPageLayout());
    pdf.setTitle(ChartTitle);
    pdf.setCreator(QStringLiteral("Quorvel"));
    QPainter painter;
    if (!painter.begin(&pdf))
        return false;
    paintChartSheet(painter, QRectF(QPointF(), pdf.pageLayout().paintRectPixels(pdf.resolution()).size()), surface,
                    chart, made);
    return painter.end();
}

} // namespace quorvel
