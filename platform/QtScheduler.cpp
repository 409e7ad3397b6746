#include "QtScheduler.h"

#include "SharedInstance.h"

#include <QCoreApplication>
#include <QTimer>

namespace platform {

namespace {
constinit SharedInstance<Scheduler, QtScheduler> sharedScheduler;
}

Scheduler &Scheduler::shared()
{
    return sharedScheduler.instance();
}

void Scheduler::setShared(Scheduler *scheduler)
{
    sharedScheduler.replace(scheduler);
}

QtScheduler::QtScheduler() = default;

QtScheduler::~QtScheduler()
{
    qDeleteAll(m_timers);
}

WorkId QtScheduler::after(Duration delay, Work work)
{
    return start(delay, Duration::zero(), true, std::move(work));
}

WorkId QtScheduler::repeating(Duration interval, Duration leeway, Work work)
{
    return start(interval, leeway, false, std::move(work));
}

WorkId QtScheduler::start(Duration interval, Duration leeway, bool singleShot, Work work)
{
    const WorkId id = ++m_lastId;
    auto *timer = new QTimer;
    timer->setSingleShot(singleShot);
    timer->setTimerType(leeway >= std::chrono::seconds(1) ? Qt::CoarseTimer : Qt::PreciseTimer);
    QObject::connect(timer, &QTimer::timeout, timer, [this, id, singleShot, work = std::move(work)] {
        if (singleShot) {
            // Forget the timer before running the work so that the work may
            // schedule or cancel freely; the timer itself goes later.
            if (QTimer *finished = m_timers.take(id))
                finished->deleteLater();
        }
        work();
    });
    m_timers.insert(id, timer);
    timer->start(interval);
    return id;
}

void QtScheduler::cancel(WorkId id)
{
    if (QTimer *timer = m_timers.take(id)) {
        timer->stop();
        timer->deleteLater();
    }
}

Scheduler::TimePoint QtScheduler::now() const
{
    return std::chrono::system_clock::now();
}

void QtScheduler::post(Work work)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return;
    QMetaObject::invokeMethod(app, std::move(work), Qt::QueuedConnection);
}

} // namespace platform
