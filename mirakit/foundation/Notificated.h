#pragma once

#include <platform/NotificationCenter.h>

#include <QVariant>

#include <utility>

namespace mira {

/**
 * A value that announces every change on the default notification centre.
 *
 * Each write, even one that does not change the value, posts the
 * notification named projectedValue() with the new value as the
 * notification's value (a QVariant holding a T). Observers run
 * synchronously on the writing thread, before the write returns.
 *
 * @code
 * mira::Notificated<int> unread(0, QStringLiteral("com.example.unreadChanged"));
 * platform::NotificationCenter::defaultCenter().addObserver(unread.projectedValue(), this,
 *     [this](const platform::Notification &n) { badge->setNumber(n.value.toInt()); });
 * unread.setWrappedValue(3);                  // the badge shows 3
 * unread.modify([](int &count) { ++count; }); // and then 4
 * @endcode
 */
template <typename T> class Notificated {
public:
    /// Holds @p value and posts under @p name; with @p trigger the first
    /// notification is posted at once.
    Notificated(T value, QString name, bool trigger = false)
        : m_value(std::move(value))
        , m_name(std::move(name))
    {
        if (trigger)
            post();
    }

    const T &wrappedValue() const { return m_value; }

    /// Stores @p value, then posts it.
    void setWrappedValue(T value)
    {
        m_value = std::move(value);
        post();
    }

    /// Changes the value in place with @p change (called with a T&), then posts it.
    template <typename F> void modify(F &&change)
    {
        std::forward<F>(change)(m_value);
        post();
    }

    /// The notification name.
    const QString &projectedValue() const { return m_name; }

private:
    void post() const { platform::NotificationCenter::defaultCenter().postValue(m_name, QVariant::fromValue(m_value)); }

    T m_value;
    QString m_name;
};

} // namespace mira
