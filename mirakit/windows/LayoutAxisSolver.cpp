#include "LayoutAxisSolver_p.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace mira {

namespace {

// Differences below this are rounding noise, not movement.
constexpr qreal tolerance = 1e-6;

struct Slot {
    std::optional<qreal> value;
    float priority = -1;

    void offer(qreal candidate, float candidatePriority)
    {
        if (candidatePriority >= priority) {
            value = candidate;
            priority = candidatePriority;
        }
    }
};

} // namespace

int LayoutAxisSolver::addItem(qreal position, qreal length, qreal preferredLength)
{
    m_items.append(Item { position, length, preferredLength, false });
    return int(m_items.size()) - 1;
}

void LayoutAxisSolver::addRule(const Rule &rule)
{
    if (rule.item < 0 || rule.item >= itemCount() || rule.other >= itemCount() || rule.other < noItem)
        return;
    m_rules.append(rule);
    m_items[rule.item].constrained = true;
}

qreal LayoutAxisSolver::valueOf(int item, Anchor anchor) const
{
    const Item &i = m_items.at(item);
    switch (anchor) {
    case Anchor::start:
        return i.position;
    case Anchor::end:
        return i.position + i.length;
    case Anchor::center:
        return i.position + i.length / 2;
    case Anchor::length:
        return i.length;
    }
    return 0;
}

bool LayoutAxisSolver::place(int item)
{
    Slot start, end, center, length;
    qreal minimum = 0;
    qreal maximum = std::numeric_limits<qreal>::max();
    for (const Rule &rule : std::as_const(m_rules)) {
        if (rule.item != item)
            continue;
        const qreal reference = rule.other == noItem ? 0 : valueOf(rule.other, rule.otherAnchor) * rule.multiplier;
        const qreal target = reference + rule.constant;
        if (!std::isfinite(target))
            continue; // an overflowing or NaN relation would place the item nowhere
        if (rule.relation != Relation::equal) {
            if (rule.anchor != Anchor::length)
                continue;
            if (rule.relation == Relation::greaterThanOrEqual)
                minimum = std::max(minimum, target);
            else
                maximum = std::min(maximum, target);
            continue;
        }
        switch (rule.anchor) {
        case Anchor::start:
            start.offer(target, rule.priority);
            break;
        case Anchor::end:
            end.offer(target, rule.priority);
            break;
        case Anchor::center:
            center.offer(target, rule.priority);
            break;
        case Anchor::length:
            length.offer(target, rule.priority);
            break;
        }
    }

    Item &i = m_items[item];
    qreal newLength = i.preferredLength;
    if (length.value)
        newLength = *length.value;
    else if (start.value && end.value)
        newLength = *end.value - *start.value;
    newLength = std::clamp(newLength, minimum, std::max(minimum, maximum));

    qreal newPosition = i.position;
    if (start.value)
        newPosition = *start.value;
    else if (end.value)
        newPosition = *end.value - newLength;
    else if (center.value)
        newPosition = *center.value - newLength / 2;

    const bool moved = std::abs(newPosition - i.position) > tolerance || std::abs(newLength - i.length) > tolerance;
    i.position = newPosition;
    i.length = newLength;
    return moved;
}

bool LayoutAxisSolver::solve()
{
    const QList<Item> before = m_items;
    // Without a cycle every round settles at least one more link of the
    // longest chain of rules, so one round per item plus a quiet one suffices.
    const int rounds = itemCount() + 2;
    for (int round = 0; round < rounds; ++round) {
        bool moved = false;
        for (int item = 0; item < itemCount(); ++item) {
            if (m_items.at(item).constrained)
                moved = place(item) || moved;
        }
        if (!moved)
            return true;
    }
    m_items = before;
    return false;
}

} // namespace mira
