// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/widgets/events.h"

#include <QLineEdit>


namespace quorvel {

class TextBox final : public QLineEdit
{
    Q_OBJECT

public:
    TextBox(QWidget *parent, QRect geometry, const QString &text, VbColor backColor);

    QString Text() const { return text(); }
    void SetFocus() { setFocus(Qt::OtherFocusReason); }
    // SelStart places the caret and drops the selection; SelLength selects
    // that many characters from the selection start.
    void setSelStart(int start);
    void setSelLength(int length);
    // True only while the box is shown on the screen.
    bool Visible() const { return isVisible(); }

signals:
    // Before the box itself handles the key.
    void keyDown(int keyCode, int shift);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace quorvel
