#pragma once

#include "platform/drawing/colors.h"

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSize>

#include <functional>
#include <span>
#include <vector>

// The chart's drawing surface: a backing image with user coordinates set by
// Scale, one-pixel solid lines, filled boxes and points, drawn with the copy
// pen or exclusive-or against what is there. The picture box widget shows
// the image, so the chart survives being covered by another window.
//
// Pixel rule (one place, used both ways). Scale maps the user rectangle onto
// the whole image, and a pixel stands for the user point at its centre. A
// user point falls on the first pixel whose centre is not before it (in the
// direction of growing pixel index), so a filled box covers exactly the
// pixels whose centres it contains, its first edge included and its second
// excluded, and a line at a box's edge lies on the box's first pixel. The
// pointer reports the centre of the pixel under it, so a pixel that a day's
// box covers always reads out as that day. A line covers its first pixel but
// not its last, so joined segments meet without overdraw.

namespace quorvel {

enum class DrawMode { XorPen = 7, CopyPen = 13 };

class DrawingSurface final
{
public:
    explicit DrawingSurface(QSize pixelSize, VbColor backColor = SystemMenuText,
                            VbColor foreColor = SystemButtonText);

    // The picture as drawn so far. Drawing may be held back until the
    // picture is asked for, so take image() again after drawing rather than
    // keeping a reference from before.
    const QImage &image() const;
    QSize size() const { return {m_width, m_height}; }

    VbColor backColor() const { return m_backColor; }
    // The colour the next Cls fills the surface with.
    void setBackColor(VbColor color) { m_backColor = color; }
    VbColor foreColor() const { return m_foreColor; }
    void setForeColor(VbColor color);
    DrawMode drawMode() const { return m_mode; }
    void setDrawMode(DrawMode mode) { m_mode = mode; }

    // Fills the surface with the background colour; the current point goes
    // back to (0, 0).
    void Cls();

    // User coordinates: (x1, y1) at the top-left corner, (x2, y2) at the
    // bottom-right one. Until the first Scale both run from 0 to 1.
    void Scale(float x1, float y1, float x2, float y2);
    QRectF scaleRect() const { return m_scale; }

    void Line(float x1, float y1, float x2, float y2, VbColor color);
    void LineBoxFilled(float x1, float y1, float x2, float y2, VbColor color);
    void LineTo(float x, float y, VbColor color);
    // LineTo each point in turn (single-precision values held as doubles).
    void LineTo(std::span<const QPointF> points, VbColor color);
    void PSet(float x, float y);
    void PSet(float x, float y, VbColor color);
    QPointF currentPoint() const { return m_current; }

    // The mapping between user coordinates and pixels, both ways. toUser
    // gives the centre of a pixel as the single-precision point that the
    // pointer reports, chosen so that it maps back onto the same pixel and
    // lies in the same user-unit column (d <= x < d + 1) as the pixel does.
    QPoint toPixel(QPointF user) const;
    QPointF toUser(QPoint pixel) const;
    // The same two directions on a grid `density` times as fine as the
    // image's (a screen with that many device pixels to a pixel): the same
    // rule, at that resolution.
    QPoint toPixel(QPointF user, double density) const;
    QPointF toUser(QPoint pixel, double density) const;

    // Called after every drawing operation (the widget schedules a repaint).
    void setChangedCallback(std::function<void()> callback) { m_changed = std::move(callback); }

    // On by default. Off, every operation is written at once by the plain
    // per-pixel path; the pixels are the same either way, which is what
    // turning it off is for: comparing the two.
    void setFastPaths(bool on);

private:
    // A rectangle of pixels, x1 <= x < x2, y1 <= y < y2 (clipped when drawn).
    struct Box {
        int x1;
        int x2;
        int y1;
        int y2;
        QRgb rgb;
    };

    // Direct access to the image's pixels for one drawing operation.
    struct Pixels {
        QRgb *bits;
        qsizetype stride;
        int width;
        int height;
        bool exclusiveOr;

        void plot(int x, int y, QRgb rgb);
        void fillSpan(int y, int x1, int x2, QRgb rgb);   // x1 <= x < x2
        void fillColumn(int x, int y1, int y2, QRgb rgb); // y1 <= y < y2
        void fillBox(const Box &box);
        void line(QPoint from, QPoint to, QRgb rgb, bool fast);
    };
    Pixels pixels();
    void changed();

    // The pixel of the current point (cached: LineTo starts where the last
    // operation ended).
    QPoint currentPixel() const;
    void setCurrent(QPointF user, QPoint pixel);
    void drawLine(QPoint from, QPoint to, QRgb rgb);
    void drawBox(Box box);
    // Copy-pen rectangles (lines along an axis, filled boxes) drawn right
    // after Cls are held back and written together with the background,
    // a row at a time: rows that the same rectangles cross are identical, so
    // each distinct row is built once and copied. Anything else writes them
    // first.
    bool deferBox(const Box &box);
    void writeDeferred() const;

    mutable QImage m_image;
    // The image's pixels while no copy of it can be held elsewhere.
    mutable QRgb *m_bits = nullptr;
    qsizetype m_stride = 0;
    int m_width = 0;
    int m_height = 0;
    mutable bool m_clearPending = false;
    QRgb m_clearRgb = 0;
    mutable std::vector<Box> m_deferred;
    // The rows where a held-back rectangle starts or ends, sorted; with the
    // first row and the end of the image.
    mutable std::vector<int> m_deferredRows;
    bool m_fastPaths = true;
    VbColor m_backColor;
    VbColor m_foreColor;
    DrawMode m_mode = DrawMode::CopyPen;
    QRectF m_scale{0.0, 0.0, 1.0, 1.0};
    double m_sx = 0;
    double m_sy = 0;
    QPointF m_current;
    mutable QPoint m_currentPixel;
    mutable bool m_currentPixelKnown = false;
    std::function<void()> m_changed;
};

} // namespace quorvel
