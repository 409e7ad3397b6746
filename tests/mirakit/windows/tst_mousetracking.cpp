#include <mirakit/interactive/CursorRect.h>
#include <mirakit/interactive/MouseTracker.h>
#include <mirakit/interactive/MouseTrackingPointer.h>
#include <mirakit/interactive/MouseTrackingProtocol.h>
#include <mirakit/interactive/MouseTrackingView.h>
#include <mirakit/interactive/ViewBehaverWrapper.h>

#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace mira;

namespace {

// Records its own enter/leave handling so that the order against the hooks can be checked.
class RecordingView : public QWidget {
public:
    using QWidget::QWidget;
    QStringList *log = nullptr;

protected:
    void enterEvent(QEnterEvent *) override
    {
        if (log)
            *log << QStringLiteral("own-enter");
    }
    void leaveEvent(QEvent *) override
    {
        if (log)
            *log << QStringLiteral("own-leave");
    }
};

class MotionEatingChild : public QWidget {
public:
    explicit MotionEatingChild(QWidget *parent)
        : QWidget(parent)
    {
        setMouseTracking(true);
    }
    int moves = 0;

protected:
    void mouseMoveEvent(QMouseEvent *event) override
    {
        ++moves;
        event->accept();
    }
};

class ProtocolView : public QWidget, public MouseTrackingProtocol {
public:
    using QWidget::QWidget;
    std::optional<MouseTrackingArea> area;
    QStringList seen;

    std::optional<MouseTrackingArea> trackedArea() const override { return area; }
    void setTrackedArea(const std::optional<MouseTrackingArea> &a) override { area = a; }

protected:
    QWidget *trackedView() override { return this; }
    void enterEvent(QEnterEvent *) override { seen << QStringLiteral("enter"); }
    void leaveEvent(QEvent *) override { seen << QStringLiteral("leave"); }
};

} // namespace

class MouseTrackingTest : public QObject {
    Q_OBJECT
private:
    QPoint m_pointer;

private Q_SLOTS:
    void init()
    {
        m_pointer = QPoint(-1000, -1000);
        MouseTrackingPointer::setSource([this] { return m_pointer; });
    }
    void cleanup() { MouseTrackingPointer::setSource({}); }

    void cursorAreasResolveAgainstBounds_data()
    {
        QTest::addColumn<CursorArea>("area");
        QTest::addColumn<QRectF>("bounds");
        QTest::addColumn<QRectF>("expected");
        QTest::newRow("relative right half")
            << CursorArea::relative(QRectF(0.5, 0, 0.5, 1)) << QRectF(0, 0, 200, 40) << QRectF(100, 0, 100, 40);
        QTest::newRow("relative negative size")
            << CursorArea::relative(QRectF(0.25, 0.5, -0.5, -0.5)) << QRectF(0, 0, 200, 40) << QRectF(50, 20, 100, 20);
        QTest::newRow("absolute ignores bounds")
            << CursorArea::absolute(QRectF(3, 4, 5, 6)) << QRectF(0, 0, 200, 40) << QRectF(3, 4, 5, 6);
        QTest::newRow("all") << CursorArea::all() << QRectF(0, 0, 80, 30) << QRectF(0, 0, 80, 30);
    }
    void cursorAreasResolveAgainstBounds()
    {
        QFETCH(CursorArea, area);
        QFETCH(QRectF, bounds);
        QFETCH(QRectF, expected);
        QCOMPARE(area.rectIn(bounds), expected);
    }

    void cursorRectanglesFollowResizingAtEachReset()
    {
        QWidget window;
        window.resize(400, 200);
        QWidget view(&window);
        view.setGeometry(0, 0, 200, 40);
        auto *cursors = viewBehaver(&view).cursorRect();
        cursors->addCursor(QCursor(Qt::PointingHandCursor), CursorArea::relative(QRectF(0.5, 0, 0.5, 1)));
        cursors->addCursor(QCursor(Qt::IBeamCursor), CursorArea::absolute(QRectF(0, 0, 10, 10)));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        MouseTrackingView *tracking = MouseTrackingView::find(&view);
        QVERIFY(tracking);
        QCOMPARE(tracking->cursorRects().size(), 2);
        QCOMPARE(tracking->cursorRects().at(0).rect, QRectF(100, 0, 100, 40));

        view.resize(300, 60);
        QCOMPARE(tracking->cursorRects().at(0).rect, QRectF(150, 0, 150, 60));
        QCOMPARE(tracking->cursorRects().at(1).rect, QRectF(0, 0, 10, 10));

        // The pointer picks up the cursor of the rectangle it is over and loses it outside.
        QTest::mouseMove(&view, QPoint(200, 30));
        QCOMPARE(view.cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseMove(&view, QPoint(5, 5));
        QCOMPARE(view.cursor().shape(), Qt::IBeamCursor);
        QTest::mouseMove(&view, QPoint(50, 30));
        QVERIFY(!view.testAttribute(Qt::WA_SetCursor));

        cursors->removeAll();
        tracking->invalidateCursorRects();
        QVERIFY(tracking->cursorRects().isEmpty());
    }

    // A child that keeps pointer motion to itself (it tracks the mouse and
    // accepts the moves) still shows the cursor of the rectangle it lies in.
    void cursorRectanglesApplyOverChildren()
    {
        QWidget window;
        window.resize(300, 100);
        QWidget view(&window);
        view.setGeometry(0, 0, 200, 100);
        MotionEatingChild child(&view);
        child.setGeometry(120, 10, 60, 60);
        QWidget ownCursorChild(&view);
        ownCursorChild.setGeometry(120, 75, 60, 20);
        ownCursorChild.setCursor(Qt::IBeamCursor);
        viewBehaver(&view).cursorRect()->addCursor(
            QCursor(Qt::PointingHandCursor), CursorArea::relative(QRectF(0.5, 0, 0.5, 1)));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QTest::mouseMove(&window, QPoint(20, 50));
        QCOMPARE(child.cursor().shape(), Qt::ArrowCursor);
        QTest::mouseMove(&window, QPoint(130, 20));
        QVERIFY(child.moves > 0);
        QCOMPARE(child.cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(ownCursorChild.cursor().shape(), Qt::IBeamCursor);
        QTest::mouseMove(&window, QPoint(250, 50));
        QCOMPARE(child.cursor().shape(), Qt::ArrowCursor);
    }

    void overlappingCursorRectanglesLetTheLaterOneWin()
    {
        QWidget view;
        view.resize(100, 100);
        auto *cursors = viewBehaver(&view).cursorRect();
        cursors->addCursor(QCursor(Qt::PointingHandCursor), CursorArea::all());
        cursors->addCursor(QCursor(Qt::CrossCursor), CursorArea::absolute(QRectF(0, 0, 50, 50)));
        MouseTrackingView::of(&view)->invalidateCursorRects();
        QCOMPARE(MouseTrackingView::of(&view)->cursorAt(QPointF(10, 10))->shape(), Qt::CrossCursor);
        QCOMPARE(MouseTrackingView::of(&view)->cursorAt(QPointF(70, 70))->shape(), Qt::PointingHandCursor);
    }

    void renewingTheRegionReportsTheStatusAtOnce()
    {
        QList<MouseTrackEvent> reports;
        QWidget window;
        window.resize(300, 300);
        QWidget view(&window);
        view.setGeometry(0, 0, 40, 40);
        MouseTracker *tracker = viewBehaver(&view).mouseTracker();
        tracker->subscribeMouseTrackEvent([&](MouseTrackEvent e) { reports << e; });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // The pointer rests at (60, 60) in the window; nothing moves it.
        m_pointer = window.mapToGlobal(QPoint(60, 60));
        view.resize(41, 41);
        QCOMPARE(reports.last(), MouseTrackEvent::exited);
        const int before = reports.size();
        view.resize(100, 100);
        QCOMPARE(reports.size(), before + 1);
        QCOMPARE(reports.last(), MouseTrackEvent::entered);
        QCOMPARE(tracker->event(), MouseTrackEvent::entered);

        // Exactly one region is installed per tracker, covering the current bounds.
        const auto areas = MouseTrackingView::of(&view)->trackingAreas();
        QCOMPARE(areas.size(), 1);
        QCOMPARE(areas.first().rect(), QRectF(0, 0, 100, 100));
        QCOMPARE(int(areas.first().options()), 643);
        QCOMPARE(*tracker->trackingArea(), areas.first());
    }

    void aViewOutsideAnyWindowGetsARegionButNoReport()
    {
        QWidget view;
        view.resize(40, 40);
        MouseTracker tracker;
        int calls = 0;
        tracker.subscribeMouseTrackEvent([&](MouseTrackEvent) { ++calls; });
        tracker.updateTrackingArea(&view);
        QCOMPARE(calls, 0);
        QVERIFY(tracker.trackingArea().has_value());
        QCOMPARE(MouseTrackingView::of(&view)->trackingAreas().size(), 1);
    }

    void reciveNotifiesEveryTimeAndTracksWithoutSubscriber()
    {
        MouseTracker tracker;
        int calls = 0;
        tracker.subscribeMouseTrackEvent([&](MouseTrackEvent) { ++calls; });
        tracker.recive(MouseTrackEvent::exited);
        tracker.recive(MouseTrackEvent::exited);
        QCOMPARE(calls, 2);
        tracker.subscribeMouseTrackEvent(nullptr);
        tracker.recive(MouseTrackEvent::entered);
        QCOMPARE(calls, 2);
        QCOMPARE(tracker.event(), MouseTrackEvent::entered);
    }

    void hooksAttachOnceAndRunAfterTheWidgetsOwnHandling()
    {
        QStringList log;
        QWidget window;
        window.resize(200, 200);
        RecordingView view(&window);
        view.setGeometry(20, 20, 100, 100);
        view.log = &log;
        const QByteArray className = view.metaObject()->className();

        auto first = viewBehaver(&view);
        auto second = viewBehaver(&view);
        first.addMouseEnteredCallback([&](QEvent *) { log << QStringLiteral("a"); });
        second.addMouseEnteredCallback(nullptr); // absent entries are skipped
        second.addMouseEnteredCallback([&](QEvent *) { log << QStringLiteral("b"); });
        first.addMouseExitedCallback([&](QEvent *) { log << QStringLiteral("exit"); });
        QCOMPARE(view.findChildren<QObject *>(QStringLiteral("ViewBehaverHooks")).size(), 1);
        QCOMPARE(QByteArray(view.metaObject()->className()), className);
        QVERIFY(ViewBehaverWrapper::isHooked(&view));

        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mouseMove(window.windowHandle(), QPoint(5, 5));
        log.clear();
        QTest::mouseMove(window.windowHandle(), QPoint(50, 50));
        QTest::mouseMove(window.windowHandle(), QPoint(150, 150));
        QCOMPARE(log, (QStringList { "own-enter", "a", "b", "own-leave", "exit" }));
    }

    void interactionOffLetsClicksThroughAndStopsEnterExit()
    {
        int trackingUpdates = 0;
        QList<MouseTrackEvent> reports;
        QWidget window;
        window.resize(200, 200);
        QPushButton behind(&window);
        behind.setGeometry(0, 0, 200, 200);
        QPushButton front(&window);
        front.setGeometry(50, 50, 100, 100);
        QSignalSpy behindClicks(&behind, &QPushButton::clicked);
        QSignalSpy frontClicks(&front, &QPushButton::clicked);
        auto behaver = viewBehaver(&front);
        behaver.mouseTracker()->subscribeMouseTrackEvent([&](MouseTrackEvent e) { reports << e; });
        behaver.addUpdateTrackingAreaCallback([&] { ++trackingUpdates; });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(behaver.isUserInteractionEnabled());

        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(100, 100));
        QCOMPARE(frontClicks.size(), 1);
        QCOMPARE(behindClicks.size(), 0);
        QTest::mouseMove(window.windowHandle(), QPoint(10, 10));
        reports.clear();

        behaver.setUserInteractionEnabled(false);
        behaver.setUserInteractionEnabled(false); // a second switch-off must not lose what was saved
        QVERIFY(!behaver.isUserInteractionEnabled());
        QVERIFY(MouseTrackingView::of(&front)->trackingAreas().isEmpty());
        QCOMPARE(behaver.hitTest(QPoint(10, 10)), nullptr);
        QTest::mouseMove(window.windowHandle(), QPoint(100, 100));
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseMove(window.windowHandle(), QPoint(10, 10));
        QCOMPARE(frontClicks.size(), 1);
        QCOMPARE(behindClicks.size(), 1);
        QVERIFY(reports.isEmpty());
        const int updatesWhileOff = trackingUpdates;
        front.resize(110, 110);
        QCOMPARE(trackingUpdates, updatesWhileOff);

        m_pointer = window.mapToGlobal(QPoint(10, 10));
        behaver.setUserInteractionEnabled(true);
        QCOMPARE(MouseTrackingView::of(&front)->trackingAreas().size(), 1);
        QCOMPARE(behaver.hitTest(QPoint(10, 10)), &front);
        front.resize(100, 100);
        QCOMPARE(trackingUpdates, updatesWhileOff + 1);
        QTest::mouseMove(window.windowHandle(), QPoint(100, 100));
        // The renewal after the resize reports where the pointer rests, then motion reports entering.
        QCOMPARE(reports, (QList<MouseTrackEvent> { MouseTrackEvent::exited, MouseTrackEvent::entered }));
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(100, 100));
        QCOMPARE(frontClicks.size(), 2);
        QCOMPARE(behindClicks.size(), 1);
    }

    void interactionBackOnRestoresTheEarlierPassThrough()
    {
        QWidget window;
        QWidget badge(&window);
        badge.setAttribute(Qt::WA_TransparentForMouseEvents);
        auto behaver = viewBehaver(&badge);
        behaver.setHitTest([&](const QPoint &) { return &window; });
        behaver.setUserInteractionEnabled(false);
        behaver.setUserInteractionEnabled(true);
        QVERIFY(badge.testAttribute(Qt::WA_TransparentForMouseEvents));
        QCOMPARE(behaver.hitTest(QPoint(1, 1)), &window);
    }

    void hitTestReplacementRoutesPresses()
    {
        QWidget window;
        window.resize(200, 100);
        QPushButton behind(&window);
        behind.setGeometry(0, 0, 200, 100);
        QPushButton front(&window);
        front.setGeometry(100, 0, 100, 100);
        QSignalSpy behindClicks(&behind, &QPushButton::clicked);
        QSignalSpy frontClicks(&front, &QPushButton::clicked);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // The replacement names another widget: that one takes the press.
        viewBehaver(&front).setHitTest([&](const QPoint &) { return &behind; });
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(150, 50));
        QCOMPARE(frontClicks.size(), 0);
        QCOMPARE(behindClicks.size(), 1);

        // No widget: the press goes through to whatever lies behind.
        viewBehaver(&front).setHitTest([](const QPoint &) -> QWidget * { return nullptr; });
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(150, 50));
        QCOMPARE(frontClicks.size(), 0);
        QCOMPARE(behindClicks.size(), 2);
        QVERIFY(front.isVisible() && !front.testAttribute(Qt::WA_TransparentForMouseEvents));

        viewBehaver(&front).setHitTest(nullptr);
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(150, 50));
        QCOMPARE(frontClicks.size(), 1);
        QCOMPARE(behindClicks.size(), 2);
    }

    void protocolRenewalDeliversABlankEnterOrLeave()
    {
        QWidget window;
        window.resize(200, 200);
        ProtocolView view(&window);
        view.setGeometry(0, 0, 50, 50);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        view.seen.clear();

        m_pointer = window.mapToGlobal(QPoint(10, 10));
        view.configerTrackingArea();
        QCOMPARE(view.seen, QStringList { "enter" });
        QVERIFY(view.area.has_value());
        QCOMPARE(int(view.area->options()), 129);

        m_pointer = window.mapToGlobal(QPoint(150, 150));
        const MouseTrackingArea old = *view.area;
        view.updateMouseEnterExitTrackingArea();
        QCOMPARE(view.seen, (QStringList { "enter", "leave" }));
        const auto areas = MouseTrackingView::of(&view)->trackingAreas();
        QVERIFY(!areas.contains(old));
        QVERIFY(areas.contains(*view.area));
    }
};

QTEST_MAIN(MouseTrackingTest)
#include "tst_mousetracking.moc"
