#pragma once

#include <functional>
#include <type_traits>
#include <utility>

namespace mira {

/**
 * Sets several members of one object in a single expression.
 *
 * set() takes a pointer to a data member or to a one-argument setter
 * function. For a value subject each step works on a copy, and subject()
 * returns the result; for a pointer subject (a widget, say) every step
 * changes the pointed-to object itself.
 *
 * @code
 * const QRect frame = mira::Setter(QRect()).set(&QRect::setWidth, 80).set(&QRect::setHeight, 24).subject();
 * mira::Setter(button)
 *     .set(&QPushButton::setText, QStringLiteral("Install"))
 *     .set(&QWidget::setEnabled, false)
 *     .apply();
 * @endcode
 */
template <typename T> class Setter {
public:
    explicit Setter(T subject)
        : m_subject(std::move(subject))
    {
    }

    /// A Setter whose subject has @p member (data member or setter) set to @p value.
    template <typename Member, typename V> Setter set(Member member, V &&value) const
    {
        static_assert(std::is_member_pointer_v<Member>, "set() takes a pointer to a member");
        T copy = m_subject;
        if constexpr (std::is_member_object_pointer_v<Member>)
            std::invoke(member, copy) = std::forward<V>(value);
        else
            std::invoke(member, copy, std::forward<V>(value));
        return Setter(std::move(copy));
    }

    /// Calls @p body with the subject (by reference) and goes on with the result.
    /// Spelled as callers know it.
    template <typename F> Setter excute(F &&body) const
    {
        T copy = m_subject;
        std::invoke(std::forward<F>(body), copy);
        return Setter(std::move(copy));
    }

    /// Ends a chain; does nothing.
    void apply() const { }

    const T &subject() const { return m_subject; }

private:
    T m_subject;
};

} // namespace mira
