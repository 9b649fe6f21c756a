// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/widgets/accessibility.h"

#include "platform/widgets/form.h"
#include "platform/widgets/picturebox.h"
#include "platform/widgets/scrollbar.h"

#include <QAccessibleWidget>
#include <QLoggingCategory>
#include <QPointer>

namespace quorvel {
namespace {

// An accessible object that no widget stands for: a part of a widget that a
// screen reader can be sent to (a picture box's marked spot) or told of (a
// window's passing message). Qt's accessibility cache owns it; the interface
// of its widget has it deleted, by its id, as the cache may have deleted it
// already when the program ends.
class AccessiblePart final : public QAccessibleInterface
{
public:
    AccessiblePart(QWidget *owner, QAccessible::Role role, QAccessibleInterface *parent, bool focusable = false)
        : m_owner(owner)
        , m_role(role)
        , m_parent(parent)
        , m_focusable(focusable)
        , m_id(QAccessible::registerAccessibleInterface(this))
    {
    }

    QAccessible::Id id() const { return m_id; }

    bool isValid() const override { return m_owner; }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_owner ? m_owner->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return m_parent; }
    QAccessibleInterface *child(int index) const override { return index == 0 ? m_child : nullptr; }
    int childCount() const override { return m_child ? 1 : 0; }
    int indexOfChild(const QAccessibleInterface *child) const override { return child && child == m_child ? 0 : -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override { return t == QAccessible::Name ? m_text : QString(); }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override { return m_owner ? m_rect.translated(m_owner->mapToGlobal(QPoint())) : QRect(); }
    QAccessible::Role role() const override { return m_role; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.readOnly = true;
        state.focusable = m_focusable;
        state.focused = m_focused && m_owner && m_owner->hasFocus();
        return state;
    }

    // Where it stands on its widget, in the widget's pixels.
    void place(const QRect &rect) { m_rect = rect; }
    void say(const QString &text) { m_text = text; }
    void setFocused(bool focused) { m_focused = focused; }
    void hold(QAccessibleInterface *child) { m_child = child; }

private:
    QPointer<QWidget> m_owner;
    QAccessible::Role m_role;
    QAccessibleInterface *m_parent;
    QAccessibleInterface *m_child = nullptr;
    bool m_focusable;
    QAccessible::Id m_id;
    QString m_text;
    QRect m_rect;
    bool m_focused = false;
};

class AccessibleScrollBar final : public QAccessibleWidget
{
public:
    explicit AccessibleScrollBar(HScrollBar *bar)
        : QAccessibleWidget(bar, QAccessible::ScrollBar)
    {
    }

    // No numeric value: a screen reader would speak the bare number; the
    // name carries the value in its owner's words instead.
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return bar()->spokenText();
        if (t == QAccessible::Value)
            return bar()->valueText();
        return QAccessibleWidget::text(t);
    }

private:
    HScrollBar *bar() const { return static_cast<HScrollBar *>(widget()); }
};

// The marked spot is an item of the picture that takes a screen reader's
// focus. A screen reader says nothing when the focus lands on the object it
// is on already, so two items take turns; and as Orca takes two items of one
// name and one place on the screen for one, they stand on the marked line
// without a width of their own, so that the same position marked again is
// heard again.
class AccessiblePictureBox final : public QAccessibleWidget
{
public:
    explicit AccessiblePictureBox(PictureBox *box)
        : QAccessibleWidget(box, QAccessible::Chart)
        , m_spots{new AccessiblePart(box, QAccessible::ListItem, this, true),
                  new AccessiblePart(box, QAccessible::ListItem, this, true)}
        , m_spotIds{m_spots[0]->id(), m_spots[1]->id()}
    {
    }
    ~AccessiblePictureBox() override
    {
        for (const QAccessible::Id id : m_spotIds)
            QAccessible::deleteAccessibleInterface(id);
    }

    // The controls on the picture (labels over it), then the marked spot
    // while there is one to hear.
    int childCount() const override { return QAccessibleWidget::childCount() + (hasSpot() ? 1 : 0); }
    QAccessibleInterface *child(int index) const override
    {
        if (hasSpot() && index == spotIndex())
            return m_spots[m_current];
        return QAccessibleWidget::child(index);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (child && child == m_spots[m_current])
            return hasSpot() ? spotIndex() : -1;
        return QAccessibleWidget::indexOfChild(child);
    }

    void focusSpot(const QString &text)
    {
        m_spots[m_current]->setFocused(false);
        m_current = 1 - m_current;
        AccessiblePart *spot = m_spots[m_current];
        spot->say(text);
        spot->place(QRect(box()->surface().toPixel(QPointF(box()->marker().value_or(0), 0)).x(), 0, 0, box()->height()));
        spot->setFocused(true);
        QAccessibleEvent focused(box(), QAccessible::Focus);
        focused.setChild(spotIndex());
        QAccessible::updateAccessibility(&focused);
    }

private:
    PictureBox *box() const { return static_cast<PictureBox *>(widget()); }
    bool hasSpot() const { return box()->marker() && box()->hasFocus(); }
    int spotIndex() const { return QAccessibleWidget::childCount(); }

    AccessiblePart *m_spots[2];
    QAccessible::Id m_spotIds[2];
    int m_current = 0;
};

// A window's passing messages: a status line that shows nothing on the
// screen holds a notification, which a screen reader reads out when it
// appears, and, being the status line's, without calling it one.
class AccessibleForm final : public QAccessibleWidget
{
public:
    explicit AccessibleForm(Form *form)
        : QAccessibleWidget(form, QAccessible::Window)
        , m_statusLine(new AccessiblePart(form, QAccessible::StatusBar, this))
        , m_message(new AccessiblePart(form, QAccessible::Notification, m_statusLine))
        , m_partIds{m_statusLine->id(), m_message->id()}
    {
        m_statusLine->hold(m_message);
    }
    ~AccessibleForm() override
    {
        for (const QAccessible::Id id : m_partIds)
            QAccessible::deleteAccessibleInterface(id);
    }

    // An owned window (setOwnerWindow) is a dialog, which waits for the user.
    QAccessible::Role role() const override
    {
        return widget()->windowType() == Qt::Dialog ? QAccessible::Dialog : QAccessible::Window;
    }
    // A window kept loaded but never put on the screen is no window to
    // the user.
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (widget()->testAttribute(Qt::WA_DontShowOnScreen))
            state.invisible = true;
        return state;
    }

    int childCount() const override { return QAccessibleWidget::childCount() + 1; }
    QAccessibleInterface *child(int index) const override
    {
        return index == QAccessibleWidget::childCount() ? m_statusLine : QAccessibleWidget::child(index);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child == m_statusLine ? QAccessibleWidget::childCount() : QAccessibleWidget::indexOfChild(child);
    }

    void announce(const QString &text)
    {
        m_message->say(text);
        QAccessibleEvent shown(m_message, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&shown);
    }

private:
    AccessiblePart *m_statusLine;
    AccessiblePart *m_message;
    QAccessible::Id m_partIds[2];
};

QAccessibleInterface *accessibleControl(const QString &className, QObject *object)
{
    if (className == QLatin1String(HScrollBar::staticMetaObject.className()))
        return new AccessibleScrollBar(static_cast<HScrollBar *>(object));
    if (className == QLatin1String(PictureBox::staticMetaObject.className()))
        return new AccessiblePictureBox(static_cast<PictureBox *>(object));
    if (className == QLatin1String(Form::staticMetaObject.className()))
        return new AccessibleForm(static_cast<Form *>(object));
    return nullptr;
}

// Qt's AT-SPI bridge warns at every change of a scroll bar's value when the
// bar, as ours, offers no numeric value: a warning for each step of the
// thumb, under a screen reader, about a choice made on purpose.
QLoggingCategory::CategoryFilter qtCategoryFilter = nullptr;

void quietValueWarnings(QLoggingCategory *category)
{
    if (qtCategoryFilter)
        qtCategoryFilter(category);
    if (qstrcmp(category->categoryName(), "qt.accessibility.atspi") == 0)
        category->setEnabled(QtWarningMsg, false);
}

} // namespace

void installAccessibleInterfaces()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleControl);
        qtCategoryFilter = QLoggingCategory::installFilter(quietValueWarnings);
        return true;
    }();
    Q_UNUSED(installed);
}

void announce(QWidget *widget, const QString &text)
{
    if (!widget)
        return;
    if (auto *form = dynamic_cast<AccessibleForm *>(QAccessible::queryAccessibleInterface(widget->window())))
        form->announce(text);
}

void focusMarkedSpot(PictureBox *box, const QString &text)
{
    if (!box->marker() || !box->hasFocus())
        return;
    if (auto *chart = dynamic_cast<AccessiblePictureBox *>(QAccessible::queryAccessibleInterface(box)))
        chart->focusSpot(text);
}

} // namespace quorvel
