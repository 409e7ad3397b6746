#pragma once

#include <mirakit/foundation/PaceQueue.h>

namespace mira {

/// The main thread's PaceQueue: work runs through
/// platform::Scheduler::shared() (see PaceQueue::main()).
class MIRAKIT_EXPORT MainQueue final : public PaceQueue {
public:
    void async(Duration delay, Work work) override;
};

} // namespace mira
