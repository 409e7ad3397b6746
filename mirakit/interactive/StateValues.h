#pragma once

#include <mirakit/interactive/Interactive.h>

#include <QPixmap>

#include <concepts>
#include <optional>
#include <type_traits>

namespace mira {

/**
 * Storing into a per-state table and reading one state back for a
 * designable property.
 *
 * store() puts @p value under exactly @p state and tells whether the table
 * changed, so that setters can return early (and stay silent) when the same
 * value is registered again. Pixmaps compare by their data (cacheKey()),
 * values without an equality (callables) always count as new.
 *
 * read() turns a lookup result into the value a property reports: the value,
 * or a default-constructed one (an invalid colour, an empty string) when
 * nothing applies.
 */
template <typename T> struct StateValues {
    static bool same(const T &a, const T &b)
    {
        if constexpr (std::is_same_v<T, QPixmap>)
            return a.cacheKey() == b.cacheKey();
        else if constexpr (std::is_same_v<T, std::optional<QPixmap>>)
            return a.has_value() == b.has_value() && (!a || a->cacheKey() == b->cacheKey());
        else if constexpr (std::equality_comparable<T>)
            return a == b;
        else
            return false;
    }

    static bool store(StateTable<T> &table, Interactive::State state, const T &value)
    {
        const auto it = table.constFind(state);
        if (it != table.constEnd() && same(*it, value))
            return false;
        table.insert(state, value);
        return true;
    }

    static T read(const std::optional<T> &value) { return value.value_or(T()); }
    static T read(const T &value) { return value; }
};

/// StateValues<T>::store() with T taken from @p table.
template <typename T>
bool storeStateValue(StateTable<T> &table, Interactive::State state, const std::type_identity_t<T> &value)
{
    return StateValues<T>::store(table, state, value);
}

} // namespace mira

/**
 * Declares the designable property lower + Name (normalTextColor) of type
 * Type, with its accessors: the setter (setNormalTextColor) stores one state
 * through setter(value, state), the getter reads the value that applies in
 * the state through getter(state). It notifies through appearanceChanged().
 *
 * Used inside a Q_OBJECT class, in its public section: the macro writes no
 * access specifier, so the accessors get the access of the place it stands in
 * and whatever follows keeps it.
 */
#define MIRA_STATE_PROPERTY(Type, lower, Upper, Name, getter, setter)                                                  \
    Q_PROPERTY(Type lower##Name READ lower##Name WRITE set##Upper##Name NOTIFY appearanceChanged STORED false)         \
    Type lower##Name() const                                                                                           \
    {                                                                                                                  \
        return ::mira::StateValues<Type>::read(getter(::mira::Interactive::State::lower));                             \
    }                                                                                                                  \
    void set##Upper##Name(const Type &value)                                                                           \
    {                                                                                                                  \
        setter(value, ::mira::Interactive::State::lower);                                                              \
    }

/// The designable properties of all five states: normalName, hoveredName,
/// clickedName, selectedName and disabledName. Like MIRA_STATE_PROPERTY(), it
/// belongs in the public section.
#define MIRA_STATE_PROPERTIES(Type, Name, getter, setter)                                                              \
    MIRA_STATE_PROPERTY(Type, normal, Normal, Name, getter, setter)                                                    \
    MIRA_STATE_PROPERTY(Type, hovered, Hovered, Name, getter, setter)                                                  \
    MIRA_STATE_PROPERTY(Type, clicked, Clicked, Name, getter, setter)                                                  \
    MIRA_STATE_PROPERTY(Type, selected, Selected, Name, getter, setter)                                                \
    MIRA_STATE_PROPERTY(Type, disabled, Disabled, Name, getter, setter)
