// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/widgets/events.h"

#include <QFontMetrics>
#include <QHash>
#include <QLabel>
#include <QTextLayout>


namespace quorvel {

// A label with a transparent background: either of fixed size with its text
// wrapping at its width, or sizing itself to its text (keeping its left and
// top) in the program's font.
class Label final : public QLabel
{
    Q_OBJECT

public:
    enum class Sizing { Fixed, AutoSize };

    Label(QWidget *parent, QRect geometry, const QString &caption, VbColor foreColor, Sizing sizing,
          bool underline = false);

    QString Caption() const { return text(); }
    void setCaption(const QString &caption);
    VbColor ForeColor() const { return m_foreColor; }
    // Every set repaints the label, also with the colour it already has.
    void setForeColor(VbColor color);

    // A fixed label wraps its text at its width, each line this many pixels
    // below the one before (by default the font's own line spacing).
    void setLineSpacing(int pixels);
    // The height the wrapped text takes.
    int wrappedTextHeight() const;
    // Paints the label now rather than when the event loop comes round.
    void Refresh() { repaint(); }

signals:
    void clicked();
    void mouseMoved(int button, int shift, float x, float y);
    void foreColorSet(quorvel::VbColor color);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
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
    int m_lineSpacing = 0;
};

} // namespace quorvel
