#include "Scheduler.h"

namespace platform {

Scheduler::~Scheduler() = default;

// shared() and setShared() are in QtScheduler.cpp, beside the default they make.

} // namespace platform
