#include "DisplayLink.h"

#include <platform/Scheduler.h>

#include <QGuiApplication>
#include <QMetaMethod>
#include <QPointer>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace mira {

namespace {

constexpr double fallbackRate = 60;
constexpr double highestRate = 1000;

double secondsSinceEpoch(platform::Scheduler::TimePoint time)
{
    return std::chrono::duration<double>(time.time_since_epoch()).count();
}

} // namespace

class DisplayLinkPrivate {
public:
    QPointer<QWidget> widget;
    QPointer<QObject> target;
    QMetaMethod method; // invalid when the target's method cannot be called
    DisplayLink::Callback callback;
    bool paused = true;
    bool valid = true;
    double rate = fallbackRate;
    double timestamp = 0;
    // The repeating tick, and the scheduler that issued its id.
    platform::WorkId tick = 0;
    platform::Scheduler *scheduler = nullptr;

    double screenRate() const
    {
        const QScreen *screen = widget ? widget->screen() : QGuiApplication::primaryScreen();
        return DisplayLink::usableRefreshRate(screen ? screen->refreshRate() : 0);
    }

    void stop()
    {
        // An id means something only to the scheduler that issued it: one that
        // has since been replaced is left alone (its tick is guarded below).
        if (tick && scheduler == &platform::Scheduler::shared())
            scheduler->cancel(tick);
        tick = 0;
        scheduler = nullptr;
    }
};

DisplayLink::DisplayLink(QWidget *widget, QObject *parent)
    : QObject(parent)
    , d(std::make_unique<DisplayLinkPrivate>())
{
    d->widget = widget;
    d->rate = d->screenRate();
}

DisplayLink::DisplayLink(QObject *target, const char *method, QWidget *widget, QObject *parent)
    : DisplayLink(widget, parent)
{
    d->target = target;
    const QMetaObject *meta = target ? target->metaObject() : nullptr;
    const QByteArray name(method);
    for (int index = 0; meta && index < meta->methodCount(); ++index) {
        const QMetaMethod candidate = meta->method(index);
        if (candidate.name() != name)
            continue;
        const bool takesLink
            = candidate.parameterCount() == 1 && candidate.parameterMetaType(0) == QMetaType::fromType<DisplayLink *>();
        if (candidate.parameterCount() == 0 || takesLink)
            d->method = candidate;
        break;
    }
}

DisplayLink::DisplayLink(Callback callback, QWidget *widget, QObject *parent)
    : DisplayLink(widget, parent)
{
    d->callback = std::move(callback);
}

DisplayLink::~DisplayLink()
{
    d->stop();
}

void DisplayLink::add()
{
    setPaused(false);
}

DisplayLink::Callback DisplayLink::callback() const
{
    return d->callback;
}

void DisplayLink::setCallback(Callback callback)
{
    d->callback = std::move(callback);
}

bool DisplayLink::isPaused() const
{
    return d->paused;
}

void DisplayLink::setPaused(bool paused)
{
    if (d->paused == paused || (!paused && !d->valid))
        return;
    d->paused = paused;
    if (paused) {
        d->stop();
    } else {
        d->rate = d->screenRate();
        d->scheduler = &platform::Scheduler::shared();
        const QPointer<DisplayLink> guard(this);
        d->tick = d->scheduler->repeating(frameInterval(), std::chrono::milliseconds(0), [guard] {
            if (!guard || guard->d->paused)
                return;
            guard->d->timestamp = secondsSinceEpoch(platform::Scheduler::shared().now());
            Q_EMIT guard->ticked();
            if (guard)
                guard->deliver();
        });
    }
    Q_EMIT pausedChanged(paused);
}

void DisplayLink::invalidate()
{
    setPaused(true);
    d->valid = false;
}

bool DisplayLink::isValid() const
{
    return d->valid;
}

double DisplayLink::duration() const
{
    return 1.0 / d->rate;
}

double DisplayLink::timestamp() const
{
    return d->timestamp;
}

std::chrono::milliseconds DisplayLink::frameInterval() const
{
    // Whole milliseconds, rounded down: a tick a fraction early is harmless,
    // one late every frame drifts a frame behind every few seconds.
    return std::max(std::chrono::milliseconds(1), std::chrono::milliseconds(qint64(1000 / d->rate)));
}

void DisplayLink::deliver()
{
    if (d->method.isValid()) {
        if (d->target && d->method.parameterCount() == 0)
            d->method.invoke(d->target);
        else if (d->target)
            d->method.invoke(d->target, Q_ARG(mira::DisplayLink *, this));
        return;
    }
    // Copied: the callback may replace itself or destroy the link.
    if (const Callback callback = d->callback)
        callback(this);
}

double DisplayLink::usableRefreshRate(double reported)
{
    if (!std::isfinite(reported) || reported <= 0 || reported > highestRate)
        return fallbackRate;
    return reported;
}

} // namespace mira
