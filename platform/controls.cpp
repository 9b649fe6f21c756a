#include "platform/controls.h"

#include "platform/fonts.h"
#include "platform/runtime.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QValidator>
#include <qdrawutil.h>

#include <algorithm>
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
    , m_metrics(programFont())
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
    const int width = std::max(textWidthOfCaption(), FontPixelSize / 2);
    resize(width, FontPixelSize);
}

int Label::textWidthOfCaption() const
{
    // Enough for a few hundred short texts (the readout's values run from
    // -100 to 100); beyond that the widths are measured afresh.
    constexpr qsizetype MaxKeptWidths = 512;
    constexpr qsizetype MaxKeptLength = 64;
    const QString caption = text();
    if (caption.size() > MaxKeptLength)
        return m_metrics.horizontalAdvance(caption);
    if (const auto kept = m_widths.constFind(caption); kept != m_widths.cend())
        return *kept;
    if (m_widths.size() >= MaxKeptWidths)
        m_widths.clear();
    const int width = m_metrics.horizontalAdvance(caption);
    m_widths.insert(caption, width);
    return width;
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
    if (m_sizing == Sizing::AutoSize && !font().underline()) {
        QLabel::paintEvent(event);
        return;
    }
    if (m_sizing == Sizing::AutoSize) {
        // The font puts its underline below the 12-pixel line the label is
        // sized to, where it would be clipped: it is drawn on the label's
        // last row instead, under the whole text.
        QPainter painter(this);
        QFont plain = font();
        plain.setUnderline(false);
        painter.setFont(plain);
        const QColor colour = palette().color(QPalette::WindowText);
        painter.setPen(colour);
        painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop, text());
        painter.fillRect(QRect(0, height() - 1, textWidthOfCaption(), 1), colour);
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

namespace {

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator
        || c == QChar(0x85) || c == u'\v' || c == u'\f';
}

// A single-line box keeps only the first line of what is put into it: the
// box calls this after every change with the caret just after the text that
// came in (typed, pasted, dropped or set), so everything from the first line
// break up to the caret is that text's further lines.
class FirstLineOnly final : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &text, int &caret) const override
    {
        const auto lineBreak = std::find_if(text.cbegin(), text.cend(), isLineBreak);
        if (lineBreak == text.cend())
            return Acceptable;
        const int from = int(lineBreak - text.cbegin());
        const int to = std::max(from, std::min(caret, int(text.size())));
        text.remove(from, to - from);
        // Should the caret have stood before the break, the rest goes too.
        const auto another = std::find_if(text.cbegin() + from, text.cend(), isLineBreak);
        if (another != text.cend())
            text.truncate(int(another - text.cbegin()));
        caret = from;
        return Acceptable;
    }
};

} // namespace

TextBox::TextBox(QWidget *parent, QRect geometry, const QString &text, VbColor backColor)
    : QLineEdit(parent)
{
    // No length limit: a pasted text is kept whole, however long.
    setMaxLength(std::numeric_limits<int>::max());
    setValidator(new FirstLineOnly(this));
    setText(text);
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
    connect(this, &QPushButton::clicked, this, [this] {
        if (onClick)
            onClick();
    });
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
    const QColor face = QColor::fromRgb(resolveColor(*m_faceColor));
    const bool sunken = isDown();
    const QBrush fill(face);
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
