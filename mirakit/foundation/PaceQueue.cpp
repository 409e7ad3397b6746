#include "PaceQueue.h"

#include "BackgroundQueue.h"
#include "MainQueue.h"

namespace mira {

PaceQueue::~PaceQueue() = default;

std::shared_ptr<PaceQueue> PaceQueue::main()
{
    static const auto queue = std::make_shared<MainQueue>();
    return queue;
}

std::shared_ptr<PaceQueue> PaceQueue::background(QThreadPool *pool)
{
    if (!pool) {
        static const auto queue = std::make_shared<BackgroundQueue>();
        return queue;
    }
    return std::make_shared<BackgroundQueue>(pool);
}

} // namespace mira
