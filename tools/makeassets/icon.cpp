// SPDX-License-Identifier: GPL-3.0-or-later
#include "pictures.h"

#include "chart/chart.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace makeassets {
namespace {


// A small chart: the three cycles' curves in their chart colours over the
// chart's black ground and grey zero line, in a rounded frame of the panel's
// green. The layout is a 16-unit square. Each size is drawn at its own
// resolution, with frame, rim and straight lines on whole pixels; the
// 16-pixel one is set pixel by pixel, without smoothing. The same layout is
// also written as an SVG picture for every other size.

const QColor IconRim = colorOf(quorvel::LightGreen);
const QColor IconGrid = colorOf(quorvel::GridColor);
const QColor IconZeroLine = colorOf(quorvel::ZeroLineColor);
constexpr double IconCentre = 8;
constexpr double IconAmplitude = 5;
constexpr double IconCurveWidth = 0.8;
constexpr double IconCornerRadius = 3;
// Day lines of the chart behind the curves, on the sizes with room for them.
const double IconGridLines[] = {3, 5, 7, 9, 11, 13};
constexpr int IconGridSize = 64;

struct IconCurve {
    QColor colour;
    double period;
    double phase;
};

// Physical, emotional and intellectual, in the order the chart draws them;
// their periods keep the proportion of the cycles' 23, 28 and 33 days.
const IconCurve IconCurves[] = {
    {colorOf(quorvel::PhysicalColor), 13.8, -2.07},
    {colorOf(quorvel::EmotionalColor), 16.8, 0.15},
    {colorOf(quorvel::IntellectualColor), 19.8, 2.17},
};

double iconCurveY(const IconCurve &curve, double x)
{
    return IconCentre - IconAmplitude * std::sin(2 * std::numbers::pi * x / curve.period + curve.phase);
}

// 16 pixels: a one-pixel green frame with cut corners around a black
// ground; each curve is one pixel wide, every column joined to the next.
// A zero line would only cut the three curves into pieces at this size.
QImage makeSmallIcon()
{
    constexpr int size = 16;
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const bool edgeX = x == 0 || x == size - 1;
            const bool edgeY = y == 0 || y == size - 1;
            if (!(edgeX && edgeY))
                image.setPixelColor(x, y, edgeX || edgeY ? PanelGreen : QColor(Qt::black));
        }
    }
    for (const IconCurve &curve : IconCurves) {
        int previous = -1;
        for (int x = 1; x < size - 1; ++x) {
            const int row = std::clamp(int(std::floor(iconCurveY(curve, x + 0.5))), 1, size - 2);
            int from = row;
            int to = row;
            if (previous >= 0 && previous < row)
                from = previous + 1;
            else if (previous > row)
                to = previous - 1;
            for (int y = from; y <= to; ++y)
                image.setPixelColor(x, y, curve.colour);
            previous = row;
        }
    }
    return image;
}

} // namespace

QImage makeIcon(int size)
{
    if (size == 16)
        return makeSmallIcon();
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const double u = size / 16.0;
    // The green frame and the light rim inside it, in whole pixels, so the
    // edges of the chart area stay sharp.
    const double frame = std::max(1.0, std::round(u));
    const double rim = size >= 32 ? std::max(1.0, std::round(u / 4)) : 0.0;
    const auto rounded = [size](double inset, double radius) {
        QPainterPath path;
        path.addRoundedRect(QRectF(inset, inset, size - 2 * inset, size - 2 * inset), radius, radius);
        return path;
    };
    const double radius = IconCornerRadius * u;
    const QPainterPath ground = rounded(frame + rim, radius - frame - rim);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(rounded(0, radius), PanelGreen);
    if (rim > 0)
        painter.fillPath(rounded(frame, radius - frame), IconRim);
    painter.fillPath(ground, Qt::black);

    painter.setClipPath(ground);
    if (size >= IconGridSize) {
        const double width = std::max(1.0, std::round(u / 8));
        for (const double x : IconGridLines)
            painter.fillRect(QRectF(std::round(x * u - width / 2), 0, width, size), IconGrid);
    }
    const double zeroWidth = std::max(1.0, std::round(u / 4));
    painter.fillRect(QRectF(0, std::round(IconCentre * u - zeroWidth / 2), size, zeroWidth), IconZeroLine);

    const double width = std::max(1.5, IconCurveWidth * u);
    for (const IconCurve &curve : IconCurves) {
        QPolygonF line;
        for (int x = 0; x <= size; ++x)
            line << QPointF(x, u * iconCurveY(curve, x / u));
        painter.setPen(QPen(curve.colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(line);
    }
    return image;
}

// The same layout as an SVG picture, in units of the 16-unit square.
QByteArray makeIconSvg()
{
    const auto n = [](double v) { return QString::number(v, 'g', 5); };
    const auto hex = [](const QColor &c) { return c.name(QColor::HexRgb); };
    const double rim = 0.25;
    const double inset = 1 + rim;
    QString svg;
    svg += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
                          "viewBox=\"0 0 16 16\">\n");
    svg += QStringLiteral("  <title>Quorvel</title>\n");
    svg += QStringLiteral("  <defs><clipPath id=\"ground\"><rect x=\"%1\" y=\"%1\" width=\"%2\" height=\"%2\" "
                          "rx=\"%3\"/></clipPath></defs>\n")
               .arg(n(inset), n(16 - 2 * inset), n(IconCornerRadius - inset));
    svg += QStringLiteral("  <rect width=\"16\" height=\"16\" rx=\"%1\" fill=\"%2\"/>\n")
               .arg(n(IconCornerRadius), hex(PanelGreen));
    svg += QStringLiteral("  <rect x=\"1\" y=\"1\" width=\"14\" height=\"14\" rx=\"%1\" fill=\"%2\"/>\n")
               .arg(n(IconCornerRadius - 1), hex(IconRim));
    svg += QStringLiteral("  <rect x=\"%1\" y=\"%1\" width=\"%2\" height=\"%2\" rx=\"%3\" fill=\"#000000\"/>\n")
               .arg(n(inset), n(16 - 2 * inset), n(IconCornerRadius - inset));
    svg += QStringLiteral("  <g clip-path=\"url(#ground)\" fill=\"none\" stroke-linecap=\"round\" "
                          "stroke-linejoin=\"round\">\n");
    for (const double x : IconGridLines)
        svg += QStringLiteral("    <path d=\"M%1 0V16\" stroke=\"%2\" stroke-width=\"0.125\"/>\n")
                   .arg(n(x), hex(IconGrid));
    svg += QStringLiteral("    <path d=\"M0 %1H16\" stroke=\"%2\" stroke-width=\"0.25\"/>\n")
               .arg(n(IconCentre), hex(IconZeroLine));
    for (const IconCurve &curve : IconCurves) {
        QStringList points;
        for (int i = 0; i <= 64; ++i)
            points << n(i / 4.0) + QLatin1Char(',') + n(iconCurveY(curve, i / 4.0));
        svg += QStringLiteral("    <polyline points=\"%1\" stroke=\"%2\" stroke-width=\"%3\"/>\n")
                   .arg(points.join(QLatin1Char(' ')), hex(curve.colour), n(IconCurveWidth));
    }
    svg += QStringLiteral("  </g>\n</svg>\n");
    return svg.toUtf8();
}

} // namespace makeassets
