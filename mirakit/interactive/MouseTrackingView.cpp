#include "MouseTrackingView.h"

#include "MouseTrackingPointer.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QMouseEvent>
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
    , m_view(view)
{
    view->setProperty(recordProperty, QVariant::fromValue(static_cast<QObject *>(this)));
    view->installEventFilter(this);
    watchAncestors();
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

void MouseTrackingView::addTrackingArea(const MouseTrackingArea &area)
{
    if (!area.isValid() || m_trackingAreas.contains(area))
        return;
    m_trackingAreas.append(area);
    if (area.options() & MouseTrackingArea::MouseMoved)
        m_view->setMouseTracking(true);
}

void MouseTrackingView::removeTrackingArea(const MouseTrackingArea &area)
{
    m_trackingAreas.removeAll(area);
}

void MouseTrackingView::addCursorRect(const QRectF &rect, const QCursor &cursor)
{
    m_cursorRects.append(CursorRectangle { rect, cursor });
    m_view->setMouseTracking(true);
}

std::optional<QCursor> MouseTrackingView::cursorAt(const QPointF &position) const
{
    for (auto it = m_cursorRects.crbegin(); it != m_cursorRects.crend(); ++it) {
        if (it->rect.contains(position))
            return it->cursor;
    }
    return std::nullopt;
}

void MouseTrackingView::updateTrackingAreas()
{
    QEvent event(updateTrackingAreasEventType());
    QCoreApplication::sendEvent(m_view, &event);
}

void MouseTrackingView::invalidateCursorRects()
{
    m_cursorRects.clear();
    QEvent event(resetCursorRectsEventType());
    QCoreApplication::sendEvent(m_view, &event);
    // The pointer may rest while the widget moved under it, so ask where it is.
    const QPoint pointer = MouseTrackingPointer::positionIn(m_view);
    if (MouseTrackingPointer::isInWindow(m_view) && m_view->rect().contains(pointer))
        applyCursor(pointer);
    else
        restoreCursor();
}

void MouseTrackingView::renew()
{
    updateTrackingAreas();
    invalidateCursorRects();
}

void MouseTrackingView::watchAncestors()
{
    for (const QPointer<QWidget> &ancestor : std::as_const(m_ancestors)) {
        if (ancestor)
            ancestor->removeEventFilter(this);
    }
    m_ancestors.clear();
    for (QWidget *ancestor = m_view->parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        ancestor->installEventFilter(this);
        m_ancestors.append(ancestor);
    }
}

void MouseTrackingView::followChildren(bool follow)
{
    if (follow && !m_childWatcher) {
        m_childWatcher = new ChildPointerWatcher(m_view, [this](const QPointF &position) { applyCursor(position); });
        QCoreApplication::instance()->installEventFilter(m_childWatcher);
    } else if (!follow && m_childWatcher) {
        delete m_childWatcher;
        m_childWatcher = nullptr;
    }
}

void MouseTrackingView::ancestorEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Move:
        if (m_view->isVisible())
            renew();
        break;
    case QEvent::ParentChange:
        watchAncestors();
        break;
    default:
        break;
    }
}

void MouseTrackingView::applyCursor(const QPointF &position)
{
    const std::optional<QCursor> cursor = cursorAt(position);
    if (!cursor) {
        restoreCursor();
        return;
    }
    if (!m_overridingCursor) {
        m_savedCursor = m_view->testAttribute(Qt::WA_SetCursor) ? std::optional(m_view->cursor()) : std::nullopt;
        m_overridingCursor = true;
    }
    m_view->setCursor(*cursor);
}

void MouseTrackingView::restoreCursor()
{
    if (!m_overridingCursor)
        return;
    m_overridingCursor = false;
    if (m_savedCursor)
        m_view->setCursor(*m_savedCursor);
    else
        m_view->unsetCursor();
    m_savedCursor.reset();
}

bool MouseTrackingView::deliverWithHooks(QEvent *event)
{
    if (!m_hooks)
        return false;
    if (m_hooks->shouldDeliver(m_view, event)) {
        // The widget's own handling first (QObject::event is public), then the hooks.
        static_cast<QObject *>(m_view)->event(event);
        if (m_hooks)
            m_hooks->didHandle(m_view, event);
    }
    return true;
}

bool MouseTrackingView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_view) {
        ancestorEvent(event);
        return false;
    }
    const QEvent::Type type = event->type();
    switch (type) {
    case QEvent::Resize:
    case QEvent::Move:
    case QEvent::Show:
        renew();
        return false;
    case QEvent::Hide:
        followChildren(false);
        return false;
    case QEvent::ParentChange:
        watchAncestors();
        return false;
    case QEvent::Enter:
        followChildren(true);
        if (const auto *enter = dynamic_cast<QEnterEvent *>(event))
            applyCursor(enter->position());
        return deliverWithHooks(event);
    case QEvent::Leave:
        followChildren(false);
        restoreCursor();
        return deliverWithHooks(event);
    case QEvent::MouseMove:
        applyCursor(static_cast<QMouseEvent *>(event)->position());
        [[fallthrough]];
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return m_hooks && m_hooks->routePointerEvent(m_view, static_cast<QMouseEvent *>(event));
    default:
        break;
    }
    if (type == updateTrackingAreasEventType() || type == resetCursorRectsEventType())
        return deliverWithHooks(event);
    return false;
}

} // namespace mira
