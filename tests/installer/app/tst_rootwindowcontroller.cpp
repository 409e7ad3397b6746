#include "TestHome.h"

#include <installer/app/AppDelegate.h>
#include <installer/app/PageCloseHandler.h>
#include <installer/app/RootWindowController.h>

#include <QApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

namespace {
class AskingPage : public QWidget, public PageCloseHandler {
public:
    void closeRequest() override { ++requests; }
    int requests = 0;
};
} // namespace

class RootWindowControllerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        qputenv("PRISMORA_NO_ANALYTICS", "1");
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void centeredOrigin_data()
    {
        QTest::addColumn<QRect>("visible");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("origin");
        QTest::newRow("laptop") << QRect(0, 0, 1440, 900) << QSize(300, 200) << QPoint(570, 350);
        QTest::newRow("menu bar and dock") << QRect(0, 25, 1920, 1000) << QSize(800, 520) << QPoint(560, 265);
        QTest::newRow("second screen") << QRect(1920, 0, 1280, 1024) << QSize(800, 520) << QPoint(2160, 252);
        QTest::newRow("no screen") << QRect() << QSize(800, 520) << QPoint(-400, -260);
    }

    void centeredOrigin()
    {
        QFETCH(QRect, visible);
        QFETCH(QSize, size);
        QFETCH(QPoint, origin);
        QCOMPARE(RootWindowController::centeredOrigin(visible, size), origin);
    }

    void windowIsCentredWithoutMaximise()
    {
        RootWindowController window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(QRectF(window.frameGeometry()).center(), QRectF(available).center());
        QCOMPARE(window.size(), RootWindowController::windowSize());
        const Qt::WindowFlags flags = window.windowFlags();
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        // Decorations that offer maximise anyway (Wayland's client-side ones) get nowhere.
        window.setWindowState(Qt::WindowMaximized);
        QVERIFY(!(window.windowState() & Qt::WindowMaximized));
        QCOMPARE(window.size(), RootWindowController::windowSize());
        QDir().mkpath(qEnvironmentVariable("SCREENSHOT_DIR"));
        window.grab().save(qEnvironmentVariable("SCREENSHOT_DIR") + QStringLiteral("/root-window.png"));
    }

    void closeGoesToThePageThatAsks()
    {
        RootWindowController window;
        auto *page = new AskingPage;
        window.setContentViewController(page);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!window.close());
        QCOMPARE(page->requests, 1);
        QVERIFY(window.isVisible());
        QVERIFY(!AppDelegate::isTerminating());
    }

    void replacingContentDeletesTheOldPage()
    {
        RootWindowController window;
        QSignalSpy changed(&window, &RootWindowController::contentViewControllerChanged);
        QPointer<QWidget> first = new QWidget;
        window.setContentViewController(first);
        auto *second = new AskingPage;
        window.setContentViewController(second);
        window.setContentViewController(second);
        QCOMPARE(window.contentViewController(), second);
        QCOMPARE(changed.size(), 2);
        QCOMPARE(changed.last().first().value<QWidget *>(), second);
        QTRY_VERIFY(first.isNull());
    }

    void noContentClosesWithoutTerminating()
    {
        RootWindowController window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.close());
        QVERIFY(!window.isVisible());
        QVERIFY(!AppDelegate::isTerminating());
    }

    // Runs last: it ends the application's orderly termination path.
    void otherContentClosesAndTerminates()
    {
        RootWindowController window;
        window.setContentViewController(new QWidget);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.close());
        QVERIFY(!window.isVisible());
        QVERIFY(AppDelegate::isTerminating());
    }
};

QTEST_MAIN(RootWindowControllerTest)
#include "tst_rootwindowcontroller.moc"
