// SPDX-License-Identifier: GPL-3.0-or-later
#include "exports/chartexports.h"

#include "platform/drawing/fonts.h"
#include "platform/drawing/geometry.h"

#include <QBuffer>
#include <QHash>
#include <QImageWriter>
#include <QPainter>
#include <QSvgGenerator>

namespace quorvel {
namespace {

// The legend's band under the chart in the SVG.
constexpr double LegendHeight = 24;

QColor colorOf(VbColor color) { return QColor::fromRgb(resolveColor(color)); }

QPointF pixelsOf(QPoint twips) { return QPointF(twipsToPixels(twips.x()), twipsToPixels(twips.y())); }

} // namespace

QImage chartImage(const DrawingSurface &surface, int scale)
{
    if (scale == 1)
        return surface.image();
    QImage image(surface.size() * scale, QImage::Format_RGB32);
    if (image.isNull())
        return image; // too large to hold
    QPainter painter(&image);
    painter.scale(scale, scale);
    surface.paint(painter, QSizeF(surface.size()));
    painter.end();
    return image;
}

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

void paintLegend(QPainter &painter, QPointF origin, double height, const QColor &textColor)
{
    painter.save();
    const double swatch = height * 0.5;
    const double step = height * 3;
    for (std::size_t i = 0; i < Curves.size(); ++i) {
        const QPointF left = origin + QPointF(step * double(i), 0);
        painter.fillRect(QRectF(left + QPointF(0, (height - swatch) / 2), QSizeF(swatch * 4 / 3, swatch)),
                         colorOf(Curves[i].color));
        painter.setPen(textColor);
        painter.drawText(QRectF(left + QPointF(swatch * 4 / 3 + height * 0.25, 0), QSizeF(step, height)),
                         Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf16(Curves[i].name));
    }
    painter.restore();
}

QByteArray chartSvg(const DrawingSurface &surface, const DrawnChart &chart, int scale)
{
    const QSizeF size(surface.size());
    const QRectF whole(0, 0, size.width(), size.height() + LegendHeight);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize((whole.size() * scale).toSize());
    svg.setViewBox(whole);
    svg.setTitle(ChartTitle);

    QPainter painter;
    if (!painter.begin(&svg))
        return {};
    painter.fillRect(whole, colorOf(SystemMenuText));
    surface.paint(painter, size);
    painter.setFont(drawnProgramFont());
    const auto label = [&](QPointF position, VbColor color, const QString &text) {
        painter.setPen(colorOf(color));
        painter.drawText(QRectF(position, QSizeF(size.width() - position.x(), FontPixelSize * 1.5)),
                         Qt::AlignLeft | Qt::AlignTop, text);
    };
    label(pixelsOf(StartLabelTwips), StartLabelColor, chart.startLabel);
    label(pixelsOf(SpanLabelTwips), SpanLabelColor, chart.spanLabel);
    paintLegend(painter, QPointF(8, size.height()), LegendHeight, Qt::white);
    if (!painter.end())
        return {};
    return bytes;
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
    if (format == ChartFormat::Svg)
        return chartSvg(surface, chart, scale);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const bool painted = format == ChartFormat::Png ? writePng(chartImage(surface, scale), &buffer)
                                                    : writeChartPdf(&buffer, surface, chart, made);
    return painted ? bytes : QByteArray();
}

} // namespace quorvel
