#include "ListViewRegister.h"

#include <QAbstractItemView>
#include <QHash>

namespace mira {

namespace {

/// The registered factories of one view, kept as a hidden child of it.
class Registry : public QObject {
public:
    using QObject::QObject;
    QHash<QByteArray, ListViewRegister::Factory> factories;
};

const QString registryName = QStringLiteral("mira-cell-registry");

Registry *registryOf(QAbstractItemView *view)
{
    return view ? view->findChild<Registry *>(registryName, Qt::FindDirectChildrenOnly) : nullptr;
}

} // namespace

void ListViewRegister::registerFactory(QAbstractItemView *view, const QByteArray &identifier, Factory factory)
{
    if (!view)
        return;
    Registry *registry = registryOf(view);
    if (!registry) {
        registry = new Registry(view);
        registry->setObjectName(registryName);
    }
    registry->factories.insert(identifier, std::move(factory));
}

QWidget *ListViewRegister::make(QAbstractItemView *view, const QByteArray &identifier, QWidget *owner)
{
    const Registry *registry = registryOf(view);
    if (!registry || !registry->factories.contains(identifier))
        qFatal("%s is not registed", identifier.constData());
    return registry->factories.value(identifier)(owner);
}

} // namespace mira
