#include "InteractiveButtonAccessible_p.h"

#include <mirakit/interactive/InteractiveButton.h>

namespace mira {

InteractiveButtonAccessible::InteractiveButtonAccessible(InteractiveButton *button)
    : QAccessibleWidget(button, QAccessible::Button)
{
}

InteractiveButton *InteractiveButtonAccessible::button() const
{
    return static_cast<InteractiveButton *>(widget());
}

QAccessible::Role InteractiveButtonAccessible::role() const
{
    // Buttons made of a check mark image are check boxes (radio buttons when exclusive), as Qt's are.
    if (button()->isCheckable())
        return button()->autoExclusive() ? QAccessible::RadioButton : QAccessible::CheckBox;
    return QAccessible::Button;
}

QString InteractiveButtonAccessible::text(QAccessible::Text type) const
{
    const QString own = QAccessibleWidget::text(type);
    if (type != QAccessible::Name || !own.isEmpty())
        return own;
    QString title = button()->text();
    // "&Install" reads "Install", "R&&D" reads "R&D".
    for (qsizetype at = title.indexOf(QLatin1Char('&')); at >= 0 && at < title.size();
         at = title.indexOf(QLatin1Char('&'), at + 1))
        title.remove(at, 1);
    return title;
}

QAccessible::State InteractiveButtonAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = button()->isCheckable();
    state.checked = button()->isChecked();
    state.pressed = button()->isDown();
    return state;
}

QStringList InteractiveButtonAccessible::actionNames() const
{
    QStringList names;
    if (button()->isEnabled()) {
        names << pressAction();
        if (button()->isCheckable())
            names << toggleAction();
    }
    return names + QAccessibleWidget::actionNames();
}

void InteractiveButtonAccessible::doAction(const QString &name)
{
    if ((name == pressAction() || (name == toggleAction() && button()->isCheckable())) && button()->isEnabled()) {
        button()->performClick();
        return;
    }
    QAccessibleWidget::doAction(name);
}

QAccessibleInterface *InteractiveButtonAccessible::create(const QString &, QObject *object)
{
    if (auto *button = qobject_cast<InteractiveButton *>(object))
        return new InteractiveButtonAccessible(button);
    return nullptr;
}

} // namespace mira
