// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/drawing/raster.h"

#include <algorithm>
#include <cstdlib>

namespace quorvel {
namespace {

// The longest run of held-back rectangles, and of distinct rows where they
// start or end: beyond these, building the rows costs more than drawing
// the rectangles one by one.
constexpr std::size_t MaxDeferredBoxes = 4096;
constexpr std::size_t MaxDeferredRows = 34;

} // namespace

void RasterImage::Pixels::plot(int x, int y, QRgb rgb)
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return;
    QRgb &pixel = bits[y * stride + x];
    pixel = exclusiveOr ? (pixel ^ (rgb & 0x00FFFFFFu)) : rgb;
}

void RasterImage::Pixels::fillSpan(int y, int x1, int x2, QRgb rgb)
{
    if (y < 0 || y >= height)
        return;
    x1 = std::max(x1, 0);
    x2 = std::min(x2, width);
    if (x1 >= x2)
        return;
    QRgb *row = bits + y * stride;
    if (exclusiveOr) {
        for (int x = x1; x < x2; ++x)
            row[x] ^= rgb & 0x00FFFFFFu;
    } else {
        std::fill(row + x1, row + x2, rgb);
    }
}

void RasterImage::Pixels::fillColumn(int x, int y1, int y2, QRgb rgb)
{
    if (x < 0 || x >= width)
        return;
    y1 = std::max(y1, 0);
    y2 = std::min(y2, height);
    if (y1 >= y2)
        return;
    QRgb *pixel = bits + y1 * stride + x;
    if (exclusiveOr) {
        for (int y = y1; y < y2; ++y, pixel += stride)
            *pixel ^= rgb & 0x00FFFFFFu;
    } else {
        for (int y = y1; y < y2; ++y, pixel += stride)
            *pixel = rgb;
    }
}

void RasterImage::Pixels::fillBox(const Box &box)
{
    if (box.x2 - box.x1 == 1) {
        fillColumn(box.x1, box.y1, box.y2, box.rgb);
        return;
    }
    for (int y = box.y1; y < box.y2; ++y)
        fillSpan(y, box.x1, box.x2, box.rgb);
}

namespace {

// The indices from `from` up to, not including, `to`, in either direction,
// as first <= i < end.
void stepsUpTo(int from, int to, int &first, int &end)
{
    first = to > from ? from : to + 1;
    end = to > from ? to : from + 1;
}

// The pixels a line along an axis covers, from `from` up to, not including,
// `to`; false for any other line.
bool axisLineBox(QPoint from, QPoint to, int &x1, int &x2, int &y1, int &y2)
{
    if (from.x() == to.x()) {
        x1 = from.x();
        x2 = x1 + 1;
        stepsUpTo(from.y(), to.y(), y1, y2);
        return true;
    }
    if (from.y() == to.y()) {
        y1 = from.y();
        y2 = y1 + 1;
        stepsUpTo(from.x(), to.x(), x1, x2);
        return true;
    }
    return false;
}

// Bresenham's steps from `from` for `count` pixels; `put` writes one pixel.
template <typename Put>
void bresenham(QPoint from, QPoint to, Put &&put)
{
    int x = from.x();
    int y = from.y();
    const int dx = std::abs(to.x() - x);
    const int dy = std::abs(to.y() - y);
    const int stepX = to.x() > x ? 1 : -1;
    const int stepY = to.y() > y ? 1 : -1;
    if (dx >= dy) {
        int error = 2 * dy - dx;
        for (int i = 0; i < dx; ++i) {
            put(x, y);
            if (error > 0) {
                y += stepY;
                error -= 2 * dx;
            }
            error += 2 * dy;
            x += stepX;
        }
    } else {
        int error = 2 * dx - dy;
        for (int i = 0; i < dy; ++i) {
            put(x, y);
            if (error > 0) {
                x += stepX;
                error -= 2 * dy;
            }
            error += 2 * dx;
            y += stepY;
        }
    }
}

// The same pixels, written straight to memory. A steep or flat line is a
// series of runs along its major axis, one step across between runs; the
// length of each run follows from the error term, so the pixels of a run
// are written without a decision each (a curve's short steep segments
// would mispredict that decision at every run's end). A line near the
// diagonal, whose runs are a pixel or two, is stepped pixel by pixel.
template <typename Write>
void bresenhamRuns(QRgb *bits, qsizetype stride, QPoint from, QPoint to, Write &&write)
{
    const int dx = std::abs(to.x() - from.x());
    const int dy = std::abs(to.y() - from.y());
    const bool alongX = dx >= dy;
    const int major = alongX ? dx : dy;
    const int minor = alongX ? dy : dx;
    if (minor == 0 || major < 4 * minor) {
        bresenham(from, to, [&](int x, int y) { write(bits + y * stride + x); });
        return;
    }
    const qsizetype stepX = to.x() > from.x() ? 1 : -1;
    const qsizetype stepY = to.y() > from.y() ? stride : -stride;
    const qsizetype along = alongX ? stepX : stepY;
    const qsizetype across = alongX ? stepY : stepX;
    QRgb *pixel = bits + from.y() * stride + from.x();
    int error = 2 * minor - major;
    for (int left = major; left > 0;) {
        // The run ends with the first pixel at which the error is positive;
        // the step across follows it.
        const int run = std::min(error > 0 ? 1 : -error / (2 * minor) + 2, left);
        for (int i = 0; i < run; ++i, pixel += along)
            write(pixel);
        left -= run;
        error += 2 * minor * run - 2 * major;
        pixel += across;
    }
}

} // namespace

// Bresenham from `from` up to, not including, `to`.
void RasterImage::Pixels::line(QPoint from, QPoint to, QRgb rgb, bool fast)
{
    if (from == to)
        return;
    int x1, x2, y1, y2;
    if (axisLineBox(from, to, x1, x2, y1, y2)) {
        if (x2 - x1 == 1)
            fillColumn(x1, y1, y2, rgb);
        else
            fillSpan(y1, x1, x2, rgb);
        return;
    }
    // Every pixel of the line lies in the rectangle its ends span: with both
    // ends on the image, none needs clipping.
    const auto inside = [&](QPoint p) { return p.x() >= 0 && p.y() >= 0 && p.x() < width && p.y() < height; };
    if (fast && inside(from) && inside(to)) {
        if (exclusiveOr) {
            const QRgb mask = rgb & 0x00FFFFFFu;
            bresenhamRuns(bits, stride, from, to, [=](QRgb *pixel) { *pixel ^= mask; });
        } else {
            bresenhamRuns(bits, stride, from, to, [=](QRgb *pixel) { *pixel = rgb; });
        }
        return;
    }
    bresenham(from, to, [&](int x, int y) { plot(x, y, rgb); });
}


RasterImage::RasterImage(QSize size, QRgb fill)
    : m_image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32)
{
    m_image.fill(fill);
    m_stride = m_image.bytesPerLine() / qsizetype(sizeof(QRgb));
    m_width = m_image.width();
    m_height = m_image.height();
}

const QImage &RasterImage::image() const
{
    writeDeferred();
    // The caller may keep a copy that shares the pixels: the next drawing
    // operation detaches the image again.
    m_bits = nullptr;
    return m_image;
}

void RasterImage::setFastPaths(bool on)
{
    writeDeferred();
    m_fastPaths = on;
}

void RasterImage::clear(QRgb rgb)
{
    if (m_fastPaths) {
        m_clearPending = true;
        m_clearRgb = rgb;
        m_deferred.clear();
        m_deferredRows.assign({0, m_height});
    } else {
        m_image.fill(rgb);
    }
}

void RasterImage::line(QPoint from, QPoint to, QRgb rgb, bool exclusiveOr)
{
    Box box{0, 0, 0, 0, rgb};
    if (from != to && axisLineBox(from, to, box.x1, box.x2, box.y1, box.y2) && deferBox(box, exclusiveOr))
        return;
    writeDeferred();
    pixels(exclusiveOr).line(from, to, rgb, m_fastPaths);
}

void RasterImage::box(int x1, int x2, int y1, int y2, QRgb rgb, bool exclusiveOr)
{
    const Box box{x1, x2, std::max(y1, 0), std::min(y2, m_height), rgb};
    if (deferBox(box, exclusiveOr))
        return;
    writeDeferred();
    pixels(exclusiveOr).fillBox(box);
}

void RasterImage::plot(QPoint pixel, QRgb rgb, bool exclusiveOr)
{
    writeDeferred();
    pixels(exclusiveOr).plot(pixel.x(), pixel.y(), rgb);
}

// The image is detached (should a copy of it be held elsewhere) once after
// it was last handed out, not once per drawing operation.
RasterImage::Pixels RasterImage::pixels(bool exclusiveOr)
{
    if (!m_bits)
        m_bits = reinterpret_cast<QRgb *>(m_image.bits());
    return {m_bits, m_stride, m_width, m_height, exclusiveOr};
}

bool RasterImage::deferBox(const Box &unclipped, bool exclusiveOr)
{
    if (!m_clearPending || exclusiveOr)
        return false;
    Box box = unclipped;
    box.x1 = std::max(box.x1, 0);
    box.x2 = std::min(box.x2, m_width);
    box.y1 = std::max(box.y1, 0);
    box.y2 = std::min(box.y2, m_height);
    if (box.x1 >= box.x2 || box.y1 >= box.y2)
        return true; // nothing on the image
    const auto known = [&](int row) {
        return std::binary_search(m_deferredRows.begin(), m_deferredRows.end(), row);
    };
    const std::size_t rows = m_deferredRows.size() + (known(box.y1) ? 0 : 1) + (known(box.y2) ? 0 : 1);
    if (rows > MaxDeferredRows || m_deferred.size() >= MaxDeferredBoxes)
        return false;
    for (const int row : {box.y1, box.y2}) {
        const auto at = std::lower_bound(m_deferredRows.begin(), m_deferredRows.end(), row);
        if (at == m_deferredRows.end() || *at != row)
            m_deferredRows.insert(at, row);
    }
    m_deferred.push_back(box);
    return true;
}

void RasterImage::writeDeferred() const
{
    if (!m_clearPending)
        return;
    m_clearPending = false;
    if (!m_bits)
        m_bits = reinterpret_cast<QRgb *>(m_image.bits());
    QRgb *const bits = m_bits;
    const qsizetype stride = m_stride;
    const int width = m_width;
    for (std::size_t band = 0; band + 1 < m_deferredRows.size(); ++band) {
        const int top = m_deferredRows[band];
        const int bottom = m_deferredRows[band + 1];
        QRgb *const first = bits + top * stride;
        std::fill(first, first + width, m_clearRgb);
        for (const Box &box : m_deferred) {
            if (box.y1 <= top && top < box.y2)
                std::fill(first + box.x1, first + box.x2, box.rgb);
        }
        for (int y = top + 1; y < bottom; ++y)
            std::copy(first, first + width, bits + y * stride);
    }
    m_deferred.clear();
}

} // namespace quorvel
