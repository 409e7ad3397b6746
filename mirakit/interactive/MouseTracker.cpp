#include "MouseTracker.h"

#include "MouseTrackingPointer.h"
#include "MouseTrackingView.h"

#include <QWidget>

namespace mira {

MouseTrackable::~MouseTrackable() = default;
MouseTrackerProvider::~MouseTrackerProvider() = default;

MouseTracker::MouseTracker() = default;
MouseTracker::~MouseTracker() = default;

void MouseTracker::updateTrackingArea(QWidget *view)
{
    if (!view)
        return;
    MouseTrackingView *tracking = MouseTrackingView::of(view);
    if (m_trackingArea)
        tracking->removeTrackingArea(*m_trackingArea);
    m_trackingArea = MouseTrackingArea::create(view->rect(), regionOptions);
    tracking->addTrackingArea(*m_trackingArea);

    if (!MouseTrackingPointer::isInWindow(view))
        return;
    const bool inside = view->rect().contains(MouseTrackingPointer::positionIn(view));
    m_event = inside ? MouseTrackEvent::entered : MouseTrackEvent::exited;
    if (m_observer)
        m_observer(m_event);
}

void MouseTracker::subscribeMouseTrackEvent(Observer observer)
{
    m_observer = std::move(observer);
}

void MouseTracker::recive(MouseTrackEvent event)
{
    m_event = event;
    if (m_observer)
        m_observer(event);
}

} // namespace mira
