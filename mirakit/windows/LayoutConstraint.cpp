#include "LayoutConstraint.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <optional>

namespace mira {

namespace {
const char engineProperty[] = "_mira_layoutConstraintEngine";
}

struct LayoutConstraint::Data {
    QPointer<QWidget> firstItem;
    Attribute firstAttribute = Attribute::notAnAttribute;
    Relation relation = Relation::equal;
    QPointer<QWidget> secondItem;
    Attribute secondAttribute = Attribute::notAnAttribute;
    qreal multiplier = 1;
    qreal constant = 0;
    float priority = priorityRequired;
    QString identifier;
    bool shouldBeArchived = false;
    bool active = false;
    QPointer<QWidget> container;
};

// Places the children of one container according to its active constraints.
class LayoutConstraintEngine : public QObject {
public:
    explicit LayoutConstraintEngine(QWidget *container)
        : QObject(container)
        , m_container(container)
    {
        container->setProperty(engineProperty, QVariant::fromValue(static_cast<QObject *>(this)));
        container->installEventFilter(this);
    }

    static LayoutConstraintEngine *of(QWidget *container, bool create)
    {
        if (auto *engine
            = dynamic_cast<LayoutConstraintEngine *>(container->property(engineProperty).value<QObject *>()))
            return engine;
        return create ? new LayoutConstraintEngine(container) : nullptr;
    }

    void add(const LayoutConstraint &c)
    {
        m_constraints.append(c);
        layout();
    }

    void remove(const LayoutConstraint &c)
    {
        m_constraints.removeAll(c);
        layout();
    }

    QList<LayoutConstraint> constraints() const { return m_constraints; }

    void layout();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_container
            && (event->type() == QEvent::Resize || event->type() == QEvent::Show
                || event->type() == QEvent::LayoutRequest || event->type() == QEvent::LayoutDirectionChange))
            layout();
        return false;
    }

private:
    using Attribute = LayoutConstraint::Attribute;
    using Relation = LayoutConstraint::Relation;

    static bool isHorizontal(Attribute a)
    {
        return a == Attribute::left || a == Attribute::right || a == Attribute::leading || a == Attribute::trailing
            || a == Attribute::centerX || a == Attribute::width;
    }

    // The absolute edge that leading or trailing stands for in this container.
    Attribute absolute(Attribute a) const
    {
        if (a == Attribute::leading)
            return isRightToLeft() ? Attribute::right : Attribute::left;
        if (a == Attribute::trailing)
            return isRightToLeft() ? Attribute::left : Attribute::right;
        return a;
    }

    bool isRightToLeft() const { return m_container->layoutDirection() == Qt::RightToLeft; }

    static bool isDirectional(Attribute a) { return a == Attribute::leading || a == Attribute::trailing; }

    static qreal valueOf(const QRectF &r, Attribute a)
    {
        switch (a) {
        case Attribute::left:
        case Attribute::leading:
            return r.left();
        case Attribute::right:
        case Attribute::trailing:
            return r.x() + r.width();
        case Attribute::top:
            return r.top();
        case Attribute::bottom:
            return r.y() + r.height();
        case Attribute::width:
            return r.width();
        case Attribute::height:
            return r.height();
        case Attribute::centerX:
            return r.x() + r.width() / 2;
        case Attribute::centerY:
            return r.y() + r.height() / 2;
        case Attribute::notAnAttribute:
            break;
        }
        return 0;
    }

    QRectF frameOf(const QWidget *w) const
    {
        if (w == m_container)
            return QRectF(m_container->rect());
        return QRectF(w->geometry());
    }

    struct Axis {
        std::optional<qreal> size, start, end, center;
        std::optional<std::pair<qreal, qreal>> ratio; // size = other axis size × first + second
        float sizePriority = -1, startPriority = -1, endPriority = -1, centerPriority = -1;
        qreal minimum = 0, maximum = 1e9;
    };

    static void setIf(std::optional<qreal> &slot, float &slotPriority, qreal value, float priority)
    {
        if (priority >= slotPriority) {
            slot = value;
            slotPriority = priority;
        }
    }

    QWidget *m_container;
    QList<LayoutConstraint> m_constraints;
    bool m_laying = false;
};

void LayoutConstraintEngine::layout()
{
    if (m_laying)
        return;
    m_laying = true;
    QList<QWidget *> items;
    for (const LayoutConstraint &c : std::as_const(m_constraints)) {
        QWidget *item = c.firstItem();
        if (item && item != m_container && !items.contains(item))
            items.append(item);
    }
    for (QWidget *item : std::as_const(items)) {
        Axis axes[2]; // horizontal, vertical
        for (const LayoutConstraint &c : std::as_const(m_constraints)) {
            if (c.firstItem() != item)
                continue;
            Axis &axis = axes[isHorizontal(c.firstAttribute()) ? 0 : 1];
            const Attribute a = absolute(c.firstAttribute());
            const bool isSize = a == Attribute::width || a == Attribute::height;
            if (c.secondItem() == item && isSize && c.secondAttribute() != a) {
                axis.ratio = std::make_pair(c.multiplier(), c.constant());
                continue;
            }
            const qreal reference
                = c.secondItem() ? valueOf(frameOf(c.secondItem()), absolute(c.secondAttribute())) * c.multiplier() : 0;
            // A leading or trailing constant counts in the reading direction.
            const bool mirrored = isDirectional(c.firstAttribute()) && isRightToLeft();
            const qreal target = reference + (mirrored ? -c.constant() : c.constant());
            if (c.relation() != Relation::equal) {
                if (isSize && c.relation() == Relation::greaterThanOrEqual)
                    axis.minimum = std::max(axis.minimum, target);
                else if (isSize)
                    axis.maximum = std::min(axis.maximum, target);
                continue;
            }
            switch (a) {
            case Attribute::width:
            case Attribute::height:
                setIf(axis.size, axis.sizePriority, target, c.priority());
                break;
            case Attribute::left:
            case Attribute::leading:
            case Attribute::top:
                setIf(axis.start, axis.startPriority, target, c.priority());
                break;
            case Attribute::right:
            case Attribute::trailing:
            case Attribute::bottom:
                setIf(axis.end, axis.endPriority, target, c.priority());
                break;
            case Attribute::centerX:
            case Attribute::centerY:
                setIf(axis.center, axis.centerPriority, target, c.priority());
                break;
            case Attribute::notAnAttribute:
                break;
            }
        }

        const QSize hint = item->sizeHint();
        const QSize current = item->size();
        qreal sizes[2];
        bool known[2];
        for (int i = 0; i < 2; ++i) {
            Axis &axis = axes[i];
            known[i] = true;
            if (axis.size)
                sizes[i] = *axis.size;
            else if (axis.start && axis.end)
                sizes[i] = *axis.end - *axis.start;
            else
                known[i] = false;
        }
        for (int i = 0; i < 2; ++i) {
            if (!known[i] && axes[i].ratio && known[1 - i]) {
                sizes[i] = sizes[1 - i] * axes[i].ratio->first + axes[i].ratio->second;
                known[i] = true;
            }
        }
        for (int i = 0; i < 2; ++i) {
            if (!known[i] && !axes[i].ratio) {
                const int fallback = i == 0 ? (hint.width() > 0 ? hint.width() : current.width())
                                            : (hint.height() > 0 ? hint.height() : current.height());
                sizes[i] = fallback;
                known[i] = true;
            }
        }
        for (int i = 0; i < 2; ++i) {
            if (!known[i]) {
                sizes[i] = known[1 - i] ? sizes[1 - i] * axes[i].ratio->first + axes[i].ratio->second
                                        : (i == 0 ? current.width() : current.height());
            }
            sizes[i] = std::clamp(sizes[i], axes[i].minimum, std::max(axes[i].minimum, axes[i].maximum));
        }
        const QPoint position = item->pos();
        qreal origins[2];
        for (int i = 0; i < 2; ++i) {
            const Axis &axis = axes[i];
            if (axis.start)
                origins[i] = *axis.start;
            else if (axis.end)
                origins[i] = *axis.end - sizes[i];
            else if (axis.center)
                origins[i] = *axis.center - sizes[i] / 2;
            else
                origins[i] = i == 0 ? position.x() : position.y();
        }
        item->setGeometry(qRound(origins[0]), qRound(origins[1]), qRound(sizes[0]), qRound(sizes[1]));
    }
    m_laying = false;
}

LayoutConstraint::LayoutConstraint() = default;

LayoutConstraint::LayoutConstraint(QWidget *firstItem, Attribute firstAttribute, Relation relation, QWidget *secondItem,
    Attribute secondAttribute, qreal multiplier, qreal constant)
    : d(std::make_shared<Data>())
{
    d->firstItem = firstItem;
    d->firstAttribute = firstAttribute;
    d->relation = relation;
    d->secondItem = secondItem;
    d->secondAttribute = secondItem ? secondAttribute : Attribute::notAnAttribute;
    d->multiplier = multiplier;
    d->constant = constant;
}

LayoutConstraint LayoutConstraint::size(QWidget *item, Attribute attribute, qreal constant, Relation relation)
{
    return LayoutConstraint(item, attribute, relation, nullptr, Attribute::notAnAttribute, 1, constant);
}

LayoutConstraint LayoutConstraint::aspectRatio(QWidget *item, qreal widthOverHeight)
{
    return LayoutConstraint(item, Attribute::width, Relation::equal, item, Attribute::height, widthOverHeight, 0);
}

QWidget *LayoutConstraint::firstItem() const
{
    return d ? d->firstItem.data() : nullptr;
}
LayoutConstraint::Attribute LayoutConstraint::firstAttribute() const
{
    return d ? d->firstAttribute : Attribute::notAnAttribute;
}
LayoutConstraint::Relation LayoutConstraint::relation() const
{
    return d ? d->relation : Relation::equal;
}
QWidget *LayoutConstraint::secondItem() const
{
    return d ? d->secondItem.data() : nullptr;
}
LayoutConstraint::Attribute LayoutConstraint::secondAttribute() const
{
    return d ? d->secondAttribute : Attribute::notAnAttribute;
}
qreal LayoutConstraint::multiplier() const
{
    return d ? d->multiplier : 1;
}
qreal LayoutConstraint::constant() const
{
    return d ? d->constant : 0;
}
float LayoutConstraint::priority() const
{
    return d ? d->priority : priorityRequired;
}
QString LayoutConstraint::identifier() const
{
    return d ? d->identifier : QString();
}
bool LayoutConstraint::shouldBeArchived() const
{
    return d && d->shouldBeArchived;
}
bool LayoutConstraint::isActive() const
{
    return d && d->active;
}

void LayoutConstraint::setConstant(qreal constant)
{
    if (!d || d->constant == constant)
        return;
    d->constant = constant;
    if (d->active && d->container)
        LayoutConstraintEngine::of(d->container, true)->layout();
}

void LayoutConstraint::setPriority(float priority)
{
    if (!d || d->priority == priority)
        return;
    d->priority = priority;
    if (d->active && d->container)
        LayoutConstraintEngine::of(d->container, true)->layout();
}

LayoutConstraint &LayoutConstraint::priority(float priority)
{
    setPriority(priority);
    return *this;
}

void LayoutConstraint::setIdentifier(const QString &identifier)
{
    if (d)
        d->identifier = identifier;
}

void LayoutConstraint::setShouldBeArchived(bool archived)
{
    if (d)
        d->shouldBeArchived = archived;
}

void LayoutConstraint::setActive(bool active)
{
    if (!d || d->active == active || !d->firstItem)
        return;
    if (active) {
        // Items are placed by their parent: relations go to the parent or to siblings.
        QWidget *container = d->firstItem->parentWidget();
        if (!container)
            return;
        d->container = container;
        d->active = true;
        LayoutConstraintEngine::of(container, true)->add(*this);
        return;
    }
    d->active = false;
    if (d->container) {
        if (LayoutConstraintEngine *engine = LayoutConstraintEngine::of(d->container, false))
            engine->remove(*this);
    }
    d->container = nullptr;
}

void LayoutConstraint::activate(const QList<LayoutConstraint> &constraints)
{
    for (LayoutConstraint c : constraints)
        c.setActive(true);
}

void LayoutConstraint::deactivate(const QList<LayoutConstraint> &constraints)
{
    for (LayoutConstraint c : constraints)
        c.setActive(false);
}

LayoutConstraint LayoutConstraint::setMultiplier(qreal multiplier) const
{
    if (!d)
        return LayoutConstraint();
    LayoutConstraint copy = *this;
    copy.setActive(false);
    LayoutConstraint replacement(
        d->firstItem, d->firstAttribute, d->relation, d->secondItem, d->secondAttribute, multiplier, d->constant);
    replacement.d->priority = d->priority;
    replacement.d->shouldBeArchived = d->shouldBeArchived;
    replacement.d->identifier = d->identifier;
    replacement.setActive(true);
    return replacement;
}

QList<LayoutConstraint> LayoutConstraint::constraints(const QWidget *container)
{
    if (!container)
        return {};
    LayoutConstraintEngine *engine = LayoutConstraintEngine::of(const_cast<QWidget *>(container), false);
    return engine ? engine->constraints() : QList<LayoutConstraint>();
}

} // namespace mira
