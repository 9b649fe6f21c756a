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
    return static_cast<int>(std::ceil(std::clamp(value, -PixelLimit, PixelLimit) - 0.5));
}

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
}

void DrawingSurface::setForeColor(VbColor color)
{
    m_foreColor = color;
}

void DrawingSurface::Cls()
{
    m_image.fill(resolveColor(m_backColor));
    m_current = QPointF(0.0, 0.0);
    changed();
}

void DrawingSurface::Scale(float x1, float y1, float x2, float y2)
{
    // A degenerate scale would divide by zero; keep the previous one then.
    if (x1 == x2 || y1 == y2 || !std::isfinite(x1) || !std::isfinite(x2) || !std::isfinite(y1)
        || !std::isfinite(y2))
        return;
    m_scale = QRectF(QPointF(x1, y1), QPointF(x2, y2));
    m_sx = m_image.width() / (double(x2) - double(x1));
    m_sy = m_image.height() / (double(y2) - double(y1));
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

// The image is detached (should a copy of it be held elsewhere) once per
// drawing operation, not once per pixel.
DrawingSurface::Pixels DrawingSurface::pixels()
{
    return {reinterpret_cast<QRgb *>(m_image.bits()), m_image.bytesPerLine() / qsizetype(sizeof(QRgb)),
            m_image.width(), m_image.height(), m_mode == DrawMode::XorPen};
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

// Bresenham from `from` up to, not including, `to`.
void DrawingSurface::Pixels::line(QPoint from, QPoint to, QRgb rgb)
{
    int x = from.x();
    int y = from.y();
    const int dx = std::abs(to.x() - x);
    const int dy = std::abs(to.y() - y);
    if (dx == 0 && dy == 0)
        return;
    if (dx == 0) {
        if (to.y() > y)
            fillColumn(x, y, to.y(), rgb);
        else
            fillColumn(x, to.y() + 1, y + 1, rgb);
        return;
    }
    if (dy == 0) {
        if (to.x() > x)
            fillSpan(y, x, to.x(), rgb);
        else
            fillSpan(y, to.x() + 1, x + 1, rgb);
        return;
    }
    const int stepX = to.x() > x ? 1 : -1;
    const int stepY = to.y() > y ? 1 : -1;
    if (dx >= dy) {
        int error = 2 * dy - dx;
        for (int i = 0; i < dx; ++i) {
            plot(x, y, rgb);
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
            plot(x, y, rgb);
            if (error > 0) {
                x += stepX;
                error -= 2 * dy;
            }
            error += 2 * dx;
            y += stepY;
        }
    }
}

void DrawingSurface::Line(float x1, float y1, float x2, float y2, VbColor color)
{
    pixels().line(toPixel(QPointF(x1, y1)), toPixel(QPointF(x2, y2)), resolveColor(color));
    m_current = QPointF(x2, y2);
    changed();
}

void DrawingSurface::LineBoxFilled(float x1, float y1, float x2, float y2, VbColor color)
{
    const QPoint a = toPixel(QPointF(x1, y1));
    const QPoint b = toPixel(QPointF(x2, y2));
    const int left = std::min(a.x(), b.x());
    const int right = std::max(a.x(), b.x());
    const int top = std::max(std::min(a.y(), b.y()), 0);
    const int bottom = std::min(std::max(a.y(), b.y()), m_image.height());
    const QRgb rgb = resolveColor(color);
    Pixels target = pixels();
    for (int y = top; y < bottom; ++y)
        target.fillSpan(y, left, right, rgb);
    m_current = QPointF(x2, y2);
    changed();
}

void DrawingSurface::LineTo(float x, float y, VbColor color)
{
    pixels().line(toPixel(m_current), toPixel(QPointF(x, y)), resolveColor(color));
    m_current = QPointF(x, y);
    changed();
}

void DrawingSurface::PSet(float x, float y)
{
    PSet(x, y, m_foreColor);
}

void DrawingSurface::PSet(float x, float y, VbColor color)
{
    const QPoint p = toPixel(QPointF(x, y));
    pixels().plot(p.x(), p.y(), resolveColor(color));
    m_current = QPointF(x, y);
    changed();
}

void DrawingSurface::changed()
{
    if (m_changed)
        m_changed();
}

} // namespace quorvel
