#include "VirtualTime.h"

#include <mirakit/windows/MiraSwitch.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QSignalSpy>
#include <QTest>

using namespace mira;
using namespace std::chrono_literals;

class MiraSwitchTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void beadGeometry_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("on");
        QTest::addColumn<Qt::LayoutDirection>("direction");
        QTest::addColumn<QMarginsF>("insets");
        QTest::addColumn<qreal>("beadWidth");
        QTest::addColumn<QPointF>("center");
        QTest::newRow("50x30 off") << QSize(50, 30) << false << Qt::LeftToRight << QMarginsF(5, 3, 5, 3) << 24.0
                                   << QPointF(17, 15);
        QTest::newRow("50x30 on") << QSize(50, 30) << true << Qt::LeftToRight << QMarginsF(5, 3, 5, 3) << 24.0
                                  << QPointF(33, 15);
        QTest::newRow("right-to-left off is on the right")
            << QSize(50, 30) << false << Qt::RightToLeft << QMarginsF(5, 3, 5, 3) << 24.0 << QPointF(33, 15);
        QTest::newRow("right-to-left on is on the left")
            << QSize(50, 30) << true << Qt::RightToLeft << QMarginsF(5, 3, 5, 3) << 24.0 << QPointF(17, 15);
        QTest::newRow("narrower than the bead keeps it in the middle")
            << QSize(20, 30) << true << Qt::LeftToRight << QMarginsF(5, 3, 5, 3) << 20.0 << QPointF(10, 15);
        QTest::newRow("lower than the insets has no bead")
            << QSize(50, 4) << false << Qt::LeftToRight << QMarginsF(5, 3, 5, 3) << 0.0 << QPointF(5, 2);
        QTest::newRow("right-to-left insets lead from the right")
            << QSize(50, 30) << false << Qt::RightToLeft << QMarginsF(2, 3, 8, 3) << 24.0 << QPointF(36, 15);
        QTest::newRow("insets that are not numbers are ignored")
            << QSize(50, 30) << false << Qt::LeftToRight << QMarginsF(qQNaN(), 3, 5, qInf()) << 24.0 << QPointF(17, 15);
    }

    void beadGeometry()
    {
        QFETCH(QSize, size);
        QFETCH(bool, on);
        QFETCH(Qt::LayoutDirection, direction);
        MiraSwitch control;
        control.setLayoutDirection(direction);
        QFETCH(QMarginsF, insets);
        control.setEdgeInsects(insets);
        control.resize(size);
        control.setOn(on);
        QFETCH(qreal, beadWidth);
        QCOMPARE(control.beadWidth(), beadWidth);
        QFETCH(QPointF, center);
        QCOMPARE(control.beadCenter(), center);
    }

    void pointerToggles_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<Qt::LayoutDirection>("direction");
        QTest::addColumn<bool>("startOn");
        QTest::addColumn<QList<QPoint>>("path"); // press, moves..., release
        QTest::addColumn<qreal>("draggedTo"); // bead centre x before the release
        QTest::addColumn<bool>("endOn");
        QTest::addColumn<int>("clicks");
        const Qt::LayoutDirection ltr = Qt::LeftToRight;
        QTest::newRow("click on the track")
            << 50 << ltr << false << QList<QPoint> { { 40, 15 }, { 40, 15 } } << 17.0 << true << 1;
        QTest::newRow("bead follows the pointer")
            << 50 << ltr << false << QList<QPoint> { { 17, 15 }, { 25, 15 }, { 25, 15 } } << 25.0 << true << 1;
        QTest::newRow("bead stops at the on end")
            << 50 << ltr << false << QList<QPoint> { { 17, 15 }, { 100, 15 }, { 100, 15 } } << 33.0 << true << 1;
        QTest::newRow("drag beyond the off end stays off")
            << 50 << ltr << false << QList<QPoint> { { 17, 15 }, { -10, 15 }, { -10, 15 } } << 17.0 << false << 0;
        QTest::newRow("half a bead is no drag: click")
            << 100 << ltr << false << QList<QPoint> { { 17, 15 }, { 29, 15 }, { 29, 15 } } << 29.0 << true << 1;
        QTest::newRow("just over half a bead drags: nearer end")
            << 100 << ltr << false << QList<QPoint> { { 17, 15 }, { 30, 15 }, { 30, 15 } } << 30.0 << false << 0;
        QTest::newRow("narrow switch drags nowhere")
            << 20 << ltr << false << QList<QPoint> { { 10, 15 }, { 30, 15 }, { 30, 15 } } << 10.0 << true << 1;
        QTest::newRow("right-to-left drag to the left turns on")
            << 50 << Qt::RightToLeft << false << QList<QPoint> { { 33, 15 }, { 0, 15 }, { 0, 15 } } << 17.0 << true
            << 1;
        QTest::newRow("click released outside toggles")
            << 50 << ltr << false << QList<QPoint> { { 40, 15 }, { 40, 100 } } << 17.0 << true << 1;
    }

    void pointerToggles()
    {
        QFETCH(Qt::LayoutDirection, direction);
        QFETCH(bool, startOn);
        QFETCH(QList<QPoint>, path);
        QFETCH(bool, endOn);
        VirtualTime time;
        MiraSwitch control;
        control.setLayoutDirection(direction);
        QFETCH(int, width);
        control.resize(width, 30);
        control.setOn(startOn);
        control.show();
        QSignalSpy clicked(&control, &MiraSwitch::clicked);
        QSignalSpy changed(&control, &MiraSwitch::onChanged);

        QTest::mousePress(&control, Qt::LeftButton, {}, path.first());
        for (qsizetype index = 1; index + 1 < path.size(); ++index)
            QTest::mouseMove(&control, path.at(index));
        QFETCH(qreal, draggedTo);
        QCOMPARE(control.beadCenter().x(), draggedTo);
        QTest::mouseRelease(&control, Qt::LeftButton, {}, path.last());

        QCOMPARE(control.isOn(), endOn);
        QFETCH(int, clicks);
        QCOMPARE(clicked.size(), clicks);
        for (const auto &arguments : clicked)
            QCOMPARE(arguments.at(0).toBool(), endOn);
        QCOMPARE(changed.size(), startOn == endOn ? 0 : 1);
        time.clock.advanceBy(500ms);
        MiraSwitch settled;
        settled.setLayoutDirection(direction);
        settled.resize(control.size());
        settled.setOn(endOn);
        QCOMPARE(control.beadCenter(), settled.beadCenter());
    }

    void codeSetsStateWithoutAction()
    {
        MiraSwitch control;
        control.resize(50, 30);
        control.show();
        QSignalSpy clicked(&control, &MiraSwitch::clicked);
        QSignalSpy changed(&control, &MiraSwitch::onChanged);
        QCOMPARE(control.grab().toImage().pixelColor(25, 1), QColor(68, 68, 68));
        control.setOn(true, false);
        control.setOn(true, false);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(clicked.size(), 0);
        QCOMPARE(control.beadCenter(), QPointF(33, 15));
        QCOMPARE(control.grab().toImage().pixelColor(25, 1), QColor(42, 192, 129));
        QCOMPARE(control.grab().toImage().pixelColor(33, 15), QColor(Qt::white));
    }

    // A spring cut off at its duration still swings; the last frame must land on the end.
    void springLandsExactlyOnTheEnd()
    {
        VirtualTime time;
        MiraSwitch control;
        control.resize(50, 30);
        control.setOn(true, true);
        time.clock.advanceBy(240ms);
        QVERIFY2(control.beadCenter().x() > 33, "the spring overshoots its end");
        time.clock.advanceBy(250ms);
        QVERIFY(control.beadCenter().x() != 33);
        time.clock.advanceBy(10ms);
        QCOMPARE(control.beadCenter().x(), 33.0);
        QCOMPARE(time.clock.pendingCount(), 0);
    }

    void beadSwellsWhilePressed_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<qreal>("pressedScale");
        QTest::addColumn<bool>("enabledOnRelease");
        QTest::newRow("swelling on") << true << 1.1 << true;
        QTest::newRow("swelling off") << false << 1.0 << false;
        QTest::newRow("swelling turned off while pressed") << true << 1.1 << false;
    }

    void beadSwellsWhilePressed()
    {
        VirtualTime time;
        MiraSwitch control;
        QFETCH(bool, enabled);
        control.setHighLightedAnimationEnable(enabled);
        control.resize(50, 30);
        control.show();
        QTest::mousePress(&control, Qt::LeftButton, {}, QPoint(17, 15));
        time.clock.advanceBy(350ms);
        QFETCH(qreal, pressedScale);
        QCOMPARE(control.beadScale(), pressedScale);
        QFETCH(bool, enabledOnRelease);
        control.setHighLightedAnimationEnable(enabledOnRelease);
        QTest::mouseRelease(&control, Qt::LeftButton, {}, QPoint(17, 15));
        time.clock.advanceBy(500ms);
        QCOMPARE(control.beadScale(), 1.0);
    }

    void disablingDropsThePress()
    {
        VirtualTime time;
        MiraSwitch control;
        control.resize(50, 30);
        control.show();
        QSignalSpy clicked(&control, &MiraSwitch::clicked);
        QTest::mousePress(&control, Qt::LeftButton, {}, QPoint(17, 15));
        QTest::mouseMove(&control, QPoint(40, 15));
        control.setEnabled(false);
        QCOMPARE(control.beadCenter(), QPointF(17, 15));
        QCOMPARE(control.beadScale(), 1.0);
        control.setEnabled(true);
        QTest::mouseRelease(&control, Qt::LeftButton, {}, QPoint(40, 15));
        QVERIFY(!control.isOn());
        QCOMPARE(clicked.size(), 0);
    }

    void keyboardAndAssistiveToggles()
    {
        MiraSwitch control;
        control.setAccessibleName(QStringLiteral("Wi-Fi"));
        control.show();
        QSignalSpy clicked(&control, &MiraSwitch::clicked);
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&control);
        QVERIFY(accessible);
        QCOMPARE(accessible->role(), QAccessible::CheckBox);
        QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("Wi-Fi"));
        QVERIFY(accessible->state().checkable);
        QVERIFY(!accessible->state().checked);

        control.setOn(true);
        QVERIFY(accessible->state().checked);

        QAccessibleActionInterface *actions = accessible->actionInterface();
        QVERIFY(actions);
        QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
        actions->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(!control.isOn());
        QCOMPARE(clicked.size(), 1);
        QTest::keyClick(&control, Qt::Key_Return);
        QTest::keyClick(&control, Qt::Key_Space);
        QVERIFY(control.isOn());
        QCOMPARE(clicked.size(), 2);
        QCOMPARE(clicked.last().at(0).toBool(), true);
        control.setEnabled(false);
        actions->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(control.isOn());
    }
};

QTEST_MAIN(MiraSwitchTest)
#include "tst_miraswitch.moc"
