// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/commandbutton.h"

#include "platform/drawing/fonts.h"

#include <QKeyEvent>
#include <QPainter>
#include <qdrawutil.h>

namespace quorvel {

CommandButton::CommandButton(QWidget *parent, QRect geometry, const QString &caption,
                             std::optional<VbColor> faceColor)
    : QPushButton(caption, parent)
    , m_faceColor(faceColor)
{
    setFont(programFont());
    setGeometry(geometry);
    setAutoDefault(false);
    if (faceColor) {
        setPaletteColor(this, QPalette::Button, *faceColor);
        setPaletteColor(this, QPalette::ButtonText, SystemButtonText);
    }
    keepMouseMovement(this);
}

// The graphical style: a flat face in the button's own colour inside the
// classic raised edge, sunken while pressed with the caption one pixel down
// and right, and a dotted focus frame inside the edge.
void CommandButton::paintEvent(QPaintEvent *event)
{
    if (!m_faceColor) {
        QPushButton::paintEvent(event);
        return;
    }
    QPainter painter(this);
    const bool sunken = isDown();
    const QBrush fill(colorOf(*m_faceColor));
    qDrawWinButton(&painter, rect(), palette(), sunken, &fill);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.setFont(font());
    const int shift = sunken ? 1 : 0;
    painter.drawText(rect().translated(shift, shift), Qt::AlignCenter, text());
    if (hasFocus()) {
        // Every other pixel of a rectangle inside the edge.
        const QRect frame = rect().adjusted(3, 3, -4, -4);
        const QColor dot = palette().color(QPalette::ButtonText);
        for (int x = frame.left(); x <= frame.right(); x += 2) {
            painter.fillRect(x, frame.top(), 1, 1, dot);
            painter.fillRect(x, frame.bottom(), 1, 1, dot);
        }
        for (int y = frame.top(); y <= frame.bottom(); y += 2) {
            painter.fillRect(frame.left(), y, 1, 1, dot);
            painter.fillRect(frame.right(), y, 1, 1, dot);
        }
    }
}

void CommandButton::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat()) {
        event->accept();
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace quorvel
