#pragma once

#include <platform/platform_export.h>

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <cstdint>
#include <functional>
#include <vector>

namespace platform {

/// One delivered notification.
struct Notification {
    QString name;
    QObject *object = nullptr;
    QVariantMap userInfo;
    /// A value carried with the notification (postValue()); invalid otherwise.
    QVariant value;
};

/**
 * A name-keyed notification centre.
 *
 * Observers are called synchronously on the posting thread, in the order
 * they were added. An observer added with a @c context object is removed
 * automatically when that object is destroyed, so a page that registers
 * itself never receives a notification after its teardown.
 *
 * @code
 * auto &center = platform::NotificationCenter::defaultCenter();
 * center.addObserver(QStringLiteral("downloaderProgress"), this,
 *                    [this](const platform::Notification &) { refresh(); });
 * center.post(QStringLiteral("downloaderProgress"));
 * @endcode
 */
class PLATFORM_EXPORT NotificationCenter {
public:
    using ObserverId = std::uint64_t;
    using Observer = std::function<void(const Notification &)>;

    NotificationCenter();
    ~NotificationCenter();
    NotificationCenter(const NotificationCenter &) = delete;
    NotificationCenter &operator=(const NotificationCenter &) = delete;

    /// The process-wide centre.
    static NotificationCenter &defaultCenter();

    /// Calls @p observer for every notification named @p name. With a
    /// non-null @p context the observer lives no longer than that object.
    ObserverId addObserver(const QString &name, QObject *context, Observer observer);

    /// Removes one observer; unknown ids are ignored.
    void removeObserver(ObserverId id);

    /// Removes every observer registered with @p context, or only those for
    /// @p name when a name is given.
    void removeObserver(QObject *context, const QString &name = QString());

    /// Delivers a notification to the observers registered for @p name.
    void post(const QString &name, QObject *object = nullptr, const QVariantMap &userInfo = {});

    /// Delivers a notification that carries @p value instead of an object,
    /// for values that are not QObjects (a number, a text, a list).
    void postValue(const QString &name, const QVariant &value, const QVariantMap &userInfo = {});

    /// Number of observers registered for @p name (all names when empty).
    int observerCount(const QString &name = QString()) const;

private:
    struct Entry {
        ObserverId id;
        QString name;
        QObject *context;
        QPointer<QObject> guard;
        Observer observer;
        QMetaObject::Connection teardown;
    };

    void deliver(const Notification &notification);

    std::vector<Entry> m_entries;
    ObserverId m_lastId = 0;
};

} // namespace platform
