#pragma once

#include <QAccessibleWidget>

namespace mira {

class InteractiveButton;

// What assistive technology sees of an InteractiveButton: a push button (a
// check box when checkable) named by its title, mnemonics stripped. Its
// press action runs the same press actions as a click
// (InteractiveButton::performClick()); Qt's own button interface would only
// emit clicked(), a tenth of a second later.
class InteractiveButtonAccessible final : public QAccessibleWidget {
public:
    explicit InteractiveButtonAccessible(InteractiveButton *button);

    QAccessible::Role role() const override;
    QString text(QAccessible::Text type) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString &name) override;

    // The factory to install with QAccessible::installFactory().
    static QAccessibleInterface *create(const QString &className, QObject *object);

private:
    InteractiveButton *button() const;
};

} // namespace mira
