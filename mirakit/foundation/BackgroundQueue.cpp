#include "BackgroundQueue.h"

#include "MainQueue.h"

namespace mira {

BackgroundQueue::BackgroundQueue(QThreadPool *pool)
    : m_pool(pool ? pool : QThreadPool::globalInstance())
{
}

void BackgroundQueue::async(Duration delay, Work work)
{
    auto start = [pool = m_pool, work = std::move(work)]() mutable {
        if (pool)
            pool->start(std::move(work));
    };
    if (delay <= Duration::zero()) {
        start();
        return;
    }
    // The delay runs on the main queue's scheduler so that virtual time in
    // tests covers it too; only the work itself goes to the pool.
    MainQueue().async(delay, std::move(start));
}

} // namespace mira
