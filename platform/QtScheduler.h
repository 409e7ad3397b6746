#pragma once

#include <platform/Scheduler.h>

#include <QHash>
#include <QObject>

class QTimer;

namespace platform {

/**
 * Scheduler on the Qt event loop of the application's main thread.
 *
 * Delayed and repeating work uses QTimer; a leeway of a second or more lets
 * the timer be coarse, anything smaller keeps it precise.
 */
class PLATFORM_EXPORT QtScheduler final : public Scheduler {
public:
    QtScheduler();
    ~QtScheduler() override;

    WorkId after(Duration delay, Work work) override;
    WorkId repeating(Duration interval, Duration leeway, Work work) override;
    void cancel(WorkId id) override;
    TimePoint now() const override;
    void post(Work work) override;

private:
    WorkId start(Duration interval, Duration leeway, bool singleShot, Work work);

    QHash<WorkId, QTimer *> m_timers;
    WorkId m_lastId = 0;
};

} // namespace platform
