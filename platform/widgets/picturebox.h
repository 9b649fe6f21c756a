// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/drawing/picture.h"
#include "platform/drawing/surface.h"
#include "platform/widgets/events.h"

#include <QLabel>
#include <QPixmap>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>

namespace quorvel {

// The chart's picture box: shows its drawing surface, reports mouse movement
// in the surface's user coordinates, and may mark one position with a thin dotted line, drawn over the
// surface's picture while the box has the focus. The keyboard focus shows as
// a dotted frame just inside the edge.
//
// At one device pixel a pixel the surface's image is the picture, pixel for
// pixel. On a denser device (a high-resolution screen, or a rendering at a
// device pixel ratio above 1) the surface's drawing is replayed at the
// device's resolution; the pointer then reports the user point at the centre
// of the device pixel under it, by the surface's own rule at that density,
// so that what it reports agrees with what the screen shows.
class PictureBox final : public QWidget
{
    Q_OBJECT

public:
    PictureBox(QWidget *parent, QRect geometry, VbColor backColor);

    // What the box shows; whoever draws on it calls update() when done.
    DrawingSurface &surface() { return m_surface; }

    // The marked position, in user coordinates (x across); none by default,
    // and none again once the box loses the focus.
    // A screen reader hears spokenAs each time a position is marked while
    // the box has the focus, the same position again included.
    void setMarker(std::optional<double> userX, const QString &spokenAs = QString());
    std::optional<double> marker() const { return m_marker; }

signals:
    void mouseMoved(int button, int shift, float x, float y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // Repaints the column of pixels the marker stands on.
    void updateMarker();

    DrawingSurface m_surface;
    // The surface's drawing at a denser screen's resolution, and the
    // surface's generation it shows.
    QImage m_dense;
    std::uint64_t m_denseGeneration = 0;
    std::optional<double> m_marker;
};

// A picture shown at its own size.
class ImageBox final : public QLabel
{
public:
    // The picture, painted on screens of any density (picture.h).
    ImageBox(QWidget *parent, QRect geometry, const Picture &picture);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Picture m_picture;
};

} // namespace quorvel
