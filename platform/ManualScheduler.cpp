#include "ManualScheduler.h"

#include <algorithm>

namespace platform {

struct ManualScheduler::Item {
    TimePoint due;
    std::uint64_t sequence;
    Duration interval; // zero for one-shot work
    Work work;
};

ManualScheduler::ManualScheduler(TimePoint start)
    : m_now(start)
{
}

ManualScheduler::~ManualScheduler() = default;

Scheduler::TimePoint ManualScheduler::defaultStart()
{
    return TimePoint(std::chrono::seconds(1741564800)); // 2025-03-10T00:00:00Z
}

WorkId ManualScheduler::after(Duration delay, Work work)
{
    const WorkId id = ++m_lastId;
    m_items.emplace(id,
        std::make_shared<Item>(
            Item { m_now + std::max(delay, Duration::zero()), ++m_sequence, Duration::zero(), std::move(work) }));
    return id;
}

WorkId ManualScheduler::repeating(Duration interval, Duration, Work work)
{
    const WorkId id = ++m_lastId;
    const Duration step = std::max(interval, Duration(1));
    m_items.emplace(id, std::make_shared<Item>(Item { m_now + step, ++m_sequence, step, std::move(work) }));
    return id;
}

void ManualScheduler::cancel(WorkId id)
{
    m_items.erase(id);
}

Scheduler::TimePoint ManualScheduler::now() const
{
    return m_now;
}

void ManualScheduler::post(Work work)
{
    std::lock_guard lock(m_postedMutex);
    m_posted.push_back(std::move(work));
}

void ManualScheduler::takePosted()
{
    std::vector<Work> posted;
    {
        std::lock_guard lock(m_postedMutex);
        posted.swap(m_posted);
    }
    for (Work &work : posted)
        after(Duration::zero(), std::move(work));
}

void ManualScheduler::advanceBy(Duration duration)
{
    runDueUntil(m_now + std::max(duration, Duration::zero()));
}

void ManualScheduler::runPending()
{
    runDueUntil(m_now);
}

int ManualScheduler::pendingCount() const
{
    std::lock_guard lock(m_postedMutex);
    return int(m_items.size() + m_posted.size());
}

void ManualScheduler::runDueUntil(TimePoint limit)
{
    for (;;) {
        takePosted();
        auto next = std::min_element(m_items.begin(), m_items.end(), [](const auto &a, const auto &b) {
            return std::tie(a.second->due, a.second->sequence) < std::tie(b.second->due, b.second->sequence);
        });
        if (next == m_items.end() || next->second->due > limit)
            break;
        std::shared_ptr<Item> item = next->second;
        m_now = std::max(m_now, item->due);
        if (item->interval == Duration::zero()) {
            m_items.erase(next);
        } else {
            item->due += item->interval;
            item->sequence = ++m_sequence;
        }
        // The work may cancel itself or schedule more; it holds its own copy.
        Work work = item->work;
        work();
    }
    m_now = std::max(m_now, limit);
}

} // namespace platform
