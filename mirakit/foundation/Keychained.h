#pragma once

#include <mirakit/foundation/JsonCodec.h>
#include <mirakit/foundation/KeyChainManager.h>

namespace mira {

/**
 * A property of any JSON-codable type (see JsonCodec) kept in the keychain
 * under one key, through KeyChainManager.
 *
 * The item holds the value as a one-element JSON array (["abc"], [42]). A
 * missing item, one that is not such an array of T, or a keychain that
 * fails reads as the default given at construction; the optional @p error
 * of each call says why a keychain call failed. Writing a value that cannot
 * be encoded (NaN) deletes the item. The default itself never changes.
 *
 * Reads and writes block until the keychain answers (see KeyChainManager).
 *
 * @code
 * mira::Keychained<QString> token(QStringLiteral("apiToken"), QString());
 * token.setWrappedValue(QStringLiteral("s3cret"));
 * const QString current = token.wrappedValue();
 * @endcode
 */
template <typename T> class Keychained {
public:
    Keychained(QString key, T defaultValue)
        : m_key(std::move(key))
        , m_default(std::move(defaultValue))
    {
    }

    const QString &key() const { return m_key; }

    /// The stored value, or the default.
    T wrappedValue(QString *error = nullptr) const
    {
        const std::optional<QByteArray> data = KeyChainManager::value(m_key, error);
        if (!data)
            return m_default;
        return decodeJsonBox<T>(*data).value_or(m_default);
    }

    /// Stores @p value; an unencodable value deletes the item. True when the keychain took the change.
    bool setWrappedValue(const T &value, QString *error = nullptr)
    {
        if (const std::optional<QByteArray> data = encodeJsonBox(value))
            return KeyChainManager::setValue(*data, m_key, error);
        return KeyChainManager::removeValue(m_key, error);
    }

private:
    QString m_key;
    T m_default;
};

} // namespace mira
