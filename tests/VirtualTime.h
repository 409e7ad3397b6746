#pragma once

#include <platform/ManualScheduler.h>

#include <chrono>

// Installs a ManualScheduler as the shared scheduler while it lives, so that
// animations and posted work run in virtual time: advance `clock` to move on.
struct VirtualTime {
    VirtualTime() { platform::Scheduler::setShared(&clock); }
    ~VirtualTime() { platform::Scheduler::setShared(nullptr); }
    VirtualTime(const VirtualTime &) = delete;
    VirtualTime &operator=(const VirtualTime &) = delete;

    platform::ManualScheduler clock;
};

// Virtual time for every test function of a test class: begin() from init(),
// end() from cleanup(). end() lets one virtual second pass, so that
// animations and posted work finish while what they touch still exists, then
// gives the shared scheduler back.
struct VirtualTimePerTest {
    void begin() { platform::Scheduler::setShared(&clock); }
    void end()
    {
        clock.advanceBy(std::chrono::seconds(1));
        platform::Scheduler::setShared(nullptr);
    }

    platform::ManualScheduler clock;
};
