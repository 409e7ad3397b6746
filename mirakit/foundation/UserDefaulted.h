#pragma once

#include <mirakit/foundation/DefaultsValue.h>

#include <platform/UserDefaults.h>

#include <memory>
#include <optional>

namespace mira {

namespace detail {
/// What every defaults wrapper keeps: its key, its default, and the store
/// of its suite, opened on first use and shared by copies.
template <typename T> class DefaultsSlot {
public:
    DefaultsSlot(QString key, T defaultValue, std::optional<QString> suiteName = std::nullopt)
        : m_key(std::move(key))
        , m_default(std::move(defaultValue))
        , m_suiteName(std::move(suiteName))
    {
    }

    const QString &key() const { return m_key; }

    /// The store this wrapper reads and writes: the suite's, or the standard
    /// store when there is no name or the platform refuses it (a name with
    /// path components, for one).
    platform::UserDefaults &defaults() const
    {
        if (!m_store) {
            if (m_suiteName && platform::UserDefaults::isValidSuiteName(*m_suiteName))
                m_store = std::make_shared<platform::UserDefaults>(*m_suiteName);
            else
                m_store = std::shared_ptr<platform::UserDefaults>(&platform::UserDefaults::standard(), [](auto *) {});
        }
        return *m_store;
    }

protected:
    const T &defaultValue() const { return m_default; }

private:
    QString m_key;
    T m_default;
    std::optional<QString> m_suiteName;
    mutable std::shared_ptr<platform::UserDefaults> m_store;
};
} // namespace detail

/**
 * A property kept in the user defaults under one key.
 *
 * Every read goes to the store; a missing entry, or one that is not a T,
 * reads as the default given at construction (see fromDefaultsValue() for
 * how stored text becomes numbers and Booleans). Every write stores the
 * value and writes the store to disk.
 *
 * With a suite name the value lives in that suite's store, shared with
 * other programs that open the same suite; a name the platform refuses
 * (empty, or with path components such as "../x") falls back to the
 * standard store. The store is opened on first use and kept; copies of a
 * wrapper share it.
 *
 * @code
 * mira::UserDefaulted<int> launches(QStringLiteral("launchCount"), 0);
 * launches.setWrappedValue(launches.wrappedValue() + 1);
 * @endcode
 */
template <typename T> class UserDefaulted : public detail::DefaultsSlot<T> {
public:
    using detail::DefaultsSlot<T>::DefaultsSlot;

    /// The stored value, or the default.
    T wrappedValue() const
    {
        return fromDefaultsValue<T>(this->defaults().value(this->key())).value_or(this->defaultValue());
    }

    /// Stores @p value and writes the store to disk.
    void setWrappedValue(const T &value)
    {
        this->defaults().setValue(this->key(), QVariant::fromValue(value));
        this->defaults().synchronize();
    }
};

} // namespace mira
