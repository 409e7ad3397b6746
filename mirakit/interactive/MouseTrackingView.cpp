#include "MouseTrackingView.h"

#include "MouseTrackingPointer.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace mira {

namespace {
const char recordProperty[] = "_mira_mouseTrackingView";

// Sees pointer motion anywhere in the application while the pointer is over
// the view, so that motion a child keeps to itself still reaches the view.
class ChildPointerWatcher : public QObject {
public:
    ChildPointerWatcher(QWidget *view, std::function<void(const QPointF &)> moved)
        : QObject(view)
        , m_view(view)
        , m_moved(std::move(moved))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::MouseMove || !watched->isWidgetType())
            return false;
        auto *child = static_cast<QWidget *>(watched);
        if (child != m_view && m_view->isAncestorOf(child))
            m_moved(child->mapTo(m_view, static_cast<QMouseEvent *>(event)->position()));
        return false;
    }

private:
    QWidget *m_view;
    std::function<void(const QPointF &)> m_moved;
};
} // namespace

class MouseTrackingViewPrivate {
public:
    MouseTrackingViewPrivate(MouseTrackingView *record, QWidget *widget)
        : q(record)
        , view(widget)
    {
    }

    bool deliverWithHooks(QEvent *event);
    void renew();
    void watchAncestors();
    /// Starts or stops following pointer motion over the widget's children.
    void followChildren(bool follow);
    void ancestorEvent(QEvent *event);
    void applyCursor(const QPointF &position);
    void restoreCursor();

    MouseTrackingView *const q;
    QWidget *const view;
    MouseTrackingView::Hooks *hooks = nullptr;
    QList<MouseTrackingArea> trackingAreas;
    QList<MouseTrackingView::CursorRectangle> cursorRects;
    QList<QPointer<QWidget>> ancestors;
    QObject *childWatcher = nullptr;
    bool overridingCursor = false;
    std::optional<QCursor> savedCursor;
};

MouseTrackingView::Hooks::~Hooks() = default;

bool MouseTrackingView::Hooks::shouldDeliver(QWidget *, QEvent *)
{
    return true;
}

void MouseTrackingView::Hooks::didHandle(QWidget *, QEvent *)
{
}

bool MouseTrackingView::Hooks::routePointerEvent(QWidget *, QMouseEvent *)
{
    return false;
}

MouseTrackingView::MouseTrackingView(QWidget *view)
    : QObject(view)
    , d(std::make_unique<MouseTrackingViewPrivate>(this, view))
{
    view->setProperty(recordProperty, QVariant::fromValue(static_cast<QObject *>(this)));
    view->installEventFilter(this);
    d->watchAncestors();
}

MouseTrackingView::~MouseTrackingView() = default;

MouseTrackingView *MouseTrackingView::of(QWidget *view)
{
    if (!view)
        return nullptr;
    if (MouseTrackingView *existing = find(view))
        return existing;
    return new MouseTrackingView(view);
}

MouseTrackingView *MouseTrackingView::find(const QWidget *view)
{
    if (!view)
        return nullptr;
    return qobject_cast<MouseTrackingView *>(view->property(recordProperty).value<QObject *>());
}

QEvent::Type MouseTrackingView::updateTrackingAreasEventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

QEvent::Type MouseTrackingView::resetCursorRectsEventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

QWidget *MouseTrackingView::view() const
{
    return d->view;
}

QList<MouseTrackingArea> MouseTrackingView::trackingAreas() const
{
    return d->trackingAreas;
}

void MouseTrackingView::addTrackingArea(const MouseTrackingArea &area)
{
    if (!area.isValid() || d->trackingAreas.contains(area))
        return;
    d->trackingAreas.append(area);
    if (area.options() & MouseTrackingArea::MouseMoved)
        d->view->setMouseTracking(true);
}

void MouseTrackingView::removeTrackingArea(const MouseTrackingArea &area)
{
    d->trackingAreas.removeAll(area);
}

QList<MouseTrackingView::CursorRectangle> MouseTrackingView::cursorRects() const
{
    return d->cursorRects;
}

void MouseTrackingView::addCursorRect(const QRectF &rect, const QCursor &cursor)
{
    d->cursorRects.append(CursorRectangle { rect, cursor });
    d->view->setMouseTracking(true);
}

std::optional<QCursor> MouseTrackingView::cursorAt(const QPointF &position) const
{
    for (auto it = d->cursorRects.crbegin(); it != d->cursorRects.crend(); ++it) {
        if (it->rect.contains(position))
            return it->cursor;
    }
    return std::nullopt;
}

void MouseTrackingView::updateTrackingAreas()
{
    QEvent event(updateTrackingAreasEventType());
    QCoreApplication::sendEvent(d->view, &event);
}

void MouseTrackingView::invalidateCursorRects()
{
    d->cursorRects.clear();
    QEvent event(resetCursorRectsEventType());
    QCoreApplication::sendEvent(d->view, &event);
    // The pointer may rest while the widget moved under it, so ask where it is.
    const QPoint pointer = MouseTrackingPointer::positionIn(d->view);
    if (MouseTrackingPointer::isInWindow(d->view) && d->view->rect().contains(pointer))
        d->applyCursor(pointer);
    else
        d->restoreCursor();
}

void MouseTrackingViewPrivate::renew()
{
    q->updateTrackingAreas();
    q->invalidateCursorRects();
}

void MouseTrackingViewPrivate::watchAncestors()
{
    for (const QPointer<QWidget> &ancestor : std::as_const(ancestors)) {
        if (ancestor)
            ancestor->removeEventFilter(q);
    }
    ancestors.clear();
    for (QWidget *ancestor = view->parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        ancestor->installEventFilter(q);
        ancestors.append(ancestor);
    }
}

void MouseTrackingViewPrivate::followChildren(bool follow)
{
    if (follow && !childWatcher) {
        childWatcher = new ChildPointerWatcher(view, [this](const QPointF &position) { applyCursor(position); });
        QCoreApplication::instance()->installEventFilter(childWatcher);
    } else if (!follow && childWatcher) {
        delete childWatcher;
        childWatcher = nullptr;
    }
}

void MouseTrackingViewPrivate::ancestorEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Move:
        if (view->isVisible())
            renew();
        break;
    case QEvent::ParentChange:
        watchAncestors();
        break;
    default:
        break;
    }
}

void MouseTrackingViewPrivate::applyCursor(const QPointF &position)
{
    const std::optional<QCursor> cursor = q->cursorAt(position);
    if (!cursor) {
        restoreCursor();
        return;
    }
    if (!overridingCursor) {
        savedCursor = view->testAttribute(Qt::WA_SetCursor) ? std::optional(view->cursor()) : std::nullopt;
        overridingCursor = true;
    }
    view->setCursor(*cursor);
}

void MouseTrackingViewPrivate::restoreCursor()
{
    if (!overridingCursor)
        return;
    overridingCursor = false;
    if (savedCursor)
        view->setCursor(*savedCursor);
    else
        view->unsetCursor();
    savedCursor.reset();
}

bool MouseTrackingViewPrivate::deliverWithHooks(QEvent *event)
{
    if (!hooks)
        return false;
    if (hooks->shouldDeliver(view, event)) {
        // The widget's own handling first (QObject::event is public), then the hooks.
        static_cast<QObject *>(view)->event(event);
        if (hooks)
            hooks->didHandle(view, event);
    }
    return true;
}

void MouseTrackingView::setHooks(Hooks *hooks)
{
    d->hooks = hooks;
}

MouseTrackingView::Hooks *MouseTrackingView::hooks() const
{
    return d->hooks;
}

bool MouseTrackingView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != d->view) {
        d->ancestorEvent(event);
        return false;
    }
    const QEvent::Type type = event->type();
    switch (type) {
    case QEvent::Resize:
    case QEvent::Move:
    case QEvent::Show:
        d->renew();
        return false;
    case QEvent::Hide:
        d->followChildren(false);
        return false;
    case QEvent::ParentChange:
        d->watchAncestors();
        return false;
    case QEvent::Enter:
        d->followChildren(true);
        if (const auto *enter = dynamic_cast<QEnterEvent *>(event))
            d->applyCursor(enter->position());
        return d->deliverWithHooks(event);
    case QEvent::Leave:
        d->followChildren(false);
        d->restoreCursor();
        return d->deliverWithHooks(event);
    case QEvent::MouseMove:
        d->applyCursor(static_cast<QMouseEvent *>(event)->position());
        [[fallthrough]];
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return d->hooks && d->hooks->routePointerEvent(d->view, static_cast<QMouseEvent *>(event));
    default:
        break;
    }
    if (type == updateTrackingAreasEventType() || type == resetCursorRectsEventType())
        return d->deliverWithHooks(event);
    return false;
}

} // namespace mira
