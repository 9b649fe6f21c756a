// SPDX-License-Identifier: GPL-3.0-or-later
#include "exports/chartexports.h"

#include "chart/legend.h"

#include "platform/drawing/fonts.h"
#include "platform/drawing/geometry.h"

#include <QBuffer>
#include <QHash>
#include <QImageWriter>
#include <QPainter>
#include <QSvgGenerator>

namespace quorvel {
namespace {

QPoint pixelsOf(QPoint twips) { return QPoint(twipsToPixels(twips.x()), twipsToPixels(twips.y())); }

// What the window shows over the chart's drawing, and the legend strip
// under it: the two span labels, and the pair's label where the chart
// compares two people, each in its self-sizing label's box (its text's
// width, one line high) and clipped to it as the window clips it.
void paintLabelsAndLegend(QPainter &painter, QSize chartSize, const DrawnChart &chart)
{
    painter.save();
    painter.setFont(drawnProgramFont());
    struct Shown {
        QPoint twips;
        VbColor color;
        QString text;
    };
    QList<Shown> labels{{StartLabelTwips, StartLabelColor, chart.startLabel},
                        {SpanLabelTwips, SpanLabelColor, chart.spanLabel}};
    if (chart.compared)
        labels.append({ComparisonLabelTwips, ComparisonLabelColor, chart.compared->legendText()});
    for (const auto &label : std::as_const(labels)) {
        const QSize size(std::max(textWidth(label.text), FontPixelSize / 2), FontPixelSize);
        const QRect box(pixelsOf(label.twips), size);
        painter.setClipRect(box);
        painter.setPen(colorOf(label.color));
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop, label.text);
    }
    painter.setClipping(false);
    const QRect strip(0, chartSize.height(), chartSize.width(), LegendStripHeight);
    painter.fillRect(strip, colorOf(SystemMenuText));
    paintLegend(painter, strip.topLeft() + QPoint(4, (LegendStripHeight - LegendSize.height()) / 2), Qt::white);
    painter.restore();
}

// Writes a PNG that reads back pixel for pixel as the image.
bool writePng(const QImage &image, QIODevice *device)
{
    // A chart has few colours: stored with a palette, it encodes several
    // times faster.
    QImage stored = image.convertToFormat(QImage::Format_RGB32);
    QImage indexed(stored.size(), QImage::Format_Indexed8);
    QList<QRgb> palette;
    QHash<QRgb, uchar> index;
    for (int y = 0; y < stored.height() && !indexed.isNull(); ++y) {
        const QRgb *in = reinterpret_cast<const QRgb *>(stored.constScanLine(y));
        uchar *out = indexed.scanLine(y);
        QRgb last = ~in[0];
        uchar lastIndex = 0;
        for (int x = 0; x < stored.width(); ++x) {
            if (in[x] != last) {
                last = in[x];
                auto found = index.constFind(last);
                if (found == index.constEnd()) {
                    if (palette.size() == 256) {
                        indexed = QImage(); // too many colours: stored as they are
                        break;
                    }
                    found = index.insert(last, uchar(palette.size()));
                    palette.append(last);
                }
                lastIndex = *found;
            }
            out[x] = lastIndex;
        }
    }
    if (!indexed.isNull()) {
        indexed.setColorTable(palette);
        stored = indexed;
    }
    QImageWriter writer(device, "PNG");
    writer.setQuality(50); // a moderate deflate level: fast, and small still
    return writer.write(stored);
}

// The picture as SVG, displayed `scale` times its size, the drawing in the
// surface's own pixels; false when it could not be painted.
bool writeSvg(QIODevice *device, const DrawingSurface &surface, const DrawnChart &chart, int scale)
{
    const QRectF whole(QPointF(), chartPictureSize(surface));
    QSvgGenerator svg;
    svg.setOutputDevice(device);
    svg.setSize((whole.size() * scale).toSize());
    svg.setViewBox(whole);
    svg.setTitle(ChartTitle);

    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    surface.paint(painter, QSizeF(surface.size()));
    paintLabelsAndLegend(painter, surface.size(), chart);
    return painter.end();
}

} // namespace

QSize chartPictureSize(const DrawingSurface &surface)
{
    return surface.size() + QSize(0, LegendStripHeight);
}

QImage chartImage(const DrawingSurface &surface, const DrawnChart &chart, int scale)
{
    QImage image(chartPictureSize(surface) * scale, QImage::Format_RGB32);
    if (image.isNull())
        return image; // too large to hold
    QPainter painter(&image);
    painter.scale(scale, scale);
    if (scale == 1)
        painter.drawImage(0, 0, surface.image());
    else
        surface.paint(painter, QSizeF(surface.size()));
    paintLabelsAndLegend(painter, surface.size(), chart);
    painter.end();
    return image;
}

std::optional<ChartFormat> chartFormat(const QString &suffix)
{
    static const QHash<QString, ChartFormat> formats{{QStringLiteral("png"), ChartFormat::Png},
                                                     {QStringLiteral("svg"), ChartFormat::Svg},
                                                     {QStringLiteral("pdf"), ChartFormat::Pdf}};
    const auto found = formats.constFind(suffix.toLower());
    return found == formats.constEnd() ? std::nullopt : std::optional(*found);
}

QByteArray chartFile(ChartFormat format, const DrawingSurface &surface, const DrawnChart &chart, int scale,
                     Date made)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const bool painted = format == ChartFormat::Png ? writePng(chartImage(surface, chart, scale), &buffer)
        : format == ChartFormat::Svg                ? writeSvg(&buffer, surface, chart, scale)
                                                    : writeChartPdf(&buffer, surface, chart, made);
    return painted ? bytes : QByteArray();
}

} // namespace quorvel
