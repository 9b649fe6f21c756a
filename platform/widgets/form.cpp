#include "platform/widgets/form.h"

#include "platform/drawing/fonts.h"
#include "platform/widgets/accessibility.h"
#include "platform/widgets/geometry.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <algorithm>

namespace quorvel {

Form::Form(QSize size, const QString &caption, VbColor backColor, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setWindowTitle(caption);
    setFixedSize(size);
    setFont(programFont());
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor::fromRgb(resolveColor(backColor)));
    setPalette(palette);
    setAutoFillBackground(true);
    setMouseTracking(true);
    installAccessibleInterfaces();
}

Form::~Form()
{
    if (m_modalLoop)
        m_modalLoop->exit();
}

void Form::setBackgroundPicture(const QPixmap &picture)
{
    m_background = picture;
    update();
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
    if (!m_background.isNull()) {
        QPainter painter(this);
        painter.drawPixmap(0, 0, m_background);
    }
}

void Form::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted() && m_modalLoop)
        m_modalLoop->exit();
}

void Form::mouseMoveEvent(QMouseEvent *event)
{
    reportMouseMove(this, onMouseMove, event, event->position() * TwipsPerPixel);
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
