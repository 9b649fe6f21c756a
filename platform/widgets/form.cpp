// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/form.h"

#include "platform/drawing/fonts.h"
#include "platform/widgets/accessibility.h"
#include "platform/widgets/events.h"
#include "platform/drawing/geometry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace quorvel {

Form::Form(QSize size, const QString &caption, VbColor backColor, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setWindowTitle(caption);
    setFixedSize(size);
    setFont(programFont());
    setPaletteColor(this, QPalette::Window, backColor);
    setAutoFillBackground(true);
    setMouseTracking(true);
    installAccessibleInterfaces();
}

Form::~Form()
{
    if (m_modalLoop)
        m_modalLoop->exit();
}

void Form::setBackgroundPicture(const Picture &picture)
{
    m_background = picture;
    update();
}

void Form::setOwnerWindow(QWidget *owner)
{
    m_owner = owner;
    // X records the owner (WM_TRANSIENT_FOR) only for a window of a
    // transient type, such as a dialog.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
}

void Form::ShowModal()
{
    setWindowModality(Qt::ApplicationModal);
    show();
    // A window that takes all input takes the keyboard too.
    activateWindow();
    QEventLoop loop;
    m_modalLoop = &loop;
    QPointer<Form> self(this);
    loop.exec(QEventLoop::DialogExec);
    if (self)
        m_modalLoop = nullptr;
}

float centredPosition(int screenTwips, int windowTwips)
{
    return std::max(0.0f, (float(screenTwips) - float(windowTwips)) / 2.0f);
}

void Form::centreOnScreen()
{
    setLeft(centredPosition(Screen::Width(), Width()));
    setTop(centredPosition(Screen::Height(), Height()));
}

void Form::setLeft(float twips)
{
    m_left = twips;
    place();
}

void Form::setTop(float twips)
{
    m_top = twips;
    place();
}

int Form::Width() const { return width() * TwipsPerPixel; }
int Form::Height() const { return height() * TwipsPerPixel; }

void Form::place()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QPoint origin = screen ? screen->geometry().topLeft() : QPoint();
    move(origin + QPoint(twipsToPixels(m_left), twipsToPixels(m_top)));
}

void Form::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_background.forPainter(painter));
}

void Form::showEvent(QShowEvent *event)
{
    // Before the window is mapped, so the system knows its owner at once.
    if (m_owner && windowHandle())
        windowHandle()->setTransientParent(m_owner->window()->windowHandle());
    QWidget::showEvent(event);
}

// A move by the window system (or by the window's own dragging) keeps Left
// and Top in step with where the window stands.
void Form::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QPoint at = pos() - (screen ? screen->geometry().topLeft() : QPoint());
    if (at.x() != twipsToPixels(m_left))
        m_left = float(at.x() * TwipsPerPixel);
    if (at.y() != twipsToPixels(m_top))
        m_top = float(at.y() * TwipsPerPixel);
}

void Form::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_drag = Drag{event->globalPosition(), pos()};
    event->accept();
}

void Form::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted() && m_modalLoop)
        m_modalLoop->exit();
}

void Form::mouseMoveEvent(QMouseEvent *event)
{
    reportMouseMove(this, event, event->position() * TwipsPerPixel);
    if (!m_drag)
        return;
    if (!(event->buttons() & Qt::LeftButton)) {
        m_drag.reset();
        return;
    }
    if (m_drag->following) {
        dragTo(event->globalPosition());
        return;
    }
    // A click that wanders a pixel or two is still a click.
    if ((event->globalPosition() - m_drag->pressedAt).manhattanLength() < QApplication::startDragDistance())
        return;
    // The window system takes the move over from here (and the button's
    // release with it) where it can.
    if (windowHandle() && windowHandle()->startSystemMove()) {
        m_drag.reset();
        return;
    }
    m_drag->following = true;
    dragTo(event->globalPosition());
}

void Form::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_drag.reset();
    QWidget::mouseReleaseEvent(event);
}

void Form::dragTo(QPointF globalPosition)
{
    move(m_drag->windowAt + (globalPosition - m_drag->pressedAt).toPoint());
}

namespace Screen {

int Width()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() * TwipsPerPixel : 0;
}

int Height()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().height() * TwipsPerPixel : 0;
}

} // namespace Screen
} // namespace quorvel
