#include "platform/widgets/picturebox.h"

#include "platform/widgets/accessibility.h"

#include <QKeyEvent>
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
    installAccessibleInterfaces();
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
    if (m_marker && hasFocus()) {
        // Every other pixel, so that the curves under it still show.
        const int x = m_surface.toPixel(QPointF(*m_marker, 0)).x();
        for (int y = 0; y < height(); y += 2)
            painter.fillRect(x, y, 1, 1, Qt::white);
    }
}

void PictureBox::setMarker(std::optional<double> userX)
{
    if (m_marker == userX)
        return;
    m_marker = userX;
    update();
}

void PictureBox::keyPressEvent(QKeyEvent *event)
{
    int code = keyCode(event->key());
    const int shift = shiftState(event->modifiers());
    emit keyDown(code, shift);
    if (onKeyDown)
        onKeyDown(code, shift);
    if (code == 0)
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

void PictureBox::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
}

void PictureBox::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
    if (onLostFocus)
        onLostFocus();
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
