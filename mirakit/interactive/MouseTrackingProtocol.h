#pragma once

#include <mirakit/interactive/MouseTrackingArea.h>
#include <mirakit/mirakit_export.h>

#include <optional>

class QWidget;

namespace mira {

/**
 * Enter/exit tracking for a widget class that keeps its tracking region
 * itself.
 *
 * Inherit it next to QWidget, return the widget from trackedView(), keep the
 * region in trackedArea, and call updateMouseEnterExitTrackingArea() from
 * the widget's tracking-area renewal (MouseTrackingView's update event).
 * Each renewal delivers a synthesized Enter or Leave event to the widget
 * according to where the pointer rests, so its enterEvent()/leaveEvent()
 * see the new status at once.
 */
class MIRAKIT_EXPORT MouseTrackingProtocol {
public:
    /// Options of the region: entered/exited and active always (129).
    static constexpr MouseTrackingArea::Options regionOptions
        = MouseTrackingArea::MouseEnteredAndExited | MouseTrackingArea::ActiveAlways;

    virtual ~MouseTrackingProtocol();

    virtual std::optional<MouseTrackingArea> trackedArea() const = 0;
    virtual void setTrackedArea(const std::optional<MouseTrackingArea> &area) = 0;

    /// Installs a region over the bounds and reports the pointer's status to the widget.
    /// Spelled as callers know it.
    void configerTrackingArea();
    /// Removes the stored region, if any, then configerTrackingArea().
    void updateMouseEnterExitTrackingArea();

protected:
    /// The widget that adopts the protocol.
    virtual QWidget *trackedView() = 0;
};

} // namespace mira
