#include "platform/widgets/scrollbar.h"

#include "platform/widgets/runtime.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace quorvel {

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
        emit changed();
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

} // namespace quorvel
