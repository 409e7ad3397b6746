#include <platform/ManualScheduler.h>
#include <platform/QtScheduler.h>

#include <QSignalSpy>
#include <QTest>
#include <QThread>

using namespace std::chrono_literals;
using platform::ManualScheduler;

class SchedulerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void manualRunsDueWorkInTimeOrder()
    {
        ManualScheduler scheduler;
        QStringList ran;
        scheduler.after(15s, [&] { ran << QStringLiteral("15s"); });
        scheduler.after(1s, [&] { ran << QStringLiteral("1s-a"); });
        scheduler.after(1s, [&] { ran << QStringLiteral("1s-b"); });
        scheduler.advanceBy(14s);
        QCOMPARE(ran, (QStringList { QStringLiteral("1s-a"), QStringLiteral("1s-b") }));
        scheduler.advanceBy(1s);
        QCOMPARE(ran.size(), 3);
        QCOMPARE(scheduler.pendingCount(), 0);
    }

    void manualClockMovesToEachDueTime()
    {
        ManualScheduler scheduler;
        const auto start = scheduler.now();
        std::chrono::milliseconds seenAt {};
        scheduler.after(
            3s, [&] { seenAt = std::chrono::duration_cast<std::chrono::milliseconds>(scheduler.now() - start); });
        scheduler.advanceBy(10s);
        QCOMPARE(seenAt.count(), 3000);
        QCOMPARE(std::chrono::duration_cast<std::chrono::milliseconds>(scheduler.now() - start).count(), 10000);
    }

    void repeatingTicksUntilCancelled()
    {
        ManualScheduler scheduler;
        int ticks = 0;
        const auto id = scheduler.repeating(60s, 1s, [&] { ++ticks; });
        scheduler.advanceBy(181s);
        QCOMPARE(ticks, 3);
        scheduler.cancel(id);
        scheduler.advanceBy(600s);
        QCOMPARE(ticks, 3);
    }

    void workMayCancelAndRescheduleFromInside()
    {
        ManualScheduler scheduler;
        int ticks = 0;
        platform::WorkId id = 0;
        id = scheduler.repeating(1s, 0ms, [&] {
            if (++ticks == 2)
                scheduler.cancel(id);
        });
        int chained = 0;
        scheduler.after(1s, [&] { scheduler.after(1s, [&] { ++chained; }); });
        scheduler.advanceBy(10s);
        QCOMPARE(ticks, 2);
        QCOMPARE(chained, 1);
    }

    void cancelledWorkNeverRuns()
    {
        ManualScheduler scheduler;
        bool ran = false;
        const auto id = scheduler.after(5s, [&] { ran = true; });
        scheduler.cancel(id);
        scheduler.cancel(id);
        scheduler.cancel(12345);
        scheduler.advanceBy(1h);
        QVERIFY(!ran);
    }

    void postFromAnotherThreadRunsOnTheCallingLoop()
    {
        ManualScheduler scheduler;
        Qt::HANDLE ranOn = nullptr;
        QThread *worker = QThread::create([&] { scheduler.post([&] { ranOn = QThread::currentThreadId(); }); });
        worker->start();
        worker->wait();
        delete worker;
        QVERIFY(!ranOn);
        scheduler.runPending();
        QCOMPARE(ranOn, QThread::currentThreadId());
    }

    void qtSchedulerRunsOnTheEventLoop()
    {
        platform::QtScheduler scheduler;
        int ran = 0;
        scheduler.after(1ms, [&] { ++ran; });
        const auto cancelled = scheduler.after(1ms, [&] { ran += 100; });
        scheduler.cancel(cancelled);
        scheduler.post([&] { ++ran; });
        QTRY_COMPARE(ran, 2);
        const auto repeating = scheduler.repeating(1ms, 0ms, [&] { ++ran; });
        QTRY_VERIFY(ran >= 4);
        scheduler.cancel(repeating);
    }

    void sharedSchedulerCanBeReplaced()
    {
        ManualScheduler manual;
        platform::Scheduler::setShared(&manual);
        QCOMPARE(&platform::Scheduler::shared(), static_cast<platform::Scheduler *>(&manual));
        platform::Scheduler::setShared(nullptr);
        QVERIFY(&platform::Scheduler::shared() != static_cast<platform::Scheduler *>(&manual));
    }
};

QTEST_GUILESS_MAIN(SchedulerTest)
#include "tst_scheduler.moc"
