#pragma once

#include <mirakit/mirakit_export.h>

#include <chrono>
#include <functional>
#include <memory>

class QThreadPool;

namespace mira {

/**
 * Where a deferred-work chain delivers its results after
 * Pace::schedule().
 *
 * Work handed to a queue always runs later, never inside async() itself,
 * even with no delay; that keeps a chain's completion from running in the
 * middle of the code that started it.
 *
 * Two queues come with the library:
 * - main(): the main thread, through platform::Scheduler::shared(), so tests
 *   that install a ManualScheduler drive it in virtual time;
 * - background(): a QThreadPool (the global pool by default). Delays are
 *   measured by the shared Scheduler, then the work moves to the pool.
 */
class MIRAKIT_EXPORT PaceQueue {
public:
    using Duration = std::chrono::milliseconds;
    using Work = std::function<void()>;

    virtual ~PaceQueue();

    /// Runs @p work on this queue once @p delay has passed. May be called from any thread.
    virtual void async(Duration delay, Work work) = 0;

    /// The main thread's queue. Needs a QCoreApplication.
    static std::shared_ptr<PaceQueue> main();

    /// A queue on @p pool (the global pool by default). Work due after the
    /// pool is destroyed is dropped.
    static std::shared_ptr<PaceQueue> background(QThreadPool *pool = nullptr);
};

} // namespace mira
