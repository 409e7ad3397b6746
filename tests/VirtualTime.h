#pragma once

#include <platform/ManualScheduler.h>

// Installs a ManualScheduler as the shared scheduler while it lives, so that
// animations and posted work run in virtual time: advance `clock` to move on.
struct VirtualTime {
    VirtualTime() { platform::Scheduler::setShared(&clock); }
    ~VirtualTime() { platform::Scheduler::setShared(nullptr); }
    VirtualTime(const VirtualTime &) = delete;
    VirtualTime &operator=(const VirtualTime &) = delete;

    platform::ManualScheduler clock;
};
