#include "NibClassRegistry.h"

#include <mirakit/interactive/GradientButton.h>
#include <mirakit/interactive/GradientView.h>
#include <mirakit/interactive/InteractiveButton.h>
#include <mirakit/interactive/InteractiveLabel.h>
#include <mirakit/interactive/InteractiveView.h>
#include <mirakit/interactive/LineProgressView.h>

#include <QHash>
#include <QMetaObject>

namespace mira {

namespace {

struct Entry {
    const QMetaObject *metaObject = nullptr;
    NibClassRegistry::Factory factory;
};

template <typename T> void add(QHash<QString, Entry> &entries)
{
    entries.insert(QString::fromLatin1(T::staticMetaObject.className()),
        Entry { &T::staticMetaObject, [](QWidget *parent) -> QWidget * { return new T(parent); } });
}

// Filled on first use, so registrations from other libraries' static
// initialisers never run before the table exists.
QHash<QString, Entry> &entries()
{
    static QHash<QString, Entry> table = [] {
        QHash<QString, Entry> builtIn;
        add<InteractiveView>(builtIn);
        add<InteractiveButton>(builtIn);
        add<InteractiveLabel>(builtIn);
        add<GradientView>(builtIn);
        add<GradientButton>(builtIn);
        add<LineProgressView>(builtIn);
        return builtIn;
    }();
    return table;
}

} // namespace

bool NibClassRegistry::registerClass(const QString &className, const QMetaObject *metaObject, Factory factory)
{
    if (className.isEmpty() || !factory)
        return false;
    entries().insert(className, Entry { metaObject, std::move(factory) });
    return true;
}

bool NibClassRegistry::contains(const QString &className)
{
    return entries().contains(className);
}

const QMetaObject *NibClassRegistry::classForNibName(const QString &nibName)
{
    if (nibName.isEmpty())
        return nullptr;
    if (const auto it = entries().constFind(nibName); it != entries().cend())
        return it->metaObject;
    const QString suffix = QStringLiteral("::") + nibName;
    const QMetaObject *found = nullptr;
    for (auto it = entries().cbegin(); it != entries().cend(); ++it) {
        if (!it.key().endsWith(suffix))
            continue;
        if (found)
            return nullptr;
        found = it->metaObject;
    }
    return found;
}

QWidget *NibClassRegistry::create(const QString &className, QWidget *parent)
{
    const auto it = entries().constFind(className);
    return it == entries().cend() ? nullptr : it->factory(parent);
}

QStringList NibClassRegistry::classNames()
{
    return entries().keys();
}

} // namespace mira
