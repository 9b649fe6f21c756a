#include "platform/controls.h"

#include "platform/fonts.h"
#include "platform/runtime.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>
#include <cstdint>
#include <limits>

namespace quorvel {
namespace {

// Movement over a control is the control's own: it is not passed on to the
// window under it.
void keepMouseMovement(QWidget *widget)
{
    widget->setMouseTracking(true);
    widget->setAttribute(Qt::WA_NoMousePropagation);
}

void reportMouseMove(const MouseMoveHandler &handler, QMouseEvent *event, QPointF position)
{
    event->accept();
    if (handler)
        handler(mouseButtonState(event->buttons()), shiftState(event->modifiers()), float(position.x()),
                float(position.y()));
}

void setPaletteColor(QWidget *widget, QPalette::ColorRole role, VbColor color)
{
    QPalette palette = widget->palette();
    palette.setColor(role, QColor::fromRgb(resolveColor(color)));
    widget->setPalette(palette);
}

} // namespace

int mouseButtonState(Qt::MouseButtons buttons)
{
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0)
         | (buttons & Qt::MiddleButton ? 4 : 0);
}

int shiftState(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0)
         | (modifiers & Qt::AltModifier ? 4 : 0);
}

int keyCode(int qtKey)
{
    return qtKey == Qt::Key_Return || qtKey == Qt::Key_Enter ? KeyEnter : qtKey;
}

// --- Label

Label::Label(QWidget *parent, QRect geometry, const QString &caption, VbColor foreColor, Sizing sizing,
             bool underline)
    : QLabel(parent)
    , m_foreColor(foreColor)
    , m_sizing(sizing)
{
    setFont(programFont(underline));
    setTextFormat(Qt::PlainText);
    setMargin(0);
    setIndent(0);
    setContentsMargins(0, 0, 0, 0);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWordWrap(sizing == Sizing::Fixed);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
    keepMouseMovement(this);
    setGeometry(geometry);
    setPaletteColor(this, QPalette::WindowText, foreColor);
    setCaption(caption);
}

void Label::setCaption(const QString &caption)
{
    setText(caption);
    fitToText();
}

void Label::setForeColor(VbColor color)
{
    m_foreColor = color;
    ++m_foreColorSets;
    setPaletteColor(this, QPalette::WindowText, color);
    update();
}

void Label::fitToText()
{
    if (m_sizing != Sizing::AutoSize)
        return;
    // An empty label keeps the width of one narrow character.
    const int width = std::max(textWidth(text()), FontPixelSize / 2);
    resize(width, FontPixelSize);
}

void Label::setLineSpacing(int pixels)
{
    m_lineSpacing = pixels;
    update();
}

template <typename Visit>
int Label::layoutLines(QTextLayout &layout, Visit &&visit) const
{
    const int spacing = m_lineSpacing > 0 ? m_lineSpacing : fontMetrics().lineSpacing();
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // Each paragraph ends in a line break and is wrapped on its own.
    QStringList paragraphs = text().split(u'\n');
    if (paragraphs.size() > 1 && paragraphs.constLast().isEmpty())
        paragraphs.removeLast();
    int top = 0;
    for (const QString &paragraph : std::as_const(paragraphs)) {
        layout.setText(paragraph);
        layout.setFont(font());
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width());
            line.setPosition(QPointF(0, top));
            top += spacing;
        }
        layout.endLayout();
        visit(layout);
    }
    return top;
}

int Label::wrappedTextHeight() const
{
    QTextLayout layout;
    return layoutLines(layout, [](QTextLayout &) {});
}

void Label::paintEvent(QPaintEvent *event)
{
    if (m_sizing == Sizing::AutoSize) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    QTextLayout layout;
    layoutLines(layout, [&painter](QTextLayout &paragraph) { paragraph.draw(&painter, QPointF(0, 0)); });
}

void Label::mouseMoveEvent(QMouseEvent *event)
{
    reportMouseMove(onMouseMove, event, event->position());
}

void Label::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void Label::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && onClick)
        onClick();
}

// --- TextBox

TextBox::TextBox(QWidget *parent, QRect geometry, const QString &text, VbColor backColor)
    : QLineEdit(text, parent)
{
    setFont(programFont());
    setGeometry(geometry);
    setTextMargins(1, 0, 1, 0);
    setPaletteColor(this, QPalette::Base, backColor);
    setPaletteColor(this, QPalette::Text, SystemWindowText);
    keepMouseMovement(this);
}

void TextBox::setSelStart(int start)
{
    m_selStart = std::clamp(start, 0, int(text().size()));
    setCursorPosition(m_selStart);
}

void TextBox::setSelLength(int length)
{
    length = std::clamp(length, 0, int(text().size()) - m_selStart);
    setSelection(m_selStart, length);
}

void TextBox::keyPressEvent(QKeyEvent *event)
{
    if (onKeyDown) {
        int code = keyCode(event->key());
        onKeyDown(code, shiftState(event->modifiers()));
    }
    QLineEdit::keyPressEvent(event);
}

void TextBox::mouseMoveEvent(QMouseEvent *event)
{
    QLineEdit::mouseMoveEvent(event);
    event->accept();
}

// --- CommandButton

CommandButton::CommandButton(QWidget *parent, QRect geometry, const QString &caption,
                             std::optional<VbColor> faceColor)
    : QPushButton(caption, parent)
{
    setFont(programFont());
    setGeometry(geometry);
    setAutoDefault(false);
    if (faceColor) {
        setPaletteColor(this, QPalette::Button, *faceColor);
        setPaletteColor(this, QPalette::ButtonText, SystemButtonText);
    }
    keepMouseMovement(this);
    connect(this, &QPushButton::clicked, this, [this] {
        if (onClick)
            onClick();
    });
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

void CommandButton::mouseMoveEvent(QMouseEvent *event)
{
    QPushButton::mouseMoveEvent(event);
    event->accept();
}

// --- HScrollBar

HScrollBar::HScrollBar(QWidget *parent, QRect geometry)
    : QScrollBar(Qt::Horizontal, parent)
{
    setGeometry(geometry);
    setRange(0, 32767);
    setValue(0);
    setSingleStep(1);
    setPageStep(1);
    setTracking(false);
    setFocusPolicy(Qt::StrongFocus);
    keepMouseMovement(this);
    connect(this, &QScrollBar::valueChanged, this, [this] {
        if (onChange)
            onChange();
    });
}

void HScrollBar::setMin(int min) { setMinimum(min); }
void HScrollBar::setMax(int max) { setMaximum(max); }
void HScrollBar::setSmallChange(int step) { setSingleStep(step); }
void HScrollBar::setLargeChange(int step) { setPageStep(step); }

void HScrollBar::setValueChecked(int value)
{
    if (value < minimum() || value > maximum())
        RaiseRuntimeError(InvalidPropertyValueError());
    setValue(value);
}

void HScrollBar::keyPressEvent(QKeyEvent *event)
{
    // Qt's scroll bars invert their controls so that the wheel scrolls the
    // natural way, which also turns the arrow keys around; the arrows move
    // the thumb the way they point.
    switch (event->key()) {
    case Qt::Key_Left:
        triggerAction(SliderSingleStepSub);
        break;
    case Qt::Key_Right:
        triggerAction(SliderSingleStepAdd);
        break;
    default:
        QScrollBar::keyPressEvent(event);
        return;
    }
    event->accept();
}

void HScrollBar::mouseMoveEvent(QMouseEvent *event)
{
    QScrollBar::mouseMoveEvent(event);
    event->accept();
}

// --- PictureBox

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
    reportMouseMove(onMouseMove, event, m_surface.toUser(pixel));
}

// --- ImageBox

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
