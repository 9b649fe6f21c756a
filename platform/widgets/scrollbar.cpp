// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/scrollbar.h"

#include "platform/widgets/accessibility.h"
#include "platform/widgets/focusframe.h"
#include "platform/widgets/runtime.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionSlider>

namespace quorvel {

HScrollBar::HScrollBar(QWidget *parent, QRect geometry, const Runtime &runtime)
    : QScrollBar(Qt::Horizontal, parent)
    , m_runtime(runtime)
{
    setGeometry(geometry);
    setRange(0, 32767);
    setValue(0);
    setSingleStep(1);
    setPageStep(1);
    setTracking(false);
    setFocusPolicy(Qt::StrongFocus);
    keepMouseMovement(this);
    installAccessibleInterfaces();
    connect(this, &QScrollBar::valueChanged, this, [this] {
        emit changed();
        // After Change, whose drawing may relabel the value; a value set
        // while the user is elsewhere goes unsaid.
        if (hasFocus())
            announce(this, spokenText());
    });
}

void HScrollBar::setMin(int min) { setMinimum(min); }
void HScrollBar::setMax(int max) { setMaximum(max); }
void HScrollBar::setSmallChange(int step) { setSingleStep(step); }
void HScrollBar::setLargeChange(int step) { setPageStep(step); }

QString HScrollBar::valueText() const
{
    return m_valueText ? m_valueText(value()) : QString::number(value());
}

QString HScrollBar::spokenText() const
{
    return accessibleName().isEmpty() ? valueText() : accessibleName() + QLatin1Char(' ') + valueText();
}

void HScrollBar::setValueChecked(int value)
{
    if (value < minimum() || value > maximum())
        m_runtime.RaiseRuntimeError({380, QStringLiteral("无效的属性值")});
    setValue(value);
}

void HScrollBar::paintEvent(QPaintEvent *event)
{
    QScrollBar::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    drawFocusFrame(painter, partRect(QStyle::SC_ScrollBarSlider).adjusted(2, 2, -2, -2));
}

QRect HScrollBar::partRect(QStyle::SubControl part) const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_ScrollBar, &option, part, this);
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

} // namespace quorvel
