#include "PaceQueue.h"

#include <platform/Scheduler.h>

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <QThreadPool>

namespace mira {

namespace {

class MainQueue final : public PaceQueue {
public:
    void async(Duration delay, Work work) override
    {
        // The scheduler's timers belong to the main thread; from elsewhere, hop
        // there first and start the delay on arrival.
        auto start = [delay, work = std::move(work)]() mutable {
            platform::Scheduler::shared().after(delay, std::move(work));
        };
        const QCoreApplication *app = QCoreApplication::instance();
        if (app && QThread::currentThread() == app->thread())
            start();
        else
            platform::Scheduler::shared().post(std::move(start));
    }
};

class BackgroundQueue final : public PaceQueue {
public:
    explicit BackgroundQueue(QThreadPool *pool)
        : m_pool(pool)
    {
    }

    void async(Duration delay, Work work) override
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
        PaceQueue::main()->async(delay, std::move(start));
    }

private:
    QPointer<QThreadPool> m_pool;
};

} // namespace

PaceQueue::~PaceQueue() = default;

std::shared_ptr<PaceQueue> PaceQueue::main()
{
    static const auto queue = std::make_shared<MainQueue>();
    return queue;
}

std::shared_ptr<PaceQueue> PaceQueue::background(QThreadPool *pool)
{
    if (!pool) {
        static const auto queue = std::make_shared<BackgroundQueue>(QThreadPool::globalInstance());
        return queue;
    }
    return std::make_shared<BackgroundQueue>(pool);
}

} // namespace mira
