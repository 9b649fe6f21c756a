#include "platform/drawing/surface.h"


#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace quorvel {
namespace {

// Pixel coordinates are held to this range so that a line far outside the
// surface costs no more than one across the largest screen.
constexpr double PixelLimit = 32767.0;

// The pixel whose centre (pixel + 0.5) is the first at or after value.
int toPixelCoordinate(double value)
{
    if (!(value == value))
        return 0;
    // ceil, for a value well inside the range of int.
    const double v = std::clamp(value, -PixelLimit, PixelLimit) - 0.5;
    const int truncated = static_cast<int>(v);
    return truncated + (double(truncated) < v ? 1 : 0);
}

// The longest run of held-back rectangles, and of distinct rows where they
// start or end: beyond these, building the rows costs more than drawing
// the rectangles one by one.
constexpr std::size_t MaxDeferredBoxes = 4096;
constexpr std::size_t MaxDeferredRows = 34;

// The single-precision user coordinate of a pixel's centre along one axis
// (user = origin + device / scale). The exact centre is the last coordinate
// that still maps onto the pixel; rounding it to single precision may step
// over that limit either way, so it is moved back by whole steps of the
// float grid until it is the last float that maps onto the pixel. The
// readout counts days from it, so a centre that lies exactly on a day
// boundary reads out as the day whose box covers the pixel.
float pixelCentre(int pixel, double origin, double scale)
{
    const auto index = [&](float user) { return toPixelCoordinate((double(user) - origin) * scale); };
    const float towardsGrowth = scale > 0 ? std::numeric_limits<float>::infinity()
                                          : -std::numeric_limits<float>::infinity();
    float user = static_cast<float>(origin + (pixel + 0.5) / scale);
    for (int step = 0; step < 16 && index(user) > pixel; ++step)
        user = std::nextafter(user, -towardsGrowth);
    for (int step = 0; step < 16 && index(std::nextafter(user, towardsGrowth)) <= pixel; ++step)
        user = std::nextafter(user, towardsGrowth);
    return user;
}

} // namespace

DrawingSurface::DrawingSurface(QSize pixelSize, VbColor backColor, VbColor foreColor)
    : m_image(pixelSize.expandedTo(QSize(1, 1)), QImage::Format_RGB32)
    , m_backColor(backColor)
    , m_foreColor(foreColor)
{
    Scale(0.0f, 0.0f, 1.0f, 1.0f);
    m_image.fill(resolveColor(m_backColor));
    m_stride = m_image.bytesPerLine() / qsizetype(sizeof(QRgb));
    m_width = m_image.width();
    m_height = m_image.height();
}

void DrawingSurface::setForeColor(VbColor color)
{
    m_foreColor = color;
}

const QImage &DrawingSurface::image() const
{
    writeDeferred();
    // The caller may keep a copy that shares the pixels: the next drawing
    // operation detaches the image again.
    m_bits = nullptr;
    return m_image;
}

void DrawingSurface::setFastPaths(bool on)
{
    writeDeferred();
    m_fastPaths = on;
    m_currentPixelKnown = false;
}

void DrawingSurface::Cls()
{
    if (m_fastPaths) {
        m_clearPending = true;
        m_clearRgb = resolveColor(m_backColor);
        m_deferred.clear();
        m_deferredRows.assign({0, m_height});
    } else {
        m_image.fill(resolveColor(m_backColor));
    }
    setCurrent(QPointF(0.0, 0.0), toPixel(QPointF(0.0, 0.0)));
    changed();
}

void DrawingSurface::Scale(float x1, float y1, float x2, float y2)
{
    // A degenerate scale would divide by zero; keep the previous one then.
    if (x1 == x2 || y1 == y2 || !std::isfinite(x1) || !std::isfinite(x2) || !std::isfinite(y1)
        || !std::isfinite(y2))
        return;
    m_scale = QRectF(QPointF(x1, y1), QPointF(x2, y2));
    m_sx = m_width / (double(x2) - double(x1));
    m_sy = m_height / (double(y2) - double(y1));
    m_currentPixelKnown = false;
}

QPoint DrawingSurface::toPixel(QPointF user) const
{
    return QPoint(toPixelCoordinate((user.x() - m_scale.left()) * m_sx),
                  toPixelCoordinate((user.y() - m_scale.top()) * m_sy));
}

QPointF DrawingSurface::toUser(QPoint pixel) const
{
    return QPointF(pixelCentre(pixel.x(), m_scale.left(), m_sx), pixelCentre(pixel.y(), m_scale.top(), m_sy));
}

QPoint DrawingSurface::toPixel(QPointF user, double density) const
{
    return QPoint(toPixelCoordinate((user.x() - m_scale.left()) * m_sx * density),
                  toPixelCoordinate((user.y() - m_scale.top()) * m_sy * density));
}

QPointF DrawingSurface::toUser(QPoint pixel, double density) const
{
    return QPointF(pixelCentre(pixel.x(), m_scale.left(), m_sx * density),
                   pixelCentre(pixel.y(), m_scale.top(), m_sy * density));
}

// The image is detached (should a copy of it be held elsewhere) once after
// it was last handed out, not once per drawing operation.
DrawingSurface::Pixels DrawingSurface::pixels()
{
    if (!m_bits)
        m_bits = reinterpret_cast<QRgb *>(m_image.bits());
    return {m_bits, m_stride, m_width, m_height, m_mode == DrawMode::XorPen};
}

void DrawingSurface::Pixels::plot(int x, int y, QRgb rgb)
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return;
    QRgb &pixel = bits[y * stride + x];
    pixel = exclusiveOr ? (pixel ^ (rgb & 0x00FFFFFFu)) : rgb;
}

void DrawingSurface::Pixels::fillSpan(int y, int x1, int x2, QRgb rgb)
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

void DrawingSurface::Pixels::fillColumn(int x, int y1, int y2, QRgb rgb)
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

void DrawingSurface::Pixels::fillBox(const Box &box)
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
void DrawingSurface::Pixels::line(QPoint from, QPoint to, QRgb rgb, bool fast)
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

QPoint DrawingSurface::currentPixel() const
{
    if (!m_currentPixelKnown || !m_fastPaths) {
        m_currentPixel = toPixel(m_current);
        m_currentPixelKnown = true;
    }
    return m_currentPixel;
}

void DrawingSurface::setCurrent(QPointF user, QPoint pixel)
{
    m_current = user;
    m_currentPixel = pixel;
    m_currentPixelKnown = true;
}

void DrawingSurface::drawLine(QPoint from, QPoint to, QRgb rgb)
{
    Box box{0, 0, 0, 0, rgb};
    if (from != to && axisLineBox(from, to, box.x1, box.x2, box.y1, box.y2) && deferBox(box))
        return;
    writeDeferred();
    pixels().line(from, to, rgb, m_fastPaths);
}

void DrawingSurface::drawBox(Box box)
{
    if (deferBox(box))
        return;
    writeDeferred();
    pixels().fillBox(box);
}

bool DrawingSurface::deferBox(const Box &unclipped)
{
    if (!m_clearPending || m_mode != DrawMode::CopyPen)
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

void DrawingSurface::writeDeferred() const
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

void DrawingSurface::Line(float x1, float y1, float x2, float y2, VbColor color)
{
    const QPoint to = toPixel(QPointF(x2, y2));
    drawLine(toPixel(QPointF(x1, y1)), to, resolveColor(color));
    setCurrent(QPointF(x2, y2), to);
    changed();
}

void DrawingSurface::LineBoxFilled(float x1, float y1, float x2, float y2, VbColor color)
{
    const QPoint a = toPixel(QPointF(x1, y1));
    const QPoint b = toPixel(QPointF(x2, y2));
    const int top = std::max(std::min(a.y(), b.y()), 0);
    const int bottom = std::min(std::max(a.y(), b.y()), m_height);
    drawBox({std::min(a.x(), b.x()), std::max(a.x(), b.x()), top, bottom, resolveColor(color)});
    setCurrent(QPointF(x2, y2), b);
    changed();
}

void DrawingSurface::LineTo(float x, float y, VbColor color)
{
    const QPoint to = toPixel(QPointF(x, y));
    drawLine(currentPixel(), to, resolveColor(color));
    setCurrent(QPointF(x, y), to);
    changed();
}

void DrawingSurface::LineTo(std::span<const QPointF> points, VbColor color)
{
    if (points.empty())
        return;
    const QRgb rgb = resolveColor(color);
    QPoint from = currentPixel();
    for (const QPointF &point : points) {
        const QPoint to = toPixel(point);
        drawLine(from, to, rgb);
        from = to;
    }
    setCurrent(points.back(), from);
    changed();
}

void DrawingSurface::PSet(float x, float y)
{
    PSet(x, y, m_foreColor);
}

void DrawingSurface::PSet(float x, float y, VbColor color)
{
    const QPoint p = toPixel(QPointF(x, y));
    writeDeferred();
    pixels().plot(p.x(), p.y(), resolveColor(color));
    setCurrent(QPointF(x, y), p);
    changed();
}

void DrawingSurface::changed()
{
    if (m_changed)
        m_changed();
}

} // namespace quorvel
