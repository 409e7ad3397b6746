#pragma once

#include <mirakit/mirakit_export.h>

#include <QList>

namespace mira {

/**
 * Places items along one axis from linear rules between their edges and
 * lengths; the arithmetic behind LayoutConstraint, free of widgets.
 *
 * Items are numbers handed out by addItem(). A rule reads
 * "item.anchor (relation) other.anchor × multiplier + constant"; without an
 * other item the reference is 0, so the rule pins the anchor to the constant.
 * Among equal rules on the same anchor of one item the higher priority wins
 * (a later rule wins a tie). Inequalities bound the item's length. A rule
 * whose value is not a finite number (NaN, an overflowing multiplier) is
 * ignored.
 *
 * An item's length comes from a rule on its length, else from its start and
 * end rules together, else it is the preferred length given to addItem(),
 * clamped to its bounds. Its start comes from a start rule, else from its end
 * or its centre and its length, else it keeps its position. Items without
 * rules keep their position and length; they serve as references (the
 * container, unconstrained siblings).
 *
 * solve() evaluates the rules round after round until no value changes, so
 * rules may refer to items that are placed later. Rules that feed on each
 * other without settling form a cycle: solve() then gives up after a bounded
 * number of rounds, returns false and leaves every item where it was.
 */
class MIRAKIT_EXPORT LayoutAxisSolver {
public:
    enum class Anchor { start, end, center, length };
    enum class Relation { lessThanOrEqual = -1, equal = 0, greaterThanOrEqual = 1 };

    static constexpr int noItem = -1;

    struct Rule {
        int item = noItem;
        Anchor anchor = Anchor::start;
        Relation relation = Relation::equal;
        int other = noItem;
        Anchor otherAnchor = Anchor::start;
        qreal multiplier = 1;
        qreal constant = 0;
        float priority = 1000;
    };

    /// Adds an item at @p position with @p length; returns its number (0, 1, 2, …).
    int addItem(qreal position, qreal length, qreal preferredLength);
    /// Adds a rule; a rule naming an unknown item is ignored.
    void addRule(const Rule &rule);

    /// Places the items; false when the rules form a cycle (nothing moves then).
    bool solve();

    int itemCount() const { return int(m_items.size()); }
    qreal position(int item) const { return m_items.at(item).position; }
    qreal length(int item) const { return m_items.at(item).length; }

private:
    struct Item {
        qreal position = 0;
        qreal length = 0;
        qreal preferredLength = 0;
        bool constrained = false;
    };

    qreal valueOf(int item, Anchor anchor) const;
    /// Evaluates the rules of @p item once; true when its place changed.
    bool place(int item);

    QList<Item> m_items;
    QList<Rule> m_rules;
};

} // namespace mira
