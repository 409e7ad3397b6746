#include "MainQueue.h"

#include <platform/Scheduler.h>

#include <QCoreApplication>
#include <QThread>

namespace mira {

void MainQueue::async(Duration delay, Work work)
{
    // The scheduler's timers belong to the main thread; from elsewhere, hop
    // there first and start the delay on arrival.
    auto start
        = [delay, work = std::move(work)]() mutable { platform::Scheduler::shared().after(delay, std::move(work)); };
    const QCoreApplication *app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread())
        start();
    else
        platform::Scheduler::shared().post(std::move(start));
}

} // namespace mira
