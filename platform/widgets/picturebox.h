#pragma once

#include "platform/drawing/surface.h"
#include "platform/widgets/events.h"

#include <QLabel>
#include <QPixmap>
#include <QWidget>

namespace quorvel {

// The chart's picture box: shows its drawing surface, reports mouse movement
// in the surface's user coordinates.
class PictureBox final : public QWidget
{
    Q_OBJECT

public:
    PictureBox(QWidget *parent, QRect geometry, VbColor backColor);

    DrawingSurface &surface() { return m_surface; }
    const DrawingSurface &surface() const { return m_surface; }

    MouseMoveHandler onMouseMove;

signals:
    void mouseMoved(int button, int shift, float x, float y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    DrawingSurface m_surface;
    bool m_repaintPending = false;
};

// A picture shown at its own size.
class ImageBox final : public QLabel
{
public:
    ImageBox(QWidget *parent, QRect geometry, const QPixmap &picture);

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
};

} // namespace quorvel
