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
template <typename T> class UserDefaultCodabled : public detail::DefaultsSlot<T> {
public:
    using detail::DefaultsSlot<T>::DefaultsSlot;

    /// The stored value, or the default.
    T wrappedValue() const
    {
        const QVariant stored = this->defaults().value(this->key());
        if (stored.metaType() != QMetaType::fromType<QByteArray>())
            return this->defaultValue();
        return decodeJsonBox<T>(stored.toByteArray()).value_or(this->defaultValue());
    }

    /// Stores @p value (or removes the entry when it cannot be encoded) and
    /// writes the store to disk.
    void setWrappedValue(const T &value)
    {
        if (const std::optional<QByteArray> data = encodeJsonBox(value))
            this->defaults().setValue(this->key(), *data);
        else
            this->defaults().removeObject(this->key());
        this->defaults().synchronize();
    }
};

} // namespace mira
