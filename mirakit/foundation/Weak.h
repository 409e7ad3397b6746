#pragma once

#include <QObject>
#include <QPointer>

#include <memory>
#include <type_traits>

namespace mira {

/**
 * A box holding a weak, optional reference to an object, for lists of
 * observers or delegates that must not keep their members alive.
 *
 * For QObject types the box works like QPointer: value() becomes nullptr
 * when the object is destroyed. For any other type it holds a
 * std::weak_ptr and value() answers a std::shared_ptr that is empty once
 * the last owner let go.
 *
 * @code
 * std::vector<mira::Weak<QWidget>> watchers;
 * watchers.emplace_back(button);
 * for (auto &watcher : watchers)
 *     if (QWidget *widget = watcher.value())
 *         widget->update();
 * @endcode
 *
 * Empty by default.
 */
template <typename T, bool IsQObject = std::is_base_of_v<QObject, T>> class Weak;

/// Weak reference to a QObject.
template <typename T> class Weak<T, true> {
public:
    Weak() = default;
    explicit Weak(T *object)
        : m_object(object)
    {
    }

    /// The object, or nullptr when none was set or it has been destroyed.
    T *value() const { return m_object.data(); }
    void setValue(T *object) { m_object = object; }
    /// True when value() is nullptr.
    bool isNull() const { return m_object.isNull(); }

private:
    QPointer<T> m_object;
};

/// Weak reference to an object owned by std::shared_ptr.
template <typename T> class Weak<T, false> {
public:
    Weak() = default;
    explicit Weak(const std::shared_ptr<T> &object)
        : m_object(object)
    {
    }

    /// A new owner of the object, or an empty pointer when none was set or
    /// it has been released.
    std::shared_ptr<T> value() const { return m_object.lock(); }
    void setValue(const std::shared_ptr<T> &object) { m_object = object; }
    /// True when value() would be empty.
    bool isNull() const { return m_object.expired(); }

private:
    std::weak_ptr<T> m_object;
};

} // namespace mira
