#include "AccessibleRole.h"

#include <mirakit/interactive/InteractiveButton.h>

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QLabel>

namespace {

const char roleProperty[] = "_prismora_accessibleRole";

class RoleAccessible final : public QAccessibleWidget {
public:
    RoleAccessible(QWidget *widget, AccessibleRole role)
        : QAccessibleWidget(widget, qtRole(role))
        , m_role(role)
    {
    }

    QString text(QAccessible::Text type) const override
    {
        const QString own = QAccessibleWidget::text(type);
        if (type != QAccessible::Name || !own.isEmpty())
            return own;
        if (const auto *label = qobject_cast<const QLabel *>(widget()))
            return label->text();
        if (const auto *button = qobject_cast<const QAbstractButton *>(widget()))
            return button->text();
        return own;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (m_role == AccessibleRole::decoration) {
            state.invisible = true;
            state.focusable = false;
        }
        return state;
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (m_role == AccessibleRole::link && widget()->isEnabled())
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString &name) override
    {
        auto *button = qobject_cast<QAbstractButton *>(widget());
        if (m_role == AccessibleRole::link && name == pressAction() && button && button->isEnabled()) {
            // MiraKit buttons run their press actions around the click.
            if (auto *interactive = qobject_cast<mira::InteractiveButton *>(button))
                interactive->performClick();
            else
                button->click();
            return;
        }
        QAccessibleWidget::doAction(name);
    }

private:
    static QAccessible::Role qtRole(AccessibleRole role)
    {
        switch (role) {
        case AccessibleRole::heading:
            return QAccessible::Heading;
        case AccessibleRole::link:
            return QAccessible::Link;
        case AccessibleRole::decoration:
            return QAccessible::Graphic;
        case AccessibleRole::frame:
            return QAccessible::Window;
        }
        return QAccessible::Client;
    }

    const AccessibleRole m_role;
};

QAccessibleInterface *roleFactory(const QString &, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    const QVariant role = widget ? widget->property(roleProperty) : QVariant();
    if (!role.isValid())
        return nullptr;
    return new RoleAccessible(widget, AccessibleRole(role.toInt()));
}

} // namespace

void setAccessibleRole(QWidget *widget, AccessibleRole role)
{
    if (!widget || widget->property(roleProperty) == QVariant(int(role)))
        return;
    // The factory installed last is asked first: put ours after any that the
    // widget's own class installed when it was made (MiraKit's buttons do).
    QAccessible::removeFactory(roleFactory);
    QAccessible::installFactory(roleFactory);
    // An interface made before the role was known (setting a text makes one
    // while assistive technology listens) is dropped, so the next query
    // builds one with the new role.
    if (QAccessibleInterface *old = QAccessible::queryAccessibleInterface(widget))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(old));
    widget->setProperty(roleProperty, int(role));
}
