// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QSize>

class QColor;
class QPainter;
class QString;

// The legend of the four curves, as the analysis window shows it beside its
// readout and the chart's pictures and sheet show it under the chart: a row
// 187 x 19 pixels, for each curve a 9 x 17 swatch in the curve's colour,
// outlined in the ink, and after it the curve's word in the ink, in the
// painter's font (the program's, 12 pixels high, for the window's picture).
// A painter scaled to another size gets the same legend at that size.

namespace quorvel {

inline constexpr QSize LegendSize(187, 19);

// The curves' colours on the screen, or on paper (chart.h).
enum class Palette { Screen, Paper };

void paintLegend(QPainter &painter, QPoint origin, const QColor &ink, Palette palette = Palette::Screen);

// One entry of a legend in a row whose top-left corner is `origin`: the
// swatch from origin.x() on, the word after it. Gives the x where the word
// ends.
int paintLegendEntry(QPainter &painter, QPoint origin, const QColor &fill, const QColor &ink, const QString &word);

} // namespace quorvel
