#pragma once

#include <platform/Scheduler.h>

#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace platform {

/**
 * Virtual-time scheduler for tests.
 *
 * Nothing runs until the test advances time; advanceBy() then runs every
 * piece of work that falls due, in due-time order (equal times in the order
 * they were scheduled), moving the clock to each due time before running it.
 *
 * @code
 * platform::ManualScheduler scheduler;
 * platform::Scheduler::setShared(&scheduler);
 * startHeartbeat();
 * scheduler.advanceBy(std::chrono::seconds(60)); // one heartbeat, instantly
 * @endcode
 */
class PLATFORM_EXPORT ManualScheduler final : public Scheduler {
public:
    /// Starts the virtual clock at @p start (by default 2025-03-10 00:00:00 UTC).
    explicit ManualScheduler(TimePoint start = defaultStart());
    ~ManualScheduler() override;

    WorkId after(Duration delay, Work work) override;
    WorkId repeating(Duration interval, Duration leeway, Work work) override;
    void cancel(WorkId id) override;
    TimePoint now() const override;
    void post(Work work) override;

    /// Moves the clock forward by @p duration, running everything that falls due.
    void advanceBy(Duration duration);

    /// Runs work that is due now (posted work included) without moving the clock.
    void runPending();

    /// Number of scheduled items that have not run or been cancelled.
    int pendingCount() const;

    static TimePoint defaultStart();

private:
    struct Item;
    void runDueUntil(TimePoint limit);
    void takePosted();

    TimePoint m_now;
    WorkId m_lastId = 0;
    std::uint64_t m_sequence = 0;
    std::map<WorkId, std::shared_ptr<Item>> m_items;

    mutable std::mutex m_postedMutex; // post() is the one call made from other threads
    std::vector<Work> m_posted;
};

} // namespace platform
