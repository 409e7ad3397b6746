#pragma once

#include <functional>
#include <utility>

namespace mira {

/**
 * A value that reports every write to an optional callback.
 *
 * Blocked is a reference holder: share it by pointer or reference, not by
 * copy (copying would duplicate the callback), which is why it cannot be
 * copied.
 *
 * @code
 * mira::Blocked<int> progress(0);
 * progress.setProjectedValue([this](const int &value) { bar->setValue(value); });
 * progress.setWrappedValue(40); // the bar shows 40
 * @endcode
 *
 * Every write calls the callback, even when the new value equals the old
 * one. The callback may replace or clear itself, or write the value again,
 * while it runs; a write from inside the callback calls the callback again
 * (so it must stop by itself).
 */
template <typename T> class Blocked {
public:
    using Callback = std::function<void(const T &)>;

    /// Holds @p value (default: a value-initialised T) and no callback.
    explicit Blocked(T value = T())
        : m_value(std::move(value))
    {
    }
    Blocked(const Blocked &) = delete;
    Blocked &operator=(const Blocked &) = delete;

    /// The current value.
    const T &wrappedValue() const { return m_value; }

    /// Stores @p value, then calls the callback, if set, with it.
    void setWrappedValue(T value)
    {
        m_value = std::move(value);
        if (!m_callback)
            return;
        // Call a copy: the callback may replace or clear m_callback while it
        // runs, which would otherwise destroy the function being executed.
        const Callback callback = m_callback;
        callback(m_value);
    }

    /// The callback; empty by default.
    const Callback &projectedValue() const { return m_callback; }

    /// Sets the callback called on every write; an empty function clears it.
    void setProjectedValue(Callback callback) { m_callback = std::move(callback); }

private:
    T m_value;
    Callback m_callback;
};

} // namespace mira
