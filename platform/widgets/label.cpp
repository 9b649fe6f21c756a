// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/label.h"

#include "platform/drawing/fonts.h"
#include "platform/drawing/geometry.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStringList>

namespace quorvel {

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
    // An empty label keeps the width of one narrow character.
    if (m_sizing == Sizing::AutoSize)
        resize(std::max(textWidthOfCaption(), FontPixelSize / 2), FontPixelSize);
}

void Label::setForeColor(VbColor color)
{
    m_foreColor = color;
    setPaletteColor(this, QPalette::WindowText, color);
    update();
    emit foreColorSet(color);
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
    reportMouseMove(this, event, event->position() * TwipsPerPixel);
}

void Label::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint()))
        return;
    emit clicked();
}

} // namespace quorvel
