// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/drawing/picture.h"
#include "platform/widgets/controls.h"

#include <QAccessible>
#include <QPointer>
#include <QWidget>

#include <optional>

class QEventLoop;

// A window without a frame (no border, title bar or system buttons), of a
// fixed inner size, in the program's font, optionally painted with a
// background picture. Unloading closes it; a modal show waits until then.
// Having no title bar, it is moved by dragging its bare surface (no control
// under the pointer) with the left button: the window system moves it where
// it can, otherwise the window follows the pointer itself.

namespace quorvel {

class Form : public QWidget
{
    Q_OBJECT

public:
    Form(QSize size, const QString &caption, VbColor backColor, QWidget *parent = nullptr);
    ~Form() override;

    // The picture, painted on screens of any density (picture.h).
    void setBackgroundPicture(const Picture &picture);

    // The window the system keeps this one above (its transient parent),
    // from its next show on; this one becomes a dialog of it.
    void setOwnerWindow(QWidget *owner);

    // Shows the window modal to the whole program and returns once it has
    // been unloaded (closed by any means). Other windows take no input
    // meanwhile; timers keep running.
    void ShowModal();
    void Unload() { close(); }

    // Position and size in twips. Left and Top keep the exact value set,
    // halves included; the window stands on the nearest pixel.
    float Left() const { return m_left; }
    float Top() const { return m_top; }
    void setLeft(float twips);
    void setTop(float twips);
    // Centres the window on the screen: Left, then Top, computed in single
    // precision from the sizes in twips.
    void centreOnScreen();
    int Width() const;
    int Height() const;

signals:
    // Movement over the window's bare surface (no control under the pointer).
    void mouseMoved(int button, int shift, float x, float y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void place();
    void dragTo(QPointF globalPosition);

    Picture m_background;
    QPointer<QWidget> m_owner;
    // A press of the left button on the bare surface: where it was, and
    // where the window stood then. Following is set once the window system
    // has declined to move the window and the window follows the pointer.
    struct Drag {
        QPointF pressedAt;
        QPoint windowAt;
        bool following = false;
    };
    std::optional<Drag> m_drag;
    QEventLoop *m_modalLoop = nullptr;
    float m_left = 0;
    float m_top = 0;
};

// Where a window is placed to stand centred on the screen, in twips, halves
// kept. A window larger than the screen keeps its top-left corner on the
// screen, where it can still be reached.
float centredPosition(int screenTwips, int windowTwips);

// The primary screen's size in twips.
namespace Screen {
int Width();
int Height();
} // namespace Screen

} // namespace quorvel
