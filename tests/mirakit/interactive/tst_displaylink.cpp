#include <mirakit/interactive/DisplayLink.h>
#include <mirakit/interactive/ProgressGenerate.h>
#include <mirakit/interactive/ProgressGenerateHelper.h>
#include <platform/ManualScheduler.h>

#include <QSignalSpy>
#include <QTest>

#include <limits>
#include <utility>

using namespace mira;
using namespace std::chrono_literals;

namespace {

// Virtual time in which the main thread can also stall: stall() moves the
// clock on without running anything, as a busy main thread does.
class StallingScheduler final : public platform::Scheduler {
public:
    StallingScheduler() { platform::Scheduler::setShared(this); }
    ~StallingScheduler() override { platform::Scheduler::setShared(nullptr); }

    platform::WorkId after(Duration delay, Work work) override { return clock.after(delay, std::move(work)); }
    platform::WorkId repeating(Duration interval, Duration leeway, Work work) override
    {
        return clock.repeating(interval, leeway, std::move(work));
    }
    void cancel(platform::WorkId id) override { clock.cancel(id); }
    TimePoint now() const override { return clock.now() + stalled; }
    void post(Work work) override { clock.post(std::move(work)); }

    void advanceBy(Duration duration) { clock.advanceBy(duration); }
    void stall(Duration duration) { stalled += duration; }

    platform::ManualScheduler clock;
    Duration stalled { 0 };
};

// Records what a generator reports.
struct Reports {
    explicit Reports(ProgressGenerate &generate)
    {
        generate.setUpdateBlock([this](double value) { values << value; });
        generate.setCompletionBlock([this] { completedAfter << values.size(); });
    }
    QList<double> values;
    QList<qsizetype> completedAfter; // how many updates had come when each completion ran
};

class Owner : public QObject, public ProgressGenerateHelper<Owner> {
public:
    explicit Owner(ProgressGenerate *generate)
        : generate(generate)
    {
    }
    ProgressGenerate &progressGenerate() override { return *generate; }
    ProgressGenerate *generate;
};

// Records the link each of its methods receives (nullptr for none).
class Target : public QObject {
    Q_OBJECT
public:
    QList<DisplayLink *> calls;
public Q_SLOTS:
    void step() { calls << nullptr; }
    void stepWith(mira::DisplayLink *link) { calls << link; }
    void stepBy(int, int) { calls << nullptr; }
};

} // namespace

class DisplayLinkTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void refreshRateFallsBackTo60Hz_data()
    {
        QTest::addColumn<double>("reported");
        QTest::addColumn<double>("used");
        QTest::newRow("60 Hz") << 60.0 << 60.0;
        QTest::newRow("144 Hz") << 144.0 << 144.0;
        QTest::newRow("1000 Hz") << 1000.0 << 1000.0;
        QTest::newRow("unknown") << 0.0 << 60.0;
        QTest::newRow("negative") << -75.0 << 60.0;
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 60.0;
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << 60.0;
        QTest::newRow("absurdly high") << 1000.5 << 60.0;
    }

    void refreshRateFallsBackTo60Hz()
    {
        QFETCH(double, reported);
        QFETCH(double, used);
        QCOMPARE(DisplayLink::usableRefreshRate(reported), used);
    }

    void linkTicksOnlyWhileRunning()
    {
        StallingScheduler time;
        DisplayLink link;
        QSignalSpy ticks(&link, &DisplayLink::ticked);
        QVERIFY(link.isPaused());
        QCOMPARE(link.frameInterval(), 16ms);
        QCOMPARE(link.duration(), 1.0 / 60);
        time.advanceBy(1s);
        QCOMPARE(ticks.count(), 0);

        link.setPaused(false);
        time.advanceBy(160ms);
        QCOMPARE(ticks.count(), 10);
        QCOMPARE(link.timestamp(), std::chrono::duration<double>(time.now().time_since_epoch()).count());

        link.setPaused(true);
        QCOMPARE(time.clock.pendingCount(), 0);
        link.invalidate();
        link.setPaused(false); // an invalidated link stays stopped
        QVERIFY(link.isPaused());
        time.advanceBy(1s);
        QCOMPARE(ticks.count(), 10);
        QCOMPARE(time.clock.pendingCount(), 0);
    }

    // A link calls its target's method with no argument or with the link;
    // any other method leaves the tick to the callback.
    void linkCallsItsTargetsMethodOrElseTheCallback_data()
    {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<bool>("called"); // else the callback is
        QTest::addColumn<bool>("withLink");
        QTest::newRow("no argument") << QByteArray("step") << true << false;
        QTest::newRow("the link") << QByteArray("stepWith") << true << true;
        QTest::newRow("two arguments") << QByteArray("stepBy") << false << true;
        QTest::newRow("no such method") << QByteArray("missing") << false << true;
    }

    void linkCallsItsTargetsMethodOrElseTheCallback()
    {
        QFETCH(QByteArray, method);
        QFETCH(bool, called);
        QFETCH(bool, withLink);
        StallingScheduler time;
        Target target;
        QList<DisplayLink *> callbacks;
        DisplayLink link(&target, method.constData());
        link.setCallback([&](DisplayLink *from) { callbacks << from; });
        link.add();
        time.advanceBy(16ms);
        QCOMPARE(called ? target.calls : callbacks, QList<DisplayLink *> { withLink ? &link : nullptr });
        QCOMPARE((called ? callbacks : target.calls).size(), 0);
    }

    void progressToOnAFreshGeneratorStartsFromZero()
    {
        StallingScheduler time;
        ProgressGenerate generate;
        Reports reports(generate);
        generate.progressForm(5, 9, 0); // no clock: the elapsed time stays 0
        generate.progress(10, 0.032);
        time.advanceBy(16ms);
        QCOMPARE(reports.values.last(), 5.0);
    }

    void valueRisesLinearlyAndCompletesOnce()
    {
        StallingScheduler time;
        ProgressGenerate generate;
        Reports reports(generate);
        generate.progressForm(0, 100, 1);
        QVERIFY(generate.isProgressing());
        for (int frame = 1; frame <= 10; ++frame) {
            time.advanceBy(16ms);
            QCOMPARE(reports.values.size(), frame);
            QCOMPARE(reports.values.last(), frame * 1.6);
        }
        time.advanceBy(2s);
        QCOMPARE(reports.values.last(), 100.0);
        QCOMPARE(reports.completedAfter, QList<qsizetype> { reports.values.size() });
        QVERIFY(std::is_sorted(reports.values.cbegin(), reports.values.cend()));
        QVERIFY(!generate.isProgressing());
        QCOMPARE(generate.progress(), 1.0);
        QCOMPARE(time.clock.pendingCount(), 0);
    }

    // Regression guard: ticks that were missed are not queued up and replayed.
    void aStallGivesOneLargerStep()
    {
        StallingScheduler time;
        ProgressGenerate generate;
        Reports reports(generate);
        generate.progressForm(0, 100, 1);
        time.advanceBy(16ms);
        time.stall(600ms);
        time.advanceBy(16ms);
        QCOMPARE(reports.values, (QList<double> { 1.6, 63.2 }));
        time.stall(5s);
        time.advanceBy(16ms);
        QCOMPARE(reports.values, (QList<double> { 1.6, 63.2, 100 }));
        QCOMPARE(reports.completedAfter, QList<qsizetype> { 3 });
    }

    // Zero and not-a-number finish at once; a negative duration at the first tick.
    void unusableDurationsFinishAtOnce_data()
    {
        QTest::addColumn<double>("duration");
        QTest::addColumn<bool>("clock");
        QTest::newRow("zero") << 0.0 << false;
        QTest::newRow("negative") << -1.0 << true;
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << false;
        QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity() << true;
    }

    void unusableDurationsFinishAtOnce()
    {
        QFETCH(double, duration);
        QFETCH(bool, clock);
        StallingScheduler time;
        ProgressGenerate generate;
        Reports reports(generate);
        generate.progressForm(3, 7, duration);
        QCOMPARE(generate.isProgressing(), clock);
        QCOMPARE(reports.values.isEmpty(), clock);
        time.advanceBy(16ms);
        QCOMPARE(reports.values, QList<double> { 7 });
        QCOMPARE(reports.completedAfter, QList<qsizetype> { 1 });
        QVERIFY(!generate.isProgressing());
        QCOMPARE(time.clock.pendingCount(), 0);
    }

    void stopReportsTheValueReachedAndNeverCompletes()
    {
        StallingScheduler time;
        ProgressGenerate generate;
        Reports reports(generate);
        generate.progressForm(10, 20, 0.5);
        time.advanceBy(160ms);
        generate.stopProgress();
        QCOMPARE(reports.values.last(), 10 + 10 * 0.32);
        const qsizetype reported = reports.values.size();
        time.advanceBy(1s);
        QCOMPARE(reports.values.size(), reported);
        QVERIFY(reports.completedAfter.isEmpty());
        QCOMPARE(time.clock.pendingCount(), 0);
    }

    void stopInsideTheLastUpdateSkipsTheCompletion()
    {
        StallingScheduler time;
        ProgressGenerate generate;
        int completions = 0;
        bool stopped = false;
        generate.setUpdateBlock([&generate, &stopped](double value) {
            if (value == 1 && !std::exchange(stopped, true))
                generate.stopProgress();
        });
        generate.setCompletionBlock([&completions] { ++completions; });
        generate.progressForm(0, 1, 0.1);
        time.advanceBy(1s);
        QCOMPARE(completions, 0);
    }

    void destroyingTheGeneratorStopsTheClock()
    {
        StallingScheduler time;
        int updates = 0;
        {
            auto *owner = new QObject;
            auto *generate = new ProgressGenerate(owner);
            generate->setUpdateBlock([&updates](double) { ++updates; });
            generate->progressForm(0, 1, 1);
            time.advanceBy(16ms);
            delete owner;
        }
        time.advanceBy(2s);
        QCOMPARE(updates, 1);
        QCOMPARE(time.clock.pendingCount(), 0);
    }

    void anUpdateBlockMayDestroyItsGenerator()
    {
        StallingScheduler time;
        int completions = 0;
        auto *generate = new ProgressGenerate;
        generate->setUpdateBlock([generate](double) { delete generate; });
        generate->setCompletionBlock([&completions] { ++completions; });
        generate->progressForm(0, 1, 0.01);
        time.advanceBy(1s);
        QCOMPARE(completions, 0);
        QCOMPARE(time.clock.pendingCount(), 0);
    }

    void helperBlocksHoldTheOwnerWeakly()
    {
        StallingScheduler time;
        ProgressGenerate generate;
        QList<double> values;
        QList<Owner *> completedOwners;
        auto *owner = new Owner(&generate);
        owner->setUpdateBlock([&values](Owner *, double value) { values << value; });
        owner->setCompltionBlock([&completedOwners](Owner *self) { completedOwners << self; });
        owner->progressForm(0, 1, 0.032);
        time.advanceBy(16ms);
        QCOMPARE(values, QList<double> { 0.5 });
        delete owner; // the generator runs on, but reaches nobody
        time.advanceBy(1s);
        QCOMPARE(values, QList<double> { 0.5 });
        QVERIFY(completedOwners.isEmpty());
        QVERIFY(!generate.isProgressing());
    }
};

QTEST_MAIN(DisplayLinkTest)
#include "tst_displaylink.moc"
