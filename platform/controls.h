#pragma once

#include "platform/surface.h"

#include <QFontMetrics>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextLayout>

#include <functional>
#include <optional>

// The controls the windows are built from, with the program's event model:
// each event is a plain callback named after it, run on the spot. Every
// control keeps mouse movement to itself, so the window under it only hears
// of movement over its bare surface.

namespace quorvel {

// Mouse-move arguments: buttons (1 left, 2 right, 4 middle), shift state
// (1 Shift, 2 Ctrl, 4 Alt) and the position in the control's coordinates.
using MouseMoveHandler = std::function<void(int button, int shift, float x, float y)>;

int mouseButtonState(Qt::MouseButtons buttons);
int shiftState(Qt::KeyboardModifiers modifiers);

// Key code of a key press: 13 for Enter (either Enter key), otherwise Qt's key.
int keyCode(int qtKey);
inline constexpr int KeyEnter = 13;

// A label with a transparent background: either of fixed size with its text
// wrapping at its width, or sizing itself to its text (keeping its left and
// top) in the program's font.
class Label final : public QLabel
{
public:
    enum class Sizing { Fixed, AutoSize };

    Label(QWidget *parent, QRect geometry, const QString &caption, VbColor foreColor, Sizing sizing,
          bool underline = false);

    QString Caption() const { return text(); }
    void setCaption(const QString &caption);
    VbColor ForeColor() const { return m_foreColor; }
    // Every set repaints the label, also with the colour it already has.
    void setForeColor(VbColor color);
    int foreColorSets() const { return m_foreColorSets; }

    // A fixed label wraps its text at its width, each line this many pixels
    // below the one before (by default the font's own line spacing).
    void setLineSpacing(int pixels);
    // The height the wrapped text takes.
    int wrappedTextHeight() const;
    // Paints the label now rather than when the event loop comes round.
    void Refresh() { repaint(); }

    std::function<void()> onClick;
    MouseMoveHandler onMouseMove;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void fitToText();
    // The width of the text in the program's font. The pointer readout sets
    // captions on every movement, to texts it has mostly shown before, and
    // measuring a text is slow (it is shaped): the widths are kept.
    int textWidthOfCaption() const;
    // Lays the text out in lines at the label's width; calls visit(line, top).
    template <typename Visit>
    int layoutLines(QTextLayout &layout, Visit &&visit) const;

    VbColor m_foreColor;
    Sizing m_sizing;
    QFontMetrics m_metrics;
    mutable QHash<QString, int> m_widths;
    int m_foreColorSets = 0;
    int m_lineSpacing = 0;
};

class TextBox final : public QLineEdit
{
public:
    TextBox(QWidget *parent, QRect geometry, const QString &text, VbColor backColor);

    QString Text() const { return text(); }
    void setText(const QString &text) { QLineEdit::setText(text); }
    void SetFocus() { setFocus(Qt::OtherFocusReason); }
    // SelStart places the caret and drops the selection; SelLength selects
    // that many characters from the selection start.
    void setSelStart(int start);
    void setSelLength(int length);
    // True only while the box is shown on the screen.
    bool Visible() const { return isVisible(); }

    // Runs before the box itself handles the key; the code may be changed.
    std::function<void(int &keyCode, int shift)> onKeyDown;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    int m_selStart = 0;
};

// A push button that, when it holds the focus, answers Space and Enter alike.
// A background colour gives it the graphical look: its face takes the colour.
class CommandButton final : public QPushButton
{
public:
    CommandButton(QWidget *parent, QRect geometry, const QString &caption,
                  std::optional<VbColor> faceColor = std::nullopt);

    std::function<void()> onClick;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    std::optional<VbColor> m_faceColor;
};

// A horizontal scroll bar of 16-bit values. Change runs at once whenever the
// value really changes, by code or by the user; a dragged thumb changes the
// value (and runs Change) only when it is released.
class HScrollBar final : public QScrollBar
{
public:
    HScrollBar(QWidget *parent, QRect geometry);

    int Min() const { return minimum(); }
    int Max() const { return maximum(); }
    int SmallChange() const { return singleStep(); }
    int LargeChange() const { return pageStep(); }
    int Value() const { return value(); }
    void setMin(int min);
    void setMax(int max);
    void setSmallChange(int step);
    void setLargeChange(int step);
    // A value outside Min..Max is a runtime error.
    void setValueChecked(int value);

    std::function<void()> onChange;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
};

// The chart's picture box: shows its drawing surface, reports mouse movement
// in the surface's user coordinates.
class PictureBox final : public QWidget
{
public:
    PictureBox(QWidget *parent, QRect geometry, VbColor backColor);

    DrawingSurface &surface() { return m_surface; }
    const DrawingSurface &surface() const { return m_surface; }

    MouseMoveHandler onMouseMove;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    DrawingSurface m_surface;
    bool m_repaintPending = false;
};

// A picture shown at its own size.
class ImageBox final : public QLabel
{
public:
    ImageBox(QWidget *parent, QRect geometry, const QPixmap &picture);

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
};

} // namespace quorvel
