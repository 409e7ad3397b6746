#include <installer/app/AppDelegate.h>
#include <installer/app/TerminationSignals.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <csignal>

class TerminationSignalsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void signalsReachTheHandlerOnTheMainThread()
    {
        QList<int> received;
        QThread *thread = nullptr;
        struct sigaction before = {};
        sigaction(SIGTERM, nullptr, &before);
        {
            TerminationSignals signalsHandler([&](int number) {
                received << number;
                thread = QThread::currentThread();
            });
            QVERIFY(signalsHandler.isActive());
            QSignalSpy spy(&signalsHandler, &TerminationSignals::received);
            ::raise(SIGTERM);
            ::raise(SIGINT);
            QTRY_COMPARE(received, (QList<int> { SIGTERM, SIGINT }));
            QCOMPARE(spy.count(), 2);
            QCOMPARE(thread, QCoreApplication::instance()->thread());
        }
        // The earlier disposition is back once the object is gone.
        struct sigaction current = {};
        sigaction(SIGTERM, nullptr, &current);
        QCOMPARE(reinterpret_cast<void *>(current.sa_handler), reinterpret_cast<void *>(before.sa_handler));
    }

    void defaultHandlerQuitsThroughTheDelegate()
    {
        TerminationSignals signalsHandler;
        QVERIFY(!AppDelegate::isTerminating());
        ::raise(SIGTERM);
        QTRY_VERIFY(AppDelegate::isTerminating());
    }
};

QTEST_GUILESS_MAIN(TerminationSignalsTest)
#include "tst_terminationsignals.moc"
