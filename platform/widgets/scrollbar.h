// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/widgets/events.h"

#include <QScrollBar>
#include <QStyle>

#include <functional>

namespace quorvel {

class Runtime;

// A horizontal scroll bar of 16-bit values. Change runs at once whenever the
// value really changes, by code or by the user; a dragged thumb changes the
// value (and runs Change) only when it is released. With the keyboard focus
// it shows a dotted frame on its thumb, and a screen reader hears each
// change the user makes in the words of its value text.
class HScrollBar final : public QScrollBar
{
    Q_OBJECT

public:
    // A value out of range is reported through the runtime.
    HScrollBar(QWidget *parent, QRect geometry, const Runtime &runtime);

    int Max() const { return maximum(); }
    int Value() const { return value(); }
    void setMin(int min);
    void setMax(int max);
    void setSmallChange(int step);
    void setLargeChange(int step);
    // A value outside Min..Max is a runtime error.
    void setValueChecked(int value);


    // How a screen reader speaks a value; the plain number unless set.
    void setValueText(std::function<QString(int)> valueText) { m_valueText = std::move(valueText); }
    QString valueText() const;
    // The accessible name followed by the value text.
    QString spokenText() const;

    // Where a part of the bar lies (the thumb, an arrow, the track), in the
    // bar's own coordinates.
    QRect partRect(QStyle::SubControl part) const;

signals:
    void changed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    const Runtime &m_runtime;
    std::function<QString(int)> m_valueText;
};

} // namespace quorvel
