#pragma once

#include <mirakit/foundation/JsonCodec.h>
#include <mirakit/foundation/UserDefaulted.h>

namespace mira {

/**
 * A property of any JSON-codable type (see JsonCodec) kept in the user
 * defaults under one key.
 *
 * The entry holds bytes: the value as a one-element JSON array. An entry
 * that is not such bytes (a plain value written by UserDefaulted, say)
 * reads as the default. A value that cannot be encoded (NaN) removes the
 * entry. Suites behave as for UserDefaulted.
 *
 * @code
 * mira::UserDefaultCodabled<QStringList> recent(QStringLiteral("recentFiles"), {});
 * recent.setWrappedValue({QStringLiteral("/tmp/a.txt")});
 * @endcode
 */
template <typename T> class UserDefaultCodabled {
public:
    UserDefaultCodabled(QString key, T defaultValue, std::optional<QString> suiteName = std::nullopt)
        : m_key(std::move(key))
        , m_default(std::move(defaultValue))
        , m_suiteName(std::move(suiteName))
    {
    }

    const QString &key() const { return m_key; }

    /// The stored value, or the default.
    T wrappedValue() const
    {
        const QVariant stored = defaults().value(m_key);
        if (stored.metaType() != QMetaType::fromType<QByteArray>())
            return m_default;
        return decodeJsonBox<T>(stored.toByteArray()).value_or(m_default);
    }

    /// Stores @p value (or removes the entry when it cannot be encoded) and
    /// writes the store to disk.
    void setWrappedValue(const T &value)
    {
        if (const std::optional<QByteArray> data = encodeJsonBox(value))
            defaults().setValue(m_key, *data);
        else
            defaults().removeObject(m_key);
        defaults().synchronize();
    }

    /// The store this wrapper reads and writes.
    platform::UserDefaults &defaults() const
    {
        if (!m_store)
            m_store = detail::openDefaults(m_suiteName);
        return *m_store;
    }

private:
    QString m_key;
    T m_default;
    std::optional<QString> m_suiteName;
    mutable std::shared_ptr<platform::UserDefaults> m_store;
};

} // namespace mira
