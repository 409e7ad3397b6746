#include "MouseTrackingView.h"

#include "MouseTrackingPointer.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QWidget>

namespace mira {

namespace {
const char recordProperty[] = "_mira_mouseTrackingView";
}

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
    if (m_view->underMouse())
        applyCursor(MouseTrackingPointer::positionIn(m_view));
    else
        restoreCursor();
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
    if (watched != m_view)
        return false;
    const QEvent::Type type = event->type();
    switch (type) {
    case QEvent::Resize:
    case QEvent::Show:
        updateTrackingAreas();
        invalidateCursorRects();
        return false;
    case QEvent::Enter:
        if (const auto *enter = dynamic_cast<QEnterEvent *>(event))
            applyCursor(enter->position());
        return deliverWithHooks(event);
    case QEvent::Leave:
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
