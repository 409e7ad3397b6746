#include <platform/NotificationCenter.h>

#include <QTest>

using platform::Notification;
using platform::NotificationCenter;

class NotificationCenterTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void deliversByNameInRegistrationOrder()
    {
        NotificationCenter center;
        QStringList calls;
        center.addObserver(
            QStringLiteral("a"), nullptr, [&](const Notification &) { calls << QStringLiteral("first"); });
        center.addObserver(
            QStringLiteral("b"), nullptr, [&](const Notification &) { calls << QStringLiteral("other"); });
        center.addObserver(QStringLiteral("a"), nullptr, [&](const Notification &n) { calls << n.name; });
        center.post(QStringLiteral("a"));
        QCOMPARE(calls, (QStringList { QStringLiteral("first"), QStringLiteral("a") }));
    }

    void observersGoWithTheirContext()
    {
        NotificationCenter center;
        int calls = 0;
        {
            QObject page;
            center.addObserver(QStringLiteral("progress"), &page, [&](const Notification &) { ++calls; });
            center.post(QStringLiteral("progress"));
        }
        center.post(QStringLiteral("progress"));
        QCOMPARE(calls, 1);
        QCOMPARE(center.observerCount(), 0);
    }

    void removalByContextAndName()
    {
        NotificationCenter center;
        QObject page;
        int calls = 0;
        center.addObserver(QStringLiteral("x"), &page, [&](const Notification &) { ++calls; });
        center.addObserver(QStringLiteral("y"), &page, [&](const Notification &) { ++calls; });
        center.removeObserver(&page, QStringLiteral("x"));
        center.post(QStringLiteral("x"));
        center.post(QStringLiteral("y"));
        QCOMPARE(calls, 1);
        center.removeObserver(&page);
        QCOMPARE(center.observerCount(), 0);
    }

    void observerMayDeleteAnotherDuringDelivery()
    {
        NotificationCenter center;
        auto *second = new QObject;
        int secondCalls = 0;
        center.addObserver(QStringLiteral("failed"), nullptr, [&](const Notification &) {
            delete second; // a page replacing itself tears down the next observer
            second = nullptr;
        });
        center.addObserver(QStringLiteral("failed"), second, [&](const Notification &) { ++secondCalls; });
        center.post(QStringLiteral("failed"));
        QCOMPARE(secondCalls, 0);
        QCOMPARE(center.observerCount(), 1);
    }

    void observerAddedDuringDeliveryWaitsForTheNextPost()
    {
        NotificationCenter center;
        int late = 0;
        center.addObserver(QStringLiteral("n"), nullptr, [&](const Notification &) {
            center.addObserver(QStringLiteral("n"), nullptr, [&](const Notification &) { ++late; });
        });
        center.post(QStringLiteral("n"));
        QCOMPARE(late, 0);
        center.post(QStringLiteral("n"));
        QCOMPARE(late, 1);
    }

    void valuesTravelWithTheirNotification()
    {
        NotificationCenter center;
        QList<Notification> received;
        center.addObserver(QStringLiteral("count"), nullptr, [&](const Notification &n) { received << n; });
        center.postValue(QStringLiteral("count"), 3, { { QStringLiteral("source"), QStringLiteral("sync") } });
        center.post(QStringLiteral("count"));
        QCOMPARE(received.size(), 2);
        QCOMPARE(received[0].value, QVariant(3));
        QCOMPARE(received[0].object, nullptr);
        QCOMPARE(received[0].userInfo.value(QStringLiteral("source")), QVariant(QStringLiteral("sync")));
        QVERIFY(!received[1].value.isValid());
    }

    void defaultCenterIsOneInstance()
    {
        QCOMPARE(&NotificationCenter::defaultCenter(), &NotificationCenter::defaultCenter());
    }
};

QTEST_GUILESS_MAIN(NotificationCenterTest)
#include "tst_notificationcenter.moc"
