#include "ButtonExtensions.h"

namespace mira {

namespace {

/// The one target-action connection of a button, kept as a hidden child.
class TargetAction : public QObject {
public:
    using QObject::QObject;
    QMetaObject::Connection connection;
};

} // namespace

void setTargetAction(QAbstractButton *button, QObject *context, std::function<void()> action)
{
    if (!button)
        return;
    const QString name = QStringLiteral("mira-target-action");
    auto *holder = button->findChild<TargetAction *>(name, Qt::FindDirectChildrenOnly);
    if (!holder) {
        holder = new TargetAction(button);
        holder->setObjectName(name);
    }
    QObject::disconnect(holder->connection);
    if (context && action)
        holder->connection = QObject::connect(button, &QAbstractButton::clicked, context, std::move(action));
}

} // namespace mira
