// SPDX-License-Identifier: GPL-3.0-or-later
#include "pictures.h"

#include "chart/legend.h"
#include "platform/drawing/fonts.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>

// The panel behind the analysis window, and the legend of the four curves
// (the chart's own, chart/legend.h), painted on the panel's green.

namespace makeassets {
namespace {

const QColor PanelEdge(73, 105, 53);
constexpr int ShadowWidth = 10;


// The shade of a device pixel `distance` device pixels in from the nearest
// edge, with a shadow `width` device pixels wide; integer arithmetic so the
// steps come out the same everywhere.
QColor panelShade(int distance, int width)
{
    if (distance >= width)
        return PanelGreen;
    const auto mix = [distance, width](int edge, int flat) {
        return edge + ((flat - edge) * distance + width / 2) / width;
    };
    return QColor(mix(PanelEdge.red(), PanelGreen.red()), mix(PanelEdge.green(), PanelGreen.green()),
                  mix(PanelEdge.blue(), PanelGreen.blue()));
}

QImage plainPanel(int width, int height, int scale)
{
    QImage image = trueColourImage(width, height, PanelGreen, scale);
    const int shadow = ShadowWidth * scale;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int distance = std::min({x, y, image.width() - 1 - x, image.height() - 1 - y});
            if (distance < shadow)
                image.setPixelColor(x, y, panelShade(distance, shadow));
        }
    }
    return image;
}

const QRect TitleBand(QPoint(37, 31), QPoint(406, 60));

// The title's outline. The Song face has no bold italics and only
// fixed-width Latin letters, so the Latin part is set in a true bold italic
// serif and the Chinese characters are thickened, slanted and set a little
// apart to match its weight and rhythm.
QPainterPath titleGlyphs(const QString &text, int pixelSize)
{
    QFont latin(QStringLiteral("DejaVu Serif"));
    latin.setPixelSize(pixelSize);
    latin.setBold(true);
    latin.setItalic(true);
    QFont song(quorvel::programFontFamily());
    song.setPixelSize(pixelSize);
    // Slant about the baseline, so the glyphs keep their horizontal place.
    const QTransform slant = QTransform().shear(-0.2, 0);
    QPainterPathStroker thicken;
    thicken.setWidth(1.2);
    thicken.setJoinStyle(Qt::RoundJoin);

    QPainterPath path;
    qreal x = 0;
    for (const QChar ch : text) {
        const bool isLatin = ch.unicode() < 0x80;
        if (!isLatin)
            x += pixelSize / 6.0;
        QPainterPath glyph;
        glyph.addText(0, 0, isLatin ? latin : song, QString(ch));
        if (!isLatin)
            glyph = slant.map(glyph.united(thicken.createStroke(glyph)));
        path.addPath(glyph.translated(x, 0));
        x += QFontMetricsF(isLatin ? latin : song).horizontalAdvance(ch);
    }
    return path.simplified();
}

// Embossed gold: a light copy up-left and a dark copy down-right under the
// gold face, which has a dark outline of its own.
void paintEmbossed(QPainter &painter, const QPainterPath &shape)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(246, 238, 176));
    painter.drawPath(shape.translated(-1, -1));
    painter.setBrush(QColor(34, 44, 14));
    painter.drawPath(shape.translated(1.5, 1.5));

    const QRectF face = shape.boundingRect();
    QLinearGradient gold(face.topLeft(), face.bottomLeft());
    gold.setColorAt(0.0, QColor(240, 220, 120));
    gold.setColorAt(0.45, QColor(206, 174, 58));
    gold.setColorAt(1.0, QColor(138, 122, 30));
    painter.setBrush(gold);
    painter.setPen(QPen(QColor(52, 44, 6), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(shape);
}

} // namespace

QImage makePanel(int scale)
{
    QImage image = plainPanel(799, 598, scale);
    const QImage plain = image;

    const QPainterPath glyphs = titleGlyphs(QStringLiteral("Quorvel分析器"), 25);

    // Bullets, gaps and title centred as one row in the band; the outline and
    // the emboss reach two pixels beyond the glyphs' own box.
    const qreal radius = 6;
    const qreal gap = 14;
    const QRectF box = glyphs.boundingRect();
    const qreal rowWidth = 2 * (2 * radius + gap) + box.width();
    const qreal left = TitleBand.left() + (TitleBand.width() - rowWidth) / 2;
    const qreal centreY = TitleBand.top() + TitleBand.height() / 2.0;
    const QPainterPath text =
        glyphs.translated(left + 2 * radius + gap - box.left(), centreY - box.center().y());

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paintEmbossed(painter, text);
    for (const qreal x : {left + radius, left + rowWidth - radius}) {
        QPainterPath dot;
        dot.addEllipse(QPointF(x, centreY), radius, radius);
        paintEmbossed(painter, dot);
    }
    painter.end();

    // The band as the device pixels that cover it.
    const QRect band(TitleBand.topLeft() * scale, TitleBand.size() * scale);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!band.contains(x, y) && image.pixel(x, y) != plain.pixel(x, y))
                fail(QStringLiteral("the title reaches outside its band at %1,%2").arg(x).arg(y));
    return image;
}


QImage makeLegend(int scale)
{
    QImage image = trueColourImage(quorvel::LegendSize.width(), quorvel::LegendSize.height(), PanelGreen, scale);
    QPainter painter(&image);
    painter.setFont(quorvel::programFont());
    quorvel::paintLegend(painter, QPoint(0, 0), Qt::black);
    return image;
}

} // namespace makeassets
