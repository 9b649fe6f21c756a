// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/picturebox.h"

#include "platform/widgets/accessibility.h"
#include "platform/widgets/focusframe.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
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
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const double density = painter.device()->devicePixelRatioF();
    if (density > 1.0) {
        // The drawing replayed at the screen's density once, when it has
        // changed: a marker moved or the focus come and gone only copies it.
        if (m_dense.isNull() || m_denseGeneration != m_surface.generation() || m_dense.devicePixelRatio() != density
            || m_dense.deviceIndependentSize() != QSizeF(size())) {
            m_dense = QImage((QSizeF(size()) * density).toSize(), QImage::Format_RGB32);
            m_dense.setDevicePixelRatio(density);
            QPainter dense(&m_dense);
            m_surface.paint(dense, size());
            m_denseGeneration = m_surface.generation();
        }
        painter.drawImage(0, 0, m_dense);
    } else {
        painter.drawImage(0, 0, m_surface.image());
    }
    if (m_marker && hasFocus()) {
        // Every other pixel, so that the curves under it still show.
        const int x = m_surface.toPixel(QPointF(*m_marker, 0)).x();
        for (int y = 0; y < height(); y += 2)
            painter.fillRect(x, y, 1, 1, Qt::white);
    }
    // Two pixels in, where a control that overlaps the edge by a pixel or
    // two leaves it whole.
    if (hasFocus())
        drawFocusFrame(painter, rect().adjusted(2, 2, -3, -3));
}

void PictureBox::setMarker(std::optional<double> userX, const QString &spokenAs)
{
    if (m_marker != userX) {
        // Only the marker's old column and its new one change.
        updateMarker();
        m_marker = userX;
        updateMarker();
    }
    if (!spokenAs.isEmpty())
        focusMarkedSpot(this, spokenAs);
}

void PictureBox::updateMarker()
{
    if (m_marker)
        update(m_surface.toPixel(QPointF(*m_marker, 0)).x(), 0, 1, height());
}

void PictureBox::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
}

void PictureBox::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    m_marker.reset();
    update();
}

void PictureBox::mouseMoveEvent(QMouseEvent *event)
{
    const double density = std::max(1.0, devicePixelRatioF());
    const QPointF device = event->position() * density;
    const QPoint pixel(int(std::floor(device.x())), int(std::floor(device.y())));
    reportMouseMove(this, event, m_surface.toUser(pixel, density));
}

ImageBox::ImageBox(QWidget *parent, QRect geometry, const Picture &picture)
    : QLabel(parent)
    , m_picture(picture)
{
    setGeometry(geometry);
    setPixmap(picture.pixmap());
    keepMouseMovement(this);
}

void ImageBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture.forPainter(painter));
}

} // namespace quorvel
