// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/drawing/colors.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>

// The program's pictures, each painted by a file of its own: the panel
// behind the analysis window and the legend on it (panel.cpp), the guide's
// table (guide.cpp) and the program's icon (icon.cpp).

namespace makeassets {

// Colours are given as the program gives them, 0x00BBGGRR; the chart's own
// come from the chart's definitions.
using quorvel::colorOf;

// The panel's green: behind the analysis window and the legend, and the
// icon's frame.
inline const QColor PanelGreen = colorOf(0x0053A673);

// A picture of width x height pixels, `scale` device pixels to a pixel: a
// painter on it draws in the picture's own pixels.
QImage trueColourImage(int width, int height, const QColor &fill, int scale = 1);

// Reports why a picture cannot be made and ends the program.
[[noreturn]] void fail(const QString &message);

// At `scale` device pixels to a pixel.
QImage makePanel(int scale);  // 799 x 598
QImage makeLegend(int scale); // 187 x 19
QImage makeGuide(int scale);  // 639 x 501

// The icon at one of the icon theme's sizes, and as SVG.
QImage makeIcon(int size);
QByteArray makeIconSvg();

} // namespace makeassets
