// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/drawing/raster.h"

#include "platform/drawing/pixelgrid.h"

#include <algorithm>
#include <cstdlib>

namespace quorvel {
namespace {

// The image's pixels for one drawing operation in one colour; taking them
// detaches the image from any copy of it held elsewhere.
struct Pixels {
    QRgb *bits;
    qsizetype stride;
    int width;
    int height;
    QRgb colour;
    bool exclusiveOr;

    Pixels(QImage &image, QRgb rgb, bool exclusiveOr)
        : bits(reinterpret_cast<QRgb *>(image.bits()))
        , stride(image.bytesPerLine() / qsizetype(sizeof(QRgb)))
        , width(image.width())
        , height(image.height())
        , colour(exclusiveOr ? rgb & 0x00FFFFFFu : rgb)
        , exclusiveOr(exclusiveOr)
    {
    }

    // The copy pen puts the colour; exclusive or combines it with the pixel.
    void put(QRgb &pixel) const { pixel = exclusiveOr ? pixel ^ colour : colour; }
    void plot(int x, int y) const
    {
        if (x >= 0 && y >= 0 && x < width && y < height)
            put(bits[y * stride + x]);
    }
};

} // namespace

RasterImage::RasterImage(QSize size, QRgb fill)
    : m_image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32)
{
    m_image.fill(fill);
}

void RasterImage::line(QPoint from, QPoint to, QRgb rgb, bool exclusiveOr)
{
    if (from == to)
        return;
    // A line along an axis covers the box of its pixels.
    if (from.x() == to.x()) {
        const PixelRun rows = stepsUpTo(from.y(), to.y());
        box(from.x(), from.x() + 1, rows.first, rows.end, rgb, exclusiveOr);
        return;
    }
    if (from.y() == to.y()) {
        const PixelRun columns = stepsUpTo(from.x(), to.x());
        box(columns.first, columns.end, from.y(), from.y() + 1, rgb, exclusiveOr);
        return;
    }
    const Pixels pixels(m_image, rgb, exclusiveOr);
    int x = from.x();
    int y = from.y();
    const int dx = std::abs(to.x() - x);
    const int dy = std::abs(to.y() - y);
    const int stepX = to.x() > x ? 1 : -1;
    const int stepY = to.y() > y ? 1 : -1;
    // One pixel a step along the longer axis, and one across it whenever
    // the error term says so.
    const bool flat = dx >= dy;
    int &along = flat ? x : y;
    int &across = flat ? y : x;
    const int stepAlong = flat ? stepX : stepY;
    const int stepAcross = flat ? stepY : stepX;
    const int major = flat ? dx : dy;
    const int minor = flat ? dy : dx;
    int error = 2 * minor - major;
    for (int i = 0; i < major; ++i) {
        pixels.plot(x, y);
        if (error > 0) {
            across += stepAcross;
            error -= 2 * major;
        }
        error += 2 * minor;
        along += stepAlong;
    }
}

void RasterImage::box(int x1, int x2, int y1, int y2, QRgb rgb, bool exclusiveOr)
{
    x1 = std::max(x1, 0);
    x2 = std::min(x2, width());
    y1 = std::max(y1, 0);
    y2 = std::min(y2, height());
    if (x1 >= x2 || y1 >= y2)
        return;
    const Pixels pixels(m_image, rgb, exclusiveOr);
    for (int y = y1; y < y2; ++y) {
        QRgb *row = pixels.bits + y * pixels.stride;
        for (int x = x1; x < x2; ++x)
            pixels.put(row[x]);
    }
}

void RasterImage::plot(QPoint pixel, QRgb rgb, bool exclusiveOr)
{
    Pixels(m_image, rgb, exclusiveOr).plot(pixel.x(), pixel.y());
}

} // namespace quorvel
