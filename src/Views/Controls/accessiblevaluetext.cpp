#include "accessiblevaluetext.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QQuickItem>
#include <QQuickWindow>

namespace {

// The slider's interface, with the attached text as its value.
class SliderWithValueText : public QAccessibleObject, public QAccessibleValueInterface, public QAccessibleActionInterface
{
public:
    explicit SliderWithValueText(QQuickItem *slider)
        : QAccessibleObject(slider)
    {
    }

    [[nodiscard]] QQuickItem *item() const { return static_cast<QQuickItem *>(object()); }

    [[nodiscard]] QWindow *window() const override { return item()->window(); }
    [[nodiscard]] QAccessible::Role role() const override { return QAccessible::Slider; }

    [[nodiscard]] QAccessible::State state() const override
    {
        QAccessible::State s;
        s.focusable = true;
        s.focused = item()->hasActiveFocus();
        s.disabled = !item()->isEnabled();
        s.invisible = !item()->isVisible();
        s.offscreen = !item()->window() || !item()->window()->isVisible();
        return s;
    }

    [[nodiscard]] QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Value:
            if (const AccessibleValueText *attached = AccessibleValueText::of(item()))
                return attached->text();
            return item()->property("value").toString();
        case QAccessible::Name: return accessibleProperty("name");
        case QAccessible::Description: return accessibleProperty("description");
        default: return {};
        }
    }

    [[nodiscard]] QRect rect() const override
    {
        const QQuickWindow *w = item()->window();
        if (!w)
            return {};
        const QRectF scene = item()->mapRectToScene(QRectF(0, 0, item()->width(), item()->height()));
        return QRect(w->mapToGlobal(scene.topLeft().toPoint()), scene.size().toSize());
    }

    // The nearest accessible item above, or the window at the top, as for every other item of the scene.
    [[nodiscard]] QAccessibleInterface *parent() const override
    {
        QQuickWindow *w = item()->window();
        for (QQuickItem *up = item()->parentItem(); up; up = up->parentItem()) {
            if (w && up == w->contentItem())
                return QAccessible::queryAccessibleInterface(w);
            if (QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(up))
                return iface;
        }
        return w ? QAccessible::queryAccessibleInterface(w) : nullptr;
    }
    [[nodiscard]] int childCount() const override { return 0; }
    [[nodiscard]] QAccessibleInterface *child(int) const override { return nullptr; }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    [[nodiscard]] QAccessibleInterface *childAt(int, int) const override { return nullptr; }

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        if (t == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface *>(this);
        return QAccessibleObject::interface_cast(t);
    }

    [[nodiscard]] QVariant currentValue() const override { return item()->property("value"); }
    void setCurrentValue(const QVariant &value) override
    {
        item()->setProperty("value", value);
        moved();
    }
    [[nodiscard]] QVariant maximumValue() const override { return item()->property("to"); }
    [[nodiscard]] QVariant minimumValue() const override { return item()->property("from"); }
    [[nodiscard]] QVariant minimumStepSize() const override { return item()->property("stepSize"); }

    [[nodiscard]] QStringList actionNames() const override
    {
        return {increaseAction(), decreaseAction()};
    }
    void doAction(const QString &name) override
    {
        if (name != increaseAction() && name != decreaseAction())
            return;
        QMetaObject::invokeMethod(item(), name == increaseAction() ? "increase" : "decrease");
        moved();
    }
    [[nodiscard]] QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    // The slider's owner writes what the user sets when the slider reports a move.
    void moved() const { QMetaObject::invokeMethod(item(), "moved"); }

    // A property of the item's `Accessible` attached object, which is one of its children.
    [[nodiscard]] QString accessibleProperty(const char *name) const
    {
        for (const QObject *child : item()->children()) {
            if (child->inherits("QQuickAccessibleAttached"))
                return child->property(name).toString();
        }
        return {};
    }
};

QAccessibleInterface *sliderWithValueText(const QString &, QObject *object)
{
    auto *item = qobject_cast<QQuickItem *>(object);
    if (!item || !AccessibleValueText::of(item))
        return nullptr;
    return new SliderWithValueText(item);
}

} // namespace

AccessibleValueText::AccessibleValueText(QObject *slider)
    : QObject(slider)
{
    // After Qt Quick's own factory, which is installed when its module loads: the last factory installed is asked
    // first.
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(&sliderWithValueText);
        return true;
    }();
}

void AccessibleValueText::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    Q_EMIT textChanged();
    if (auto *item = qobject_cast<QQuickItem *>(parent()); item && QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(item, item->property("value"));
        QAccessible::updateAccessibility(&event);
    }
}

AccessibleValueText *AccessibleValueText::of(QObject *object)
{
    return qobject_cast<AccessibleValueText *>(qmlAttachedPropertiesObject<AccessibleValueText>(object, false));
}

AccessibleValueText *AccessibleValueText::qmlAttachedProperties(QObject *slider)
{
    return new AccessibleValueText(slider);
}
