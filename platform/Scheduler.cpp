#include "Scheduler.h"

#include "QtScheduler.h"

#include <atomic>

namespace platform {

namespace {
std::atomic<Scheduler *> replacement { nullptr };
}

Scheduler::~Scheduler() = default;

Scheduler &Scheduler::shared()
{
    if (Scheduler *scheduler = replacement.load())
        return *scheduler;
    static QtScheduler defaultScheduler;
    return defaultScheduler;
}

void Scheduler::setShared(Scheduler *scheduler)
{
    replacement.store(scheduler);
}

} // namespace platform
