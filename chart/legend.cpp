// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/legend.h"

#include "chart/chart.h"

#include <QFontMetrics>
#include <QPainter>

namespace quorvel {
namespace {

// Where each curve's swatch begins.
constexpr int SwatchLefts[] = {4, 52, 99, 146};
constexpr QSize SwatchSize(9, 17);
constexpr int WordGap = 3;
constexpr int WordWidth = 36; // three characters

} // namespace

int paintLegendEntry(QPainter &painter, QPoint origin, const QColor &fill, const QColor &ink, const QString &word)
{
    const QRect swatch(origin + QPoint(0, (LegendSize.height() - SwatchSize.height()) / 2), SwatchSize);
    painter.fillRect(swatch, ink);
    painter.fillRect(swatch.adjusted(1, 1, -1, -1), fill);
    const int left = swatch.right() + 1 + WordGap;
    const int width = std::max(WordWidth, painter.fontMetrics().horizontalAdvance(word));
    painter.setPen(ink);
    painter.drawText(QRect(left, origin.y(), width, LegendSize.height()), Qt::AlignLeft | Qt::AlignVCenter, word);
    return left + painter.fontMetrics().horizontalAdvance(word);
}

void paintLegend(QPainter &painter, QPoint origin, const QColor &ink, Palette palette)
{
    painter.save();
    for (std::size_t i = 0; i < Curves.size(); ++i) {
        const VbColor color = palette == Palette::Paper ? Curves[i].paperColor : Curves[i].color;
        paintLegendEntry(painter, origin + QPoint(SwatchLefts[i], 0), colorOf(color), ink,
                         QString::fromUtf16(Curves[i].name));
    }
    painter.restore();
}

} // namespace quorvel
