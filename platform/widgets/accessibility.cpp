#include "platform/widgets/accessibility.h"

#include "platform/widgets/form.h"
#include "platform/widgets/picturebox.h"
#include "platform/widgets/scrollbar.h"

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

namespace quorvel {
namespace {

class AccessibleScrollBar final : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit AccessibleScrollBar(HScrollBar *bar)
        : QAccessibleWidget(bar, QAccessible::ScrollBar)
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        // AT-SPI hands a value over as a bare number; the description
        // carries its words there.
        if (t == QAccessible::Value || (t == QAccessible::Description && bar()->accessibleDescription().isEmpty()))
            return bar()->valueText();
        return QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override { return bar()->value(); }
    // A value set by an assistive tool moves the thumb as the user would.
    void setCurrentValue(const QVariant &value) override
    {
        bar()->setValue(qBound(bar()->minimum(), value.toInt(), bar()->maximum()));
    }
    QVariant maximumValue() const override { return bar()->maximum(); }
    QVariant minimumValue() const override { return bar()->minimum(); }
    QVariant minimumStepSize() const override { return bar()->singleStep(); }

private:
    HScrollBar *bar() const { return static_cast<HScrollBar *>(widget()); }
};

class AccessiblePictureBox final : public QAccessibleWidget
{
public:
    explicit AccessiblePictureBox(PictureBox *box)
        : QAccessibleWidget(box, box->accessibleRole())
    {
    }
    QAccessible::Role role() const override { return static_cast<PictureBox *>(widget())->accessibleRole(); }
};

class AccessibleForm final : public QAccessibleWidget
{
public:
    explicit AccessibleForm(Form *form)
        : QAccessibleWidget(form, form->accessibleRole())
    {
    }
    QAccessible::Role role() const override { return static_cast<Form *>(widget())->accessibleRole(); }
    // A window kept loaded but never put on the screen is no window to
    // the user.
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (widget()->testAttribute(Qt::WA_DontShowOnScreen))
            state.invisible = true;
        return state;
    }
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

} // namespace

void installAccessibleInterfaces()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleControl);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace quorvel
