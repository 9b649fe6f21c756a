#include "platform/widgets/picturebox.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace quorvel {

PictureBox::PictureBox(QWidget *parent, QRect geometry, VbColor backColor)
    : QWidget(parent)
    , m_surface(geometry.size(), backColor)
{
    setGeometry(geometry);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    keepMouseMovement(this);
    // Many drawing calls make one picture: ask for one repaint, not one each.
    m_surface.setChangedCallback([this] {
        if (!m_repaintPending) {
            m_repaintPending = true;
            update();
        }
    });
}

void PictureBox::paintEvent(QPaintEvent *)
{
    m_repaintPending = false;
    QPainter painter(this);
    painter.drawImage(0, 0, m_surface.image());
}

void PictureBox::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pixel(int(std::floor(event->position().x())), int(std::floor(event->position().y())));
    reportMouseMove(this, onMouseMove, event, m_surface.toUser(pixel));
}

ImageBox::ImageBox(QWidget *parent, QRect geometry, const QPixmap &picture)
    : QLabel(parent)
{
    setGeometry(geometry);
    setPixmap(picture);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    keepMouseMovement(this);
}

void ImageBox::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
}

} // namespace quorvel
