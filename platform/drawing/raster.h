// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPoint>

#include <vector>

// The pixels of the chart's drawing surface: one-pixel lines by Bresenham's
// rule (a line covers its first pixel but not its last, so joined segments
// meet without overdraw), filled rectangles and single points, each drawn
// with the copy pen or combined by exclusive or with what is there.
//
// A redraw is a clear followed by hundreds of rectangles (the day grid, the
// bars) and four curves. The copy-pen rectangles drawn right after a clear
// are held back and written together with the background, a row at a time:
// rows that the same rectangles cross are identical, so each distinct row is
// built once and copied. Anything else writes them first.

namespace quorvel {

class RasterImage final
{
public:
    RasterImage(QSize size, QRgb fill);

    // The picture as drawn so far. A copy of it may be kept: the next
    // drawing detaches the pixels again.
    const QImage &image() const;
    int width() const { return m_width; }
    int height() const { return m_height; }

    void clear(QRgb rgb);
    // From `from` up to, not including, `to`.
    void line(QPoint from, QPoint to, QRgb rgb, bool exclusiveOr);
    // The pixels x1 <= x < x2, y1 <= y < y2, clipped to the image.
    void box(int x1, int x2, int y1, int y2, QRgb rgb, bool exclusiveOr);
    void plot(QPoint pixel, QRgb rgb, bool exclusiveOr);

    // On by default. Off, every operation is written at once by the plain
    // per-pixel path; the pixels are the same either way, which is what
    // turning it off is for: comparing the two.
    void setFastPaths(bool on);

private:
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
    Pixels pixels(bool exclusiveOr);

    bool deferBox(const Box &box, bool exclusiveOr);
    void writeDeferred() const;

    mutable QImage m_image;
    // The image's pixels while no copy of it can be held elsewhere.
    mutable QRgb *m_bits = nullptr;
    qsizetype m_stride = 0;
    int m_width = 0;
    int m_height = 0;
    bool m_fastPaths = true;
    mutable bool m_clearPending = false;
    QRgb m_clearRgb = 0;
    mutable std::vector<Box> m_deferred;
    // The rows where a held-back rectangle starts or ends, sorted; with the
    // first row and the end of the image.
    mutable std::vector<int> m_deferredRows;
};

} // namespace quorvel
