#include "SpringAnimation_p.h"

#include <algorithm>
#include <cmath>

namespace mira {

namespace {
constexpr auto frameInterval = std::chrono::milliseconds(16);
} // namespace

qreal SpringCurve::progressAt(qreal seconds) const
{
    if (mass <= 0 || stiffness <= 0 || seconds <= 0)
        return seconds <= 0 ? 0 : 1;
    const qreal natural = std::sqrt(stiffness / mass);
    const qreal ratio = damping / (2 * std::sqrt(stiffness * mass));
    if (ratio < 1) {
        const qreal damped = natural * std::sqrt(1 - ratio * ratio);
        const qreal decay = std::exp(-ratio * natural * seconds);
        return 1 - decay * (std::cos(damped * seconds) + ratio * natural / damped * std::sin(damped * seconds));
    }
    if (ratio == 1)
        return 1 - std::exp(-natural * seconds) * (1 + natural * seconds);
    const qreal root = natural * std::sqrt(ratio * ratio - 1);
    const qreal fast = -ratio * natural - root;
    const qreal slow = -ratio * natural + root;
    return 1 - (slow * std::exp(fast * seconds) - fast * std::exp(slow * seconds)) / (slow - fast);
}

struct SpringAnimation::Run {
    qreal from = 0;
    qreal to = 0;
    platform::Scheduler::TimePoint start;
    // The scheduler that issued the pending frame: ids mean nothing to another one.
    platform::Scheduler *scheduler = nullptr;
    platform::WorkId pending = 0;
};

SpringAnimation::SpringAnimation(SpringCurve curve, std::chrono::milliseconds duration, Apply apply)
    : m_curve(curve)
    , m_duration(duration)
    , m_apply(std::move(apply))
{
}

SpringAnimation::~SpringAnimation()
{
    stop();
}

void SpringAnimation::start(qreal from, qreal to)
{
    stop();
    platform::Scheduler &scheduler = platform::Scheduler::shared();
    m_run = std::make_shared<Run>(Run { from, to, scheduler.now(), &scheduler, 0 });
    scheduleFrame();
}

void SpringAnimation::stop()
{
    if (m_run && m_run->pending && m_run->scheduler == &platform::Scheduler::shared())
        m_run->scheduler->cancel(m_run->pending);
    m_run.reset();
}

void SpringAnimation::scheduleFrame()
{
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(m_run->scheduler->now() - m_run->start);
    const auto delay = std::clamp(m_duration - elapsed, std::chrono::milliseconds(0), frameInterval);
    // A frame left behind by a stopped run finds its run gone and does nothing.
    m_run->pending = m_run->scheduler->after(delay, [this, run = std::weak_ptr<Run>(m_run)] {
        if (const auto alive = run.lock()) {
            alive->pending = 0;
            frame();
        }
    });
}

void SpringAnimation::frame()
{
    const auto elapsed = m_run->scheduler->now() - m_run->start;
    if (elapsed >= m_duration) {
        const qreal target = m_run->to;
        m_run.reset();
        m_apply(target);
        return;
    }
    const qreal seconds = std::chrono::duration<qreal>(elapsed).count();
    const std::shared_ptr<Run> run = m_run;
    m_apply(run->from + (run->to - run->from) * m_curve.progressAt(seconds));
    if (m_run == run) // not stopped or restarted by whoever took the value
        scheduleFrame();
}

} // namespace mira
