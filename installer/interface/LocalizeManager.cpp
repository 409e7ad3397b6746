#include "LocalizeManager.h"

#include "LocalizedString.h"

LocalizeManager::LocalizeManager() = default;

LocalizeManager *LocalizeManager::shared()
{
    // Never destroyed: it must outlive every caller, including ones that run
    // while the application object is being torn down.
    static LocalizeManager *instance = new LocalizeManager;
    return instance;
}

QString LocalizeManager::LocalizedString(const QString &key, const QString &comment)
{
    return localizedString(key, QString(), platform::Bundle::main(), QString(), comment);
}

void LocalizeManager::localizeWithObj(QObject *obj)
{
    if (!obj)
        return;
    for (const QPointer<QObject> &box : std::as_const(m_localizedViews)) {
        if (box == obj)
            return;
    }
    m_localizedViews.removeIf([](const QPointer<QObject> &box) { return box.isNull(); });
    m_localizedViews.append(QPointer<QObject>(obj));
}

QList<QPointer<QObject>> LocalizeManager::localizedViews() const
{
    return m_localizedViews;
}
