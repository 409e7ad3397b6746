#include "PointerInput.h"
#include "VirtualTime.h"

#include <mirakit/interactive/LineProgressView.h>

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>

using namespace mira;
using namespace std::chrono_literals;

class LineProgressViewTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void newViewShowsAnEmptyGreenBarOverTheTrack()
    {
        LineProgressView view;
        view.resize(200, 8);
        view.show(); // a hidden widget is laid out when shown
        QCOMPARE(view.progress(), 0.0f);
        QCOMPARE(view.maxProgress(), 1.0f);
        QCOMPARE(view.animationDuration(), 250);
        QCOMPARE(view.progressFrame(), QRectF(0, 0, 0, 8));
        QCOMPARE(view.trackFrame(), QRectF(0, 0, 200, 8));
        const QColor green = QColor::fromRgbF(63 / 255.0, 232 / 255.0, 161 / 255.0);
        QCOMPARE(view.colors(), (QList<QColor> { green, green }));
        QCOMPARE(view.progressLayer().startPoint, QPointF(0, 0));
        QCOMPARE(view.progressLayer().endPoint, QPointF(1, 0));
        QVERIFY(!view.locations().has_value());
    }

    void rightToLeftGrowsFromTheRight()
    {
        LineProgressView view;
        view.setAnimationDuration(0);
        view.setTrackColor(Qt::white);
        view.setBarTintColor(Qt::black);
        view.resize(200, 8);
        view.setProgress(0.25f);
        view.show();
        QCOMPARE(pointer::pixel(&view, QPoint(10, 4)), QColor(Qt::black));
        QCOMPARE(pointer::pixel(&view, QPoint(190, 4)), QColor(Qt::white));
        view.setLayoutDirection(Qt::RightToLeft);
        QCOMPARE(view.progressFrame(), QRectF(0, 0, 50, 8));
        QCOMPARE(pointer::pixel(&view, QPoint(10, 4)), QColor(Qt::white));
        QCOMPARE(pointer::pixel(&view, QPoint(190, 4)), QColor(Qt::black));
    }

    void assistiveTechnologySeesAProgressBar()
    {
        LineProgressView view;
        view.setProgress(0.425f);
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&view);
        QVERIFY(accessible);
        QCOMPARE(accessible->role(), QAccessible::ProgressBar);
        QAccessibleValueInterface *value = accessible->valueInterface();
        QVERIFY(value);
        QCOMPARE(value->currentValue().toFloat(), 0.425f);
        QCOMPARE(value->maximumValue().toFloat(), 1.0f);
        QCOMPARE(accessible->text(QAccessible::Value), QLocale().toString(43) + QLatin1Char('%'));
    }

    void progressAnimatesAndLayoutDoesNot()
    {
        VirtualTime time;
        QWidget window;
        auto *view = new LineProgressView(&window);
        view->setGeometry(0, 0, 200, 8);
        view->setTrackColor(QColor(0xEDEFF2));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy changed(view, &LineProgressView::progressChanged);

        view->setProgress(0.5f);
        QCOMPARE(changed.count(), 1);
        QVERIFY(view->isAnimating());
        QVERIFY(view->progressFrame().width() < 100);
        time.clock.advanceBy(250ms);
        QCOMPARE(view->progressFrame(), QRectF(0, 0, 100, 8));
        QVERIFY(!view->isAnimating());
        QCOMPARE(pointer::pixel(view, QPoint(50, 4)).green(), 232);
        QCOMPARE(pointer::pixel(view, QPoint(150, 4)), QColor(0xEDEFF2));

        view->setProgress(1.0f);
        QVERIFY(view->isAnimating());
        view->resize(300, 10); // layout jumps to the end without animating
        QVERIFY(!view->isAnimating());
        QCOMPARE(view->progressFrame(), QRectF(0, 0, 300, 10));
        QCOMPARE(view->trackFrame(), QRectF(0, 0, 300, 10));
    }

    // Regression: every write restarted a slow-starting animation, so a bar
    // fed every 20 ms trailed the percentage by several points.
    void barKeepsUpWithFrequentWrites()
    {
        VirtualTime time;
        LineProgressView view;
        view.resize(200, 8);
        view.show();
        const qreal oneFrame = 200.0 * 16 / view.animationDuration();
        for (int ms = 0; ms < 2000; ++ms) {
            if (ms % 20 == 0)
                view.setProgress(ms / 2000.0f);
            const qreal target = view.progress() * 200.0;
            const qreal drawn = view.progressFrame().width();
            QVERIFY2(drawn <= target && target - drawn <= oneFrame,
                qPrintable(QStringLiteral("at %1 ms: %2 of %3").arg(ms).arg(drawn).arg(target)));
            time.clock.advanceBy(1ms);
        }
    }

    void aJumpArrivesWithinTheAnimationDuration_data()
    {
        QTest::addColumn<float>("from");
        QTest::addColumn<float>("to");
        QTest::addColumn<int>("arrivalFrame");
        QTest::newRow("half the track") << 0.0f << 0.5f << 8; // 125 ms
        QTest::newRow("the whole track") << 0.0f << 1.0f << 16;
        QTest::newRow("backwards") << 1.0f << 0.0f << 16;
        QTest::newRow("far past the track") << 0.0f << 1e6f << 16;
    }

    void aJumpArrivesWithinTheAnimationDuration()
    {
        QFETCH(float, from);
        QFETCH(float, to);
        QFETCH(int, arrivalFrame);
        VirtualTime time;
        LineProgressView view;
        view.resize(200, 8);
        view.setProgress(from);
        view.show();
        view.setProgress(to);
        time.clock.advanceBy(16ms * (arrivalFrame - 1));
        QVERIFY(view.isAnimating());
        QVERIFY(view.progressFrame().width() != qreal(to) * 200);
        time.clock.advanceBy(16ms);
        QCOMPARE(view.progressFrame().width(), qreal(to) * 200);
        QVERIFY(!view.isAnimating());
        QCOMPARE(time.clock.pendingCount(), 0);
    }

    void unusableValuesGiveAnEmptyBar_data()
    {
        QTest::addColumn<float>("progress");
        QTest::addColumn<float>("maxProgress");
        const float infinity = std::numeric_limits<float>::infinity();
        QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << 1.0f;
        QTest::newRow("infinite") << infinity << 1.0f;
        QTest::newRow("minus infinite") << -infinity << 1.0f;
        QTest::newRow("ratio overflows") << 1e30f << 1e-30f;
        QTest::newRow("maximum not a number") << 0.5f << std::numeric_limits<float>::quiet_NaN();
    }

    void unusableValuesGiveAnEmptyBar()
    {
        QFETCH(float, progress);
        QFETCH(float, maxProgress);
        VirtualTime time;
        LineProgressView view;
        view.resize(200, 8);
        view.show();
        view.setMaxProgress(maxProgress);
        view.setProgress(progress);
        time.clock.advanceBy(1s);
        QCOMPARE(view.progressFrame().width(), 0.0);
        QVERIFY(!view.isAnimating());
        QCOMPARE(QAccessible::queryAccessibleInterface(&view)->text(QAccessible::Value),
            QLocale().toString(0) + QLatin1Char('%'));
    }

    void farPastTheTrackStillPaintsAFullBar()
    {
        LineProgressView view;
        view.setAnimationDuration(0);
        view.setTrackColor(Qt::white);
        view.setBarTintColor(Qt::black);
        view.setProgressCornerRadius(3);
        view.resize(200, 8);
        view.setProgress(1e30f);
        view.show();
        QCOMPARE(pointer::pixel(&view, QPoint(190, 4)), QColor(Qt::black));
    }

    // A new maximum waits for the next layout or progress write.
    void ratioIsNotClampedAndMaxProgressWaitsForTheNextLayout()
    {
        LineProgressView view;
        view.setAnimationDuration(0);
        view.resize(200, 6);
        view.show();
        view.setProgress(0.25f);
        QCOMPARE(view.progressFrame().width(), 50.0);
        QSignalSpy changed(&view, &LineProgressView::maxProgressChanged);
        view.setMaxProgress(0.5f);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(view.progressFrame().width(), 50.0);
        view.resize(300, 6);
        QCOMPARE(view.progressFrame().width(), 150.0);
        view.setProgress(1.0f);
        QCOMPARE(view.progressFrame().width(), 600.0);
        view.setProgress(-0.25f);
        QCOMPARE(view.progressFrame().width(), -150.0);
        // A zero maximum gives an empty bar, never an infinite one.
        view.setMaxProgress(0);
        view.setProgress(0.5f);
        QCOMPARE(view.progressFrame().width(), 0.0);
    }

    void appearanceProperties()
    {
        LineProgressView view;
        view.setProgressCornerRadius(3);
        QCOMPARE(view.progressLayer().cornerRadius, 3.0);
        QCOMPARE(view.trackLayer().cornerRadius, 3.0);
        QCOMPARE(view.property("progressCornerRadius").toReal(), 3.0);

        const QList<QColor> brand { QColor(0x3BE5A2), QColor(0x36C5D3) };
        view.setColors(brand);
        view.setLocations(QList<qreal> { 0.3, 1 });
        QCOMPARE(view.progressLayer().colors, brand);
        QCOMPARE(view.progressLayer().locations, (QList<qreal> { 0.3, 1 }));
        view.setLocations(std::nullopt);
        QVERIFY(view.progressLayer().locations.isEmpty());

        QVERIFY(view.setProperty("barTintColor", QColor(Qt::red)));
        QCOMPARE(view.progressLayer().colors, (QList<QColor> { Qt::red, Qt::red }));
        QCOMPARE(view.colors(), brand); // the stored list is kept
        view.setBarTintColor(QColor());
        QCOMPARE(view.barTintColor().alpha(), 0);

        QVERIFY(view.setProperty("trackColor", QColor(0xEDEFF2)));
        QCOMPARE(view.trackColor(), QColor(0xEDEFF2));
        view.setTrackColor(QColor());
        QVERIFY(!view.trackLayer().backgroundColor.isValid());
    }

    void screenshotAtSeveralValues()
    {
        QWidget window;
        window.setStyleSheet(QStringLiteral("background: white"));
        window.resize(220, 80);
        QList<LineProgressView *> bars;
        for (int i = 0; i < 4; ++i) {
            auto *bar = new LineProgressView(&window);
            bar->setAnimationDuration(0);
            bar->setGeometry(10, 10 + i * 16, 200, 6);
            bar->setTrackColor(QColor(0xEDEFF2));
            bar->setProgressCornerRadius(3);
            bar->setProgress(i / 3.0f);
            bars << bar;
        }
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        pointer::saveScreenshot(&window, QStringLiteral("lineprogressview-values"));
        QCOMPARE(bars.last()->progressFrame().width(), 200.0);
    }
};

QTEST_MAIN(LineProgressViewTest)
#include "tst_lineprogressview.moc"
