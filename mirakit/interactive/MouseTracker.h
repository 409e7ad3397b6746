#pragma once

#include <mirakit/interactive/MouseTrackable.h>
#include <mirakit/interactive/MouseTrackingArea.h>
#include <mirakit/mirakit_export.h>

#include <optional>

class QWidget;

namespace mira {

/**
 * Keeps one enter/exit tracking region over a view and forwards the
 * pointer's status to one subscriber.
 *
 * Renewing the region (updateTrackingArea()) reports the current status at
 * once, without waiting for the pointer to move: after a view grows under a
 * resting pointer the subscriber hears "entered" straight away. Every
 * recive() notifies, also when it repeats the previous status.
 *
 * Usually obtained through mira::viewBehaver(view).mouseTracker(), which
 * wires the view's enter, exit and tracking-area renewal to it:
 * @code
 * mira::viewBehaver(badge).mouseTracker()->subscribeMouseTrackEvent([button](mira::MouseTrackEvent e) {
 *     button->setDown(e == mira::MouseTrackEvent::entered);
 * });
 * @endcode
 */
class MIRAKIT_EXPORT MouseTracker : public MouseTrackable {
public:
    /// Options of the region: entered/exited, moved, active always, in visible rect (643).
    static constexpr MouseTrackingArea::Options regionOptions = MouseTrackingArea::MouseEnteredAndExited
        | MouseTrackingArea::MouseMoved | MouseTrackingArea::ActiveAlways | MouseTrackingArea::InVisibleRect;

    MouseTracker();
    ~MouseTracker() override;

    /// The region currently installed (none at first).
    std::optional<MouseTrackingArea> trackingArea() const { return m_trackingArea; }
    void setTrackingArea(const std::optional<MouseTrackingArea> &area) { m_trackingArea = area; }

    /// Replaces the region on @p view by one covering its bounds and, when the
    /// view is in a window, reports whether the pointer is inside it.
    virtual void updateTrackingArea(QWidget *view);

    Observer observer() const { return m_observer; }
    void setObserver(Observer observer) { m_observer = std::move(observer); }

    /// The last status reported (exited at first).
    MouseTrackEvent event() const { return m_event; }
    void setEvent(MouseTrackEvent event) { m_event = event; }

    void subscribeMouseTrackEvent(Observer observer) override;

    /// Stores @p event and calls the subscriber with it. Spelled as callers know it.
    virtual void recive(MouseTrackEvent event);

private:
    std::optional<MouseTrackingArea> m_trackingArea;
    Observer m_observer;
    MouseTrackEvent m_event = MouseTrackEvent::exited;
};

} // namespace mira
