#include "NotificationCenter.h"

#include <algorithm>

namespace platform {

NotificationCenter::NotificationCenter() = default;

NotificationCenter::~NotificationCenter()
{
    for (const Entry &entry : m_entries)
        QObject::disconnect(entry.teardown);
}

NotificationCenter &NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

NotificationCenter::ObserverId NotificationCenter::addObserver(const QString &name, QObject *context, Observer observer)
{
    const ObserverId id = ++m_lastId;
    Entry entry { id, name, context, context, std::move(observer), {} };
    if (context)
        entry.teardown = QObject::connect(context, &QObject::destroyed, [this, id] { removeObserver(id); });
    m_entries.push_back(std::move(entry));
    return id;
}

void NotificationCenter::removeObserver(ObserverId id)
{
    const auto it = std::find_if(m_entries.begin(), m_entries.end(), [id](const Entry &e) { return e.id == id; });
    if (it == m_entries.end())
        return;
    QObject::disconnect(it->teardown);
    m_entries.erase(it);
}

void NotificationCenter::removeObserver(QObject *context, const QString &name)
{
    std::vector<ObserverId> doomed;
    for (const Entry &entry : m_entries) {
        if (entry.context == context && (name.isEmpty() || entry.name == name))
            doomed.push_back(entry.id);
    }
    for (ObserverId id : doomed)
        removeObserver(id);
}

void NotificationCenter::post(const QString &name, QObject *object, const QVariantMap &userInfo)
{
    deliver(Notification { name, object, userInfo, {} });
}

void NotificationCenter::postValue(const QString &name, const QVariant &value, const QVariantMap &userInfo)
{
    deliver(Notification { name, nullptr, userInfo, value });
}

void NotificationCenter::deliver(const Notification &notification)
{
    // Observers may add or remove observers (a page replacing itself), so the
    // list is walked by id and every entry is looked up again before its call.
    std::vector<ObserverId> ids;
    for (const Entry &entry : m_entries) {
        if (entry.name == notification.name)
            ids.push_back(entry.id);
    }
    for (ObserverId id : ids) {
        const auto it = std::find_if(m_entries.begin(), m_entries.end(), [id](const Entry &e) { return e.id == id; });
        if (it == m_entries.end() || (it->context && !it->guard))
            continue;
        Observer observer = it->observer;
        observer(notification);
    }
}

int NotificationCenter::observerCount(const QString &name) const
{
    return int(std::count_if(
        m_entries.begin(), m_entries.end(), [&name](const Entry &e) { return name.isEmpty() || e.name == name; }));
}

} // namespace platform
