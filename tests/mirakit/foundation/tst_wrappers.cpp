#include <mirakit/foundation/Blocked.h>
#include <mirakit/foundation/Weak.h>

#include <QTest>

#include <vector>

namespace {
// Tracks whether a callback's captured state still exists.
struct CaptureProbe {
    static inline bool alive = false;
    CaptureProbe() { alive = true; }
    ~CaptureProbe() { alive = false; }
};
bool captureAliveAfterClearing = false;
} // namespace

class WrappersTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void blockedReportsEveryWrite()
    {
        mira::Blocked<QString> title(QStringLiteral("start"));
        QCOMPARE(title.wrappedValue(), QStringLiteral("start"));
        QVERIFY(!title.projectedValue());

        title.setWrappedValue(QStringLiteral("silent")); // no callback yet
        QCOMPARE(title.wrappedValue(), QStringLiteral("silent"));

        QStringList seen;
        title.setProjectedValue([&](const QString &value) { seen << value; });
        title.setWrappedValue(QStringLiteral("a"));
        title.setWrappedValue(QStringLiteral("a"));
        title.setWrappedValue(QStringLiteral("b"));
        QCOMPARE(seen, (QStringList { QStringLiteral("a"), QStringLiteral("a"), QStringLiteral("b") }));

        title.setProjectedValue(nullptr);
        title.setWrappedValue(QStringLiteral("c"));
        QCOMPARE(seen.size(), 3);
        QCOMPARE(title.wrappedValue(), QStringLiteral("c"));
    }

    void blockedDefaultValue()
    {
        const mira::Blocked<int> count;
        QCOMPARE(count.wrappedValue(), 0);
    }

    // Regression: the callback used to be called in place, so a callback that
    // cleared itself destroyed the running function and its captures.
    void blockedCallbackMayClearItself()
    {
        mira::Blocked<int> value;
        auto capture = std::make_shared<CaptureProbe>();
        int calls = 0;
        value.setProjectedValue([&value, &calls, capture](const int &) {
            value.setProjectedValue(nullptr);
            captureAliveAfterClearing = CaptureProbe::alive;
            ++calls;
        });
        capture.reset(); // the callback now holds the only reference
        QVERIFY(CaptureProbe::alive);
        value.setWrappedValue(1);
        QVERIFY(captureAliveAfterClearing);
        QVERIFY(!CaptureProbe::alive); // released once the call returned
        value.setWrappedValue(2);
        QCOMPARE(calls, 1);
    }

    void blockedCallbackMayWriteAgain()
    {
        mira::Blocked<int> value;
        std::vector<int> seen;
        value.setProjectedValue([&](const int &v) {
            seen.push_back(v);
            if (v < 3)
                value.setWrappedValue(v + 1);
        });
        value.setWrappedValue(1);
        QCOMPARE(seen, (std::vector<int> { 1, 2, 3 }));
        QCOMPARE(value.wrappedValue(), 3);
    }

    void weakQObjectClearsOnDestruction()
    {
        auto *object = new QObject;
        mira::Weak<QObject> weak(object);
        QCOMPARE(weak.value(), object);
        QVERIFY(!weak.isNull());
        delete object;
        QCOMPARE(weak.value(), nullptr);
        QVERIFY(weak.isNull());

        QObject other;
        weak.setValue(&other);
        QCOMPARE(weak.value(), &other);
        QVERIFY(mira::Weak<QObject>().isNull());
    }

    void weakSharedObjectDoesNotKeepItAlive()
    {
        struct Observer {
            int id = 7;
        };
        auto owner = std::make_shared<Observer>();
        mira::Weak<Observer> weak(owner);
        QCOMPARE(weak.value()->id, 7);
        QCOMPARE(owner.use_count(), 1); // value() lent an owner only for that expression
        owner.reset();
        QVERIFY(weak.isNull());
        QVERIFY(!weak.value());
        static_assert(std::is_same_v<decltype(weak.value()), std::shared_ptr<Observer>>);
        static_assert(std::is_same_v<decltype(mira::Weak<QObject>().value()), QObject *>);
    }
};

QTEST_GUILESS_MAIN(WrappersTest)
#include "tst_wrappers.moc"
