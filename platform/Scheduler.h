#pragma once

#include <platform/platform_export.h>

#include <chrono>
#include <cstdint>
#include <functional>

namespace platform {

/// Identifies one piece of scheduled work; 0 never identifies anything.
using WorkId = std::uint64_t;

/**
 * The one seam through which every delay, timer and clock reading goes.
 *
 * The program runs on QtScheduler (the main thread's event loop); tests run
 * on ManualScheduler, whose virtual time advances instantly, so that a
 * 60-second heartbeat is exercised without waiting a minute.
 *
 * All work runs on the main thread. post() may be called from any thread;
 * the other calls are made from the main thread.
 *
 * @code
 * auto &scheduler = platform::Scheduler::shared();
 * const auto id = scheduler.after(std::chrono::seconds(15), [] { sendBatch(); });
 * scheduler.cancel(id); // the batch is no longer sent
 * @endcode
 */
class PLATFORM_EXPORT Scheduler {
public:
    using Duration = std::chrono::milliseconds;
    using TimePoint = std::chrono::system_clock::time_point;
    using Work = std::function<void()>;

    virtual ~Scheduler();

    /// Runs @p work once, @p delay from now. A zero delay runs it on the next turn of the loop.
    virtual WorkId after(Duration delay, Work work) = 0;

    /// Runs @p work every @p interval until cancelled. @p leeway is how late a
    /// tick may come; implementations may use it to coalesce wake-ups.
    virtual WorkId repeating(Duration interval, Duration leeway, Work work) = 0;

    /// Cancels pending or repeating work. Unknown or finished ids are ignored.
    virtual void cancel(WorkId id) = 0;

    /// The current wall-clock time as this scheduler sees it.
    virtual TimePoint now() const = 0;

    /// Queues @p work for the main thread. Safe to call from any thread.
    virtual void post(Work work) = 0;

    /// The scheduler the application uses; a QtScheduler unless replaced.
    static Scheduler &shared();

    /// Replaces the shared scheduler (tests install a ManualScheduler).
    /// Passing nullptr restores the default. The caller keeps ownership.
    static void setShared(Scheduler *scheduler);
};

} // namespace platform
