#pragma once

#include <platform/Scheduler.h>

#include <QtGlobal>

#include <chrono>
#include <functional>
#include <memory>

namespace mira {

// A damped spring pulling a value from 0 towards 1: a mass on a spring of
// some stiffness, slowed by damping, starting at rest.
struct SpringCurve {
    qreal mass = 1;
    qreal stiffness = 100;
    qreal damping = 10;

    // How far the value has come after @p seconds (may overshoot 1).
    qreal progressAt(qreal seconds) const;
};

// Moves one value along a SpringCurve for a fixed duration, one frame per
// 16 ms of platform::Scheduler. The last frame, at exactly the duration,
// sets the target itself, so a spring cut off while it still swings ends on
// its target all the same. Destroying or restarting the animation stops it.
class SpringAnimation {
public:
    using Apply = std::function<void(qreal)>;

    SpringAnimation(SpringCurve curve, std::chrono::milliseconds duration, Apply apply);
    ~SpringAnimation();
    SpringAnimation(const SpringAnimation &) = delete;
    SpringAnimation &operator=(const SpringAnimation &) = delete;

    // Springs from @p from to @p to; the first value is applied one frame later.
    void start(qreal from, qreal to);
    // Stops where the value is; nothing more is applied.
    void stop();
    bool isRunning() const { return m_run != nullptr; }

private:
    struct Run;
    void scheduleFrame();
    void frame();

    const SpringCurve m_curve;
    const std::chrono::milliseconds m_duration;
    const Apply m_apply;
    std::shared_ptr<Run> m_run;
};

} // namespace mira
