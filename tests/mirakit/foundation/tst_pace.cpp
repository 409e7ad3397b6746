#include <mirakit/foundation/Pace.h>

#include <platform/ManualScheduler.h>

#include <QTest>
#include <QThread>
#include <QThreadPool>

#include <future>
#include <stdexcept>

using namespace std::chrono_literals;
using mira::Pace;
using mira::PaceResult;

namespace {

/// A chain whose outcome the test delivers by hand, as a network reply would.
template <typename T> struct Pending {
    std::shared_ptr<typename Pace<T>::Callback> callback = std::make_shared<typename Pace<T>::Callback>();
    Pace<T> pace() const
    {
        return Pace<T>([slot = callback](typename Pace<T>::Callback done) { *slot = std::move(done); });
    }
    void succeed(T value) const { (*callback)(PaceResult<T>::success(std::move(value))); }
    void fail(const char *message) const { (*callback)(PaceResult<T>::failure(std::runtime_error(message))); }
};

Pace<int> ready(int value)
{
    return Pace<int>([value](auto done) { done(PaceResult<int>::success(value)); });
}

} // namespace

class PaceTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { platform::Scheduler::setShared(&m_scheduler); }
    void cleanup() { platform::Scheduler::setShared(nullptr); }

    void synchronousStepsDeliverBeforeExcuteReturns()
    {
        int bodies = 0;
        std::optional<PaceResult<QString>> outcome;
        const auto chain
            = Pace<int>([&](auto done) { ++bodies, done(PaceResult<int>::success(20)); })
                  .map([](int v) { return v * 2 + 2; })
                  .flatmap([](int v) {
                      return Pace<QString>([v](auto done) { done(PaceResult<QString>::success(QString::number(v))); });
                  })
                  .then<QString>(
                      [](const QString &text, auto done) { done(PaceResult<QString>::success(text + u'!')); });
        QCOMPARE(bodies, 0); // building runs nothing
        chain.excute([&](PaceResult<QString> result) { outcome = std::move(result); });
        QVERIFY(outcome && outcome->isSuccess());
        QCOMPARE(outcome->value(), QStringLiteral("42!"));
    }

    void failureSkipsLaterSteps_data()
    {
        QTest::addColumn<int>("failingStep");
        QTest::newRow("body delivers a failure") << 0;
        QTest::newRow("map throws") << 1;
        QTest::newRow("flatmap throws") << 2;
        QTest::newRow("then throws") << 3;
    }

    void failureSkipsLaterSteps()
    {
        QFETCH(int, failingStep);
        int laterSteps = 0;
        const auto step = [&](int index) {
            if (index == failingStep)
                throw std::invalid_argument("step failed");
            if (index > failingStep)
                ++laterSteps;
        };
        std::optional<PaceResult<int>> outcome;
        Pace<int>([&](auto done) {
            if (failingStep == 0)
                return done(PaceResult<int>::failure(std::invalid_argument("step failed")));
            done(PaceResult<int>::success(0));
        })
            .map([&](int v) { return step(1), v; })
            .flatmap([&](int v) { return step(2), ready(v); })
            .then<int>([&](int v, auto done) { step(3), done(PaceResult<int>::success(v)); })
            .map([&](int v) { return step(4), v; })
            .excute([&](PaceResult<int> result) { outcome = std::move(result); });
        QVERIFY(outcome && !outcome->isSuccess());
        QCOMPARE(outcome->errorString(), QStringLiteral("step failed"));
        QCOMPARE(laterSteps, 0);
    }

    void bodyCallingBackTwiceCompletesOnce_data()
    {
        QTest::addColumn<bool>("scheduled");
        QTest::newRow("plain") << false;
        QTest::newRow("through a queue") << true;
    }

    void bodyCallingBackTwiceCompletesOnce()
    {
        QFETCH(bool, scheduled);
        Pace<int> chain([](auto done) {
            done(PaceResult<int>::success(1));
            done(PaceResult<int>::failure(std::runtime_error("late")));
            done(PaceResult<int>::success(2));
        });
        if (scheduled)
            chain = chain.schedule(mira::PaceQueue::main());
        QList<int> delivered;
        chain
            .then<int>([](int v, auto done) {
                done(PaceResult<int>::success(v));
                done(PaceResult<int>::success(v + 10));
            })
            .excute([&](const PaceResult<int> &result) { delivered << (result.isSuccess() ? result.value() : -1); });
        m_scheduler.advanceBy(1s);
        QCOMPARE(delivered, QList<int> { 1 });
    }

    void scheduleDeliversOnTheMainQueueAfterTheDelay_data()
    {
        QTest::addColumn<bool>("succeed");
        QTest::addColumn<int>("delayMs");
        QTest::newRow("success, no delay") << true << 0;
        QTest::newRow("success, 1.5 s") << true << 1500;
        QTest::newRow("failure, 1.5 s") << false << 1500;
    }

    void scheduleDeliversOnTheMainQueueAfterTheDelay()
    {
        QFETCH(bool, succeed);
        QFETCH(int, delayMs);
        Pending<int> source;
        std::optional<PaceResult<int>> outcome;
        source.pace()
            .schedule(mira::PaceQueue::main(), std::chrono::milliseconds(delayMs))
            .excute([&](PaceResult<int> result) { outcome = std::move(result); });
        // The delay counts from the moment the source finished, not from excute().
        m_scheduler.advanceBy(5s);
        succeed ? source.succeed(7) : source.fail("offline");
        QVERIFY2(!outcome, "delivery must be asynchronous, even with no delay");
        if (delayMs > 0) {
            m_scheduler.advanceBy(std::chrono::milliseconds(delayMs - 1));
            QVERIFY(!outcome);
        }
        m_scheduler.advanceBy(1ms);
        QVERIFY(outcome);
        QCOMPARE(outcome->isSuccess(), succeed);
        QCOMPARE(succeed ? QString::number(outcome->value()) : outcome->errorString(),
            succeed ? QStringLiteral("7") : QStringLiteral("offline"));
    }

    void scheduleOnBackgroundRunsOnThePoolAfterTheDelay()
    {
        QThreadPool pool;
        std::promise<QThread *> ranOn;
        ready(1).schedule(mira::PaceQueue::background(&pool), 2s).excute([&](const PaceResult<int> &) {
            ranOn.set_value(QThread::currentThread());
        });
        QCOMPARE(pool.activeThreadCount(), 0);
        m_scheduler.advanceBy(2s);
        QThread *thread = ranOn.get_future().get();
        QVERIFY(thread != QThread::currentThread());
    }

    void zipKeepsArgumentOrder_data()
    {
        QTest::addColumn<QList<int>>("finishOrder");
        QTest::newRow("reversed") << QList<int> { 3, 2, 1, 0 };
        QTest::newRow("mixed") << QList<int> { 2, 0, 3, 1 };
    }

    void zipKeepsArgumentOrder()
    {
        QFETCH(QList<int>, finishOrder);
        std::array<Pending<int>, 3> parts;
        Pending<QString> text;
        int completions = 0;
        std::tuple<int, int, int, QString> values;
        mira::zip(parts[0].pace(), parts[1].pace(), parts[2].pace(), text.pace())
            .excute([&](const PaceResult<std::tuple<int, int, int, QString>> &result) {
                ++completions;
                values = result.value();
            });
        for (int index : finishOrder) {
            QCOMPARE(completions, 0);
            index == 3 ? text.succeed(QStringLiteral("three")) : parts[index].succeed(index * 10);
        }
        QCOMPARE(completions, 1);
        QCOMPARE(values, std::make_tuple(0, 10, 20, QStringLiteral("three")));
    }

    void zipDeliversOnlyTheFirstFailure()
    {
        Pending<int> a, b, c;
        QStringList delivered;
        mira::zip(a.pace(), b.pace(), c.pace()).excute([&](const PaceResult<std::tuple<int, int, int>> &result) {
            delivered << (result.isSuccess() ? QStringLiteral("tuple") : result.errorString());
        });
        b.fail("b failed");
        a.succeed(1);
        c.fail("c failed");
        QCOMPARE(delivered, QStringList { QStringLiteral("b failed") });
    }

    void zipOfPartsFinishingOnDifferentThreadsCompletesOnce()
    {
        QThreadPool pool;
        pool.setMaxThreadCount(4);
        const auto onPool = [&pool](int value) {
            return Pace<int>(
                [&pool, value](auto done) { pool.start([done, value] { done(PaceResult<int>::success(value)); }); });
        };
        constexpr int rounds = 200;
        std::atomic_int completions = 0;
        std::atomic_int wrong = 0;
        for (int round = 0; round < rounds; ++round) {
            mira::zip(onPool(1), onPool(2), onPool(3), onPool(4))
                .excute([&](const PaceResult<std::tuple<int, int, int, int>> &result) {
                    if (!result.isSuccess() || result.value() != std::make_tuple(1, 2, 3, 4))
                        ++wrong;
                    ++completions;
                });
        }
        pool.waitForDone();
        QCOMPARE(completions.load(), rounds);
        QCOMPARE(wrong.load(), 0);
    }

private:
    platform::ManualScheduler m_scheduler;
};

QTEST_GUILESS_MAIN(PaceTest)
#include "tst_pace.moc"
