#pragma once

#include <mirakit/mirakit_export.h>

#include <functional>

namespace mira {

/// The pointer's status relative to a tracked view.
enum class MouseTrackEvent {
    entered,
    exited,
};

/// A source of enter/exit reports with one subscriber.
class MIRAKIT_EXPORT MouseTrackable {
public:
    using Observer = std::function<void(MouseTrackEvent)>;

    virtual ~MouseTrackable();
    /// Replaces the subscriber; an empty function removes it.
    virtual void subscribeMouseTrackEvent(Observer observer) = 0;
};

class MouseTracker;

/// Gives access to a view's mouse tracker.
class MIRAKIT_EXPORT MouseTrackerProvider {
public:
    virtual ~MouseTrackerProvider();
    virtual MouseTracker *mouseTracker() const = 0;
};

} // namespace mira
