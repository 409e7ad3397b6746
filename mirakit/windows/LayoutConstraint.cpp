#include "LayoutConstraint.h"

#include "LayoutAxisSolver_p.h"

#include <platform/KSTLogManager.h>

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

    static bool isSize(Attribute a) { return a == Attribute::width || a == Attribute::height; }

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

    static LayoutAxisSolver::Anchor anchorOf(Attribute a)
    {
        switch (a) {
        case Attribute::right:
        case Attribute::trailing:
        case Attribute::bottom:
            return LayoutAxisSolver::Anchor::end;
        case Attribute::centerX:
        case Attribute::centerY:
            return LayoutAxisSolver::Anchor::center;
        case Attribute::width:
        case Attribute::height:
            return LayoutAxisSolver::Anchor::length;
        default:
            return LayoutAxisSolver::Anchor::start;
        }
    }

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

    static QSizeF preferredSize(const QWidget *w)
    {
        const QSize hint = w->sizeHint();
        const QSize current = w->size();
        return QSizeF(
            hint.width() > 0 ? hint.width() : current.width(), hint.height() > 0 ? hint.height() : current.height());
    }

    bool solveAxis(bool horizontal, QList<QRectF> &frames) const;
    void reportCycle();

    QWidget *m_container;
    QList<LayoutConstraint> m_constraints;
    // Items in numbering order; the container is item 0.
    QList<QWidget *> m_items;
    QList<QSizeF> m_preferred;
    bool m_laying = false;
    bool m_cycleReported = false;
};

bool LayoutConstraintEngine::solveAxis(bool horizontal, QList<QRectF> &frames) const
{
    LayoutAxisSolver solver;
    for (int i = 0; i < m_items.size(); ++i) {
        const QRectF &f = frames.at(i);
        qreal preferred = horizontal ? m_preferred.at(i).width() : m_preferred.at(i).height();
        // An aspect ratio makes the other axis' length the preferred one.
        for (const LayoutConstraint &c : m_constraints) {
            const Attribute a = c.firstAttribute();
            if (c.firstItem() == m_items.at(i) && c.secondItem() == c.firstItem() && isSize(a)
                && c.secondAttribute() != a && isHorizontal(a) == horizontal)
                preferred = valueOf(f, c.secondAttribute()) * c.multiplier() + c.constant();
        }
        solver.addItem(horizontal ? f.x() : f.y(), horizontal ? f.width() : f.height(), preferred);
    }
    for (const LayoutConstraint &c : m_constraints) {
        const Attribute a = absolute(c.firstAttribute());
        if (isHorizontal(a) != horizontal)
            continue;
        LayoutAxisSolver::Rule rule;
        rule.item = m_items.indexOf(c.firstItem());
        if (rule.item <= 0)
            continue;
        const Attribute b = absolute(c.secondAttribute());
        if (c.secondItem() == c.firstItem() && isSize(a) && isSize(b) && b != a)
            continue; // an aspect ratio, applied as the preferred length above
        rule.anchor = anchorOf(a);
        rule.relation = LayoutAxisSolver::Relation(int(c.relation()));
        // A leading or trailing constant counts in the reading direction.
        rule.constant = isDirectional(c.firstAttribute()) && isRightToLeft() ? -c.constant() : c.constant();
        rule.multiplier = c.multiplier();
        rule.priority = c.priority();
        const int other = m_items.indexOf(c.secondItem());
        if (other >= 0 && b != Attribute::notAnAttribute && isHorizontal(b) == horizontal) {
            rule.other = other;
            rule.otherAnchor = anchorOf(b);
        } else if (other >= 0) {
            // A relation across axes reads the other axis as it stands.
            rule.constant += valueOf(frames.at(other), b) * c.multiplier();
        }
        solver.addRule(rule);
    }
    if (!solver.solve())
        return false;
    for (int i = 1; i < m_items.size(); ++i) {
        QRectF &f = frames[i];
        if (horizontal) {
            f.moveLeft(solver.position(i));
            f.setWidth(solver.length(i));
        } else {
            f.moveTop(solver.position(i));
            f.setHeight(solver.length(i));
        }
    }
    return true;
}

void LayoutConstraintEngine::reportCycle()
{
    if (m_cycleReported)
        return;
    m_cycleReported = true;
    const QString name = m_container->objectName().isEmpty()
        ? QString::fromLatin1(m_container->metaObject()->className())
        : m_container->objectName();
    platform::KSTLogManager::writeInfoLog(
        QStringLiteral("LayoutConstraint cycle in %1: the constraints have no stable layout, keeping the last one")
            .arg(name));
}

void LayoutConstraintEngine::layout()
{
    if (m_laying)
        return;
    m_laying = true;
    m_items = { m_container };
    for (const LayoutConstraint &c : std::as_const(m_constraints)) {
        for (QWidget *item : { c.firstItem(), c.secondItem() }) {
            if (item && !m_items.contains(item))
                m_items.append(item);
        }
    }
    QList<QRectF> frames;
    m_preferred.clear();
    for (QWidget *item : std::as_const(m_items)) {
        frames.append(frameOf(item));
        // Only constrained items use a preferred size; asking the others
        // (the container above all) for a size hint could make them load early.
        const bool constrained = std::any_of(m_constraints.cbegin(), m_constraints.cend(),
            [item](const LayoutConstraint &c) { return c.firstItem() == item; });
        m_preferred.append(constrained && item != m_container ? preferredSize(item) : frames.last().size());
    }

    // Relations across axes (aspect ratios) need the axes solved in turn until both settle.
    constexpr int rounds = 8;
    bool settled = false;
    for (int round = 0; round < rounds && !settled; ++round) {
        const QList<QRectF> before = frames;
        if (!solveAxis(true, frames) || !solveAxis(false, frames))
            break;
        settled = frames == before;
    }
    if (!settled) {
        reportCycle();
        m_laying = false;
        return;
    }
    m_cycleReported = false;
    for (const LayoutConstraint &c : std::as_const(m_constraints)) {
        QWidget *item = c.firstItem();
        if (!item || item == m_container)
            continue;
        const QRectF &f = frames.at(m_items.indexOf(item));
        item->setGeometry(qRound(f.x()), qRound(f.y()), qRound(f.width()), qRound(f.height()));
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
