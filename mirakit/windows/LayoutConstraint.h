#pragma once

#include <mirakit/mirakit_export.h>

#include <QList>
#include <QString>

#include <memory>

class QWidget;

namespace mira {

/**
 * One linear relation between two widgets' edges or sizes:
 * first.attribute (relation) second.attribute × multiplier + constant.
 *
 * Constraints are handles: copies refer to the same constraint, and
 * equality is identity. An active constraint is honoured by the container
 * its items share (the first item's parent); whenever that container is
 * resized or a constraint is (de)activated, the container places the items
 * again. The layout understands what MiraKit and its users need, not a
 * general system of equations:
 *
 * - edges pinned to the container or to a sibling, with constants
 *   (left, right, top, bottom, leading, trailing, centerX, centerY);
 * - fixed sizes (width == 14) and size ranges (width >= 40, width <= 300);
 * - sizes relative to the container or a sibling (width == parent.width × 0.5);
 * - aspect ratio (width == self.height × 1.5).
 *
 * An item whose size is not fixed by its constraints keeps its size hint
 * (or, without one, its current size); an edge that is not fixed keeps its
 * current position. Among equal relations on the same quantity the one of
 * higher priority wins. Multipliers cannot be changed in place: see
 * setMultiplier().
 *
 * Relations between siblings hold whatever order they were activated in: the
 * container evaluates them again and again until no item moves. Relations
 * that never settle (two items each placed after the other) are a cycle: the
 * items keep their last places and the container writes one line
 * "LayoutConstraint cycle in <objectName or class>: …" to the log, once until
 * its constraints settle again.
 *
 * Leading and trailing follow the container's layoutDirection(): they are
 * left and right in a left-to-right container and right and left in a
 * right-to-left one. A constant on a leading or trailing first attribute
 * counts in the reading direction, so "view.leading == container.leading + 16"
 * keeps the view 16 points in from the edge where reading starts: its left
 * edge at 16, or its right edge at the container's width − 16. Items are
 * placed again when the container's direction changes. Left and right always
 * mean the absolute edges.
 *
 * @code
 * using C = mira::LayoutConstraint;
 * C::activate({C(badge, C::Attribute::top, C::Relation::equal, page, C::Attribute::top, 1, 8),
 *              C(badge, C::Attribute::left, C::Relation::equal, page, C::Attribute::left, 1, 8),
 *              C::size(badge, C::Attribute::width, 14), C::size(badge, C::Attribute::height, 16)});
 * @endcode
 */
class MIRAKIT_EXPORT LayoutConstraint {
public:
    enum class Attribute {
        notAnAttribute,
        left,
        right,
        top,
        bottom,
        leading,
        trailing,
        width,
        height,
        centerX,
        centerY
    };
    enum class Relation { lessThanOrEqual = -1, equal = 0, greaterThanOrEqual = 1 };

    static constexpr float priorityRequired = 1000;
    static constexpr float priorityDefaultHigh = 750;
    static constexpr float priorityDefaultLow = 250;

    /// A null constraint; isNull() is true.
    LayoutConstraint();
    /// A new, inactive constraint. @p secondItem may be nullptr for a constant size.
    LayoutConstraint(QWidget *firstItem, Attribute firstAttribute, Relation relation, QWidget *secondItem,
        Attribute secondAttribute, qreal multiplier = 1, qreal constant = 0);

    /// first.attribute (relation) constant, for width and height.
    static LayoutConstraint size(
        QWidget *item, Attribute attribute, qreal constant, Relation relation = Relation::equal);
    /// item.width == item.height × @p widthOverHeight.
    static LayoutConstraint aspectRatio(QWidget *item, qreal widthOverHeight);

    bool isNull() const { return !d; }

    QWidget *firstItem() const;
    Attribute firstAttribute() const;
    Relation relation() const;
    QWidget *secondItem() const;
    Attribute secondAttribute() const;
    qreal multiplier() const;

    qreal constant() const;
    void setConstant(qreal constant);

    /// Required (1000) by default.
    float priority() const;
    void setPriority(float priority);
    /// Sets the priority and returns this constraint, for chaining.
    LayoutConstraint &priority(float priority);

    QString identifier() const;
    void setIdentifier(const QString &identifier);

    /// Carried along for callers that store constraints; false by default.
    bool shouldBeArchived() const;
    void setShouldBeArchived(bool archived);

    /// Inactive at creation.
    bool isActive() const;
    void setActive(bool active);
    static void activate(const QList<LayoutConstraint> &constraints);
    static void deactivate(const QList<LayoutConstraint> &constraints);

    /**
     * Replaces this constraint by one with @p multiplier: this one is
     * deactivated and a new, active constraint with the same items,
     * attributes, relation, constant, priority, archiving flag and identifier
     * is returned. Keep the result; this constraint stays inactive.
     */
    LayoutConstraint setMultiplier(qreal multiplier) const;

    /// The active constraints that @p container honours, in activation order.
    static QList<LayoutConstraint> constraints(const QWidget *container);

    friend bool operator==(const LayoutConstraint &a, const LayoutConstraint &b) { return a.d == b.d; }

private:
    struct Data;
    std::shared_ptr<Data> d;
    friend class LayoutConstraintEngine;
};

} // namespace mira
