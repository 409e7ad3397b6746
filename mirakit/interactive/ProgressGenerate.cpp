#include "ProgressGenerate.h"

#include "DisplayLink.h"

#include <platform/Scheduler.h>

#include <QPointer>
#include <QWidget>

#include <cmath>

namespace mira {

class ProgressGeneratePrivate {
public:
    ProgressGenerate::UpdateBlock updateBlock;
    ProgressGenerate::CompletionBlock completionBlock;
    double fromValue = 0;
    double toValue = 1;
    double currentDuration = 0;
    double totalDuration = 1;
    platform::Scheduler::TimePoint lastUpdate;
    DisplayLink *timer = nullptr;
    QPointer<QWidget> widget;
    // Counts starts and stops, so that a tick can tell whether its update
    // block began a new run or stopped this one.
    quint64 run = 0;
};

ProgressGenerate::ProgressGenerate(QObject *parent)
    : QObject(parent)
    , d(std::make_unique<ProgressGeneratePrivate>())
{
}

ProgressGenerate::~ProgressGenerate()
{
    invalidate();
}

ProgressGenerate::UpdateBlock ProgressGenerate::updateBlock() const
{
    return d->updateBlock;
}

void ProgressGenerate::setUpdateBlock(UpdateBlock block)
{
    d->updateBlock = std::move(block);
}

ProgressGenerate::CompletionBlock ProgressGenerate::completionBlock() const
{
    return d->completionBlock;
}

void ProgressGenerate::setCompletionBlock(CompletionBlock block)
{
    d->completionBlock = std::move(block);
}

void ProgressGenerate::setWidget(QWidget *widget)
{
    d->widget = widget;
}

void ProgressGenerate::progressForm(double from, double to, double duration)
{
    d->fromValue = from;
    d->toValue = to;
    invalidate();
    ++d->run;
    // A negative duration runs a clock that ends at its first tick; one that
    // is not a number could never end, and finishes at once like zero.
    if (duration == 0 || std::isnan(duration)) {
        report(to, true);
        return;
    }
    d->currentDuration = 0;
    d->totalDuration = duration;
    d->lastUpdate = platform::Scheduler::shared().now();
    d->timer = new DisplayLink(d->widget, this);
    connect(d->timer, &DisplayLink::ticked, this, &ProgressGenerate::updateValue);
    d->timer->setPaused(false);
}

void ProgressGenerate::progress(double to, double duration)
{
    progressForm(currentValue(), to, duration);
}

void ProgressGenerate::stopProgress()
{
    invalidate();
    ++d->run;
    report(currentValue(), false);
}

bool ProgressGenerate::isProgressing() const
{
    return d->timer != nullptr;
}

double ProgressGenerate::progress() const
{
    if (d->totalDuration == 0)
        return 1;
    return d->currentDuration / d->totalDuration;
}

double ProgressGenerate::currentValue() const
{
    if (d->currentDuration == 0)
        return 0;
    if (d->currentDuration >= d->totalDuration)
        return d->toValue;
    return (d->toValue - d->fromValue) * progress() + d->fromValue;
}

double ProgressGenerate::fromValue() const
{
    return d->fromValue;
}

double ProgressGenerate::toValue() const
{
    return d->toValue;
}

double ProgressGenerate::currentDuration() const
{
    return d->currentDuration;
}

double ProgressGenerate::totalDuration() const
{
    return d->totalDuration;
}

void ProgressGenerate::reset()
{
    invalidate();
    d->fromValue = 0;
    d->toValue = 1;
    d->currentDuration = 0;
    d->lastUpdate = {};
    d->totalDuration = 1;
}

void ProgressGenerate::invalidate()
{
    if (!d->timer)
        return;
    d->timer->invalidate();
    // Not deleted here: invalidate() may run inside the link's own tick.
    d->timer->deleteLater();
    d->timer->disconnect(this);
    d->timer = nullptr;
}

void ProgressGenerate::updateValue()
{
    const auto now = platform::Scheduler::shared().now();
    // A clock that went back (a replaced scheduler) counts as no time passing.
    d->currentDuration += std::max(0.0, std::chrono::duration<double>(now - d->lastUpdate).count());
    d->lastUpdate = now;
    if (d->currentDuration >= d->totalDuration) {
        invalidate();
        d->currentDuration = d->totalDuration;
    }
    report(currentValue(), !isProgressing());
}

void ProgressGenerate::report(double value, bool ended)
{
    // The blocks are copied: a block may replace itself or destroy the generator.
    const quint64 run = d->run;
    const QPointer<ProgressGenerate> self(this);
    if (const UpdateBlock update = d->updateBlock)
        update(value);
    if (!ended || !self || run != d->run)
        return;
    if (const CompletionBlock completion = d->completionBlock)
        completion();
}

} // namespace mira
