#pragma once

#include <mirakit/mirakit_export.h>

#include <QHash>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QPointF>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>

namespace mira {

/**
 * The interaction-state vocabulary shared by every stateful control.
 *
 * Interactive itself carries no data; it groups three types:
 *
 * - State: one exact combination of the flags normal, selected, disabled,
 *   clicked (a press is in progress) and hovered (the pointer is inside).
 *   normal is a bit of its own (raw value 1), not the empty set.
 * - Event: the pointer events a control reports to its owner.
 * - GradientDirection: the default geometry of a gradient background.
 *
 * Appearance is registered per State in tables (StateTable) and looked up
 * through a fixed fallback order, statePriority(), with adapterValue():
 *
 * @code
 * mira::StateTable<QColor> colors;
 * colors.insert(mira::Interactive::State::normal, Qt::white);
 * colors.insert(mira::Interactive::State::hovered, Qt::lightGray);
 * // selected + hovered falls back to selected, then to normal: white.
 * auto color = mira::adapterValue(colors, mira::statePriority(mira::Interactive::State::selected
 *                                                              | mira::Interactive::State::hovered));
 * @endcode
 */
class MIRAKIT_EXPORT Interactive {
    Q_GADGET
public:
    Interactive() = default;

    /// A set of interaction flags over an unsigned 64-bit raw value, compared and hashed by raw value.
    class State {
    public:
        using RawValue = std::uint64_t;

        static const State normal; ///< 1: none of the other flags holds
        static const State selected; ///< 2: toggled on
        static const State disabled; ///< 4: not enabled
        static const State clicked; ///< 8: a press is in progress
        static const State hovered; ///< 16: the pointer is inside

        /// The empty set (raw value 0), which is not normal.
        constexpr State() = default;
        constexpr explicit State(RawValue rawValue)
            : m_raw(rawValue)
        {
        }
        /// The union of @p members; an empty list gives raw value 0.
        constexpr State(std::initializer_list<State> members)
        {
            for (State member : members)
                m_raw |= member.m_raw;
        }

        constexpr RawValue rawValue() const { return m_raw; }
        constexpr bool isEmpty() const { return m_raw == 0; }
        constexpr bool contains(State member) const { return (m_raw & member.m_raw) == member.m_raw; }

        constexpr State united(State other) const { return State(m_raw | other.m_raw); }
        constexpr State intersection(State other) const { return State(m_raw & other.m_raw); }
        constexpr State symmetricDifference(State other) const { return State(m_raw ^ other.m_raw); }
        constexpr State subtracting(State other) const { return State(m_raw & ~other.m_raw); }
        constexpr bool isSubset(State other) const { return (m_raw & other.m_raw) == m_raw; }
        constexpr bool isSuperset(State other) const { return other.isSubset(*this); }
        constexpr bool isDisjoint(State other) const { return (m_raw & other.m_raw) == 0; }

        /// Adds @p member; true when it was not contained before.
        constexpr bool insert(State member)
        {
            const bool inserted = !contains(member);
            m_raw |= member.m_raw;
            return inserted;
        }
        /// Removes @p member; answers the part of it that was contained, or nothing.
        constexpr std::optional<State> remove(State member)
        {
            const State removed = intersection(member);
            m_raw &= ~member.m_raw;
            return removed.isEmpty() ? std::nullopt : std::optional<State>(removed);
        }
        /// Adds @p member; answers the part of it that was contained before, or nothing.
        constexpr std::optional<State> update(State member)
        {
            const State previous = intersection(member);
            m_raw |= member.m_raw;
            return previous.isEmpty() ? std::nullopt : std::optional<State>(previous);
        }

        constexpr State operator|(State other) const { return united(other); }
        constexpr State operator&(State other) const { return intersection(other); }
        constexpr State operator^(State other) const { return symmetricDifference(other); }
        constexpr State operator-(State other) const { return subtracting(other); }
        constexpr State &operator|=(State other) { return *this = united(other); }
        friend constexpr bool operator==(State a, State b) = default;

    private:
        RawValue m_raw = 0;
    };

    /// The pointer events a control reports through its event actions.
    enum class Event {
        mouseDown, ///< a press began on an enabled control
        mouseUpInside, ///< the press ended with the pointer inside
        mouseUpOutside, ///< the press ended with the pointer outside
    };
    Q_ENUM(Event)

    /// The direction of a gradient background (see info()).
    enum class GradientDirection {
        horizontal, ///< left to right: (0, 0.5) → (1, 0.5)
        vertical, ///< top to bottom: (0.5, 1) → (0.5, 0)
        obliqueUpward, ///< bottom left to top right: (0, 0) → (1, 1)
        obliqueDescent, ///< top left to bottom right: (0, 1) → (1, 0)
    };
    Q_ENUM(GradientDirection)

    /// Default gradient geometry in the unit square, x to the right and y upwards.
    struct GradientInfo {
        QPointF start;
        QPointF end;
        QList<qreal> locations;
    };
    /// The default end points of @p direction and the default stops [0, 1].
    static GradientInfo info(GradientDirection direction);
};

/// A per-state table: values registered under exact states.
template <typename T> using StateTable = QHash<Interactive::State, T>;

/// The value an event action receives: the control that fired it (as a
/// QObject pointer), or a label item's character range.
using EventAction = std::function<void(const QVariant &sender)>;

/// The table of event actions, keyed by event.
using EventActionTable = QHash<Interactive::Event, EventAction>;

/// The start and end point of a gradient in the unit square.
struct GradientPoints {
    QPointF start;
    QPointF end;
    friend bool operator==(const GradientPoints &, const GradientPoints &) = default;
};

inline size_t qHash(Interactive::State state, size_t seed = 0) noexcept
{
    return ::qHash(state.rawValue(), seed);
}

inline size_t qHash(Interactive::Event event, size_t seed = 0) noexcept
{
    return ::qHash(static_cast<int>(event), seed);
}

inline constexpr Interactive::State Interactive::State::normal = Interactive::State(1);
inline constexpr Interactive::State Interactive::State::selected = Interactive::State(2);
inline constexpr Interactive::State Interactive::State::disabled = Interactive::State(4);
inline constexpr Interactive::State Interactive::State::clicked = Interactive::State(8);
inline constexpr Interactive::State Interactive::State::hovered = Interactive::State(16);

/**
 * The fallback order of @p state: the states whose registered values apply,
 * most specific first. Every list ends in normal, so a value registered for
 * normal is the default of every state. Raw values the recomputation cannot
 * produce (0, normal combined with other flags, anything above 30) give
 * [normal], and so do the disabled states with a press still in progress
 * (12, 14, 28, 30). The lists are constants.
 */
MIRAKIT_EXPORT const QList<Interactive::State> &statePriority(Interactive::State state);

/**
 * The value of the first state in @p states that has an entry in @p table,
 * or nothing. An entry is a hit whatever its value, so a table of optionals
 * can hold an explicit "none" that ends the search (the image table does).
 */
template <typename T> std::optional<T> adapterValue(const StateTable<T> &table, const QList<Interactive::State> &states)
{
    if (table.isEmpty())
        return std::nullopt;
    for (Interactive::State state : states) {
        const auto it = table.constFind(state);
        if (it != table.constEnd())
            return *it;
    }
    return std::nullopt;
}

} // namespace mira

Q_DECLARE_METATYPE(mira::Interactive::State)
Q_DECLARE_METATYPE(mira::GradientPoints)
