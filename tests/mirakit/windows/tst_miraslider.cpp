#include "SliderGalleryPage.h"
#include "VirtualTime.h"

#include <mirakit/interactive/LineProgressView.h>
#include <mirakit/windows/MiraSlider.h>
#include <platform/NotificationCenter.h>

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QUndoStack>

using namespace mira;
using namespace std::chrono_literals;
using State = MiraSlider::ValueState;

Q_DECLARE_METATYPE(Qt::LayoutDirection)
Q_DECLARE_METATYPE(Qt::Key)

namespace {

// Counts "did undo change" notifications while it lives.
struct UndoNotifications {
    UndoNotifications()
    {
        platform::NotificationCenter::defaultCenter().addObserver(
            MiraSlider::didUndoChangeNotification(), &context, [this](const platform::Notification &) { ++count; });
    }
    QObject context;
    int count = 0;
};

void sendKey(QWidget *widget, int key, bool autoRepeat = false)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), autoRepeat);
    QCoreApplication::sendEvent(widget, &press);
}

} // namespace

class MiraSliderTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void layersFollowTheValue_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<Qt::LayoutDirection>("direction");
        QTest::addColumn<double>("value");
        QTest::addColumn<QRectF>("knob");
        QTest::addColumn<QRectF>("tint");
        const QSize wide(200, 20);
        const QSize tall(20, 200);
        QTest::newRow("horizontal middle")
            << wide << Qt::LeftToRight << 0.5 << QRectF(90, 0, 20, 20) << QRectF(0, 7, 100, 6);
        QTest::newRow("horizontal quarter")
            << wide << Qt::LeftToRight << 0.25 << QRectF(45, 0, 20, 20) << QRectF(0, 7, 50, 6);
        QTest::newRow("right to left") << wide << Qt::RightToLeft << 0.25 << QRectF(135, 0, 20, 20)
                                       << QRectF(150, 7, 50, 6);
        QTest::newRow("vertical from the bottom")
            << tall << Qt::LeftToRight << 0.25 << QRectF(0, 135, 20, 20) << QRectF(7, 150, 6, 50);
        QTest::newRow("value above the range")
            << wide << Qt::LeftToRight << 3.0 << QRectF(180, 0, 20, 20) << QRectF(0, 7, 200, 6);
        QTest::newRow("value not a number")
            << wide << Qt::LeftToRight << std::nan("") << QRectF(0, 0, 20, 20) << QRectF(0, 7, 0, 6);
    }

    void layersFollowTheValue()
    {
        QFETCH(QSize, size);
        QFETCH(Qt::LayoutDirection, direction);
        QFETCH(double, value);
        QFETCH(QRectF, knob);
        QFETCH(QRectF, tint);
        MiraSlider slider;
        slider.resize(size);
        slider.setLayoutDirection(direction);
        slider.setValue(value);
        QCOMPARE(slider.knobWidth(), 20.0);
        QCOMPARE(slider.totalWidth(), 180.0);
        QCOMPARE(slider.knobFrame(), knob);
        QCOMPARE(slider.tintFrame(), tint);
        QCOMPARE(slider.dotFrame(), knob.adjusted(3, 3, -3, -3));
    }

    void releaseSetsTheValueWherePointerIs_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<Qt::LayoutDirection>("direction");
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<QPoint>("release");
        QTest::addColumn<double>("value");
        const QSize wide(200, 20);
        const QSize tall(20, 200);
        const auto ltr = Qt::LeftToRight;
        QTest::newRow("click on the track") << wide << ltr << QPoint(150, 10) << QPoint(150, 10) << 7.5;
        QTest::newRow("click above the track") << wide << ltr << QPoint(50, 1) << QPoint(50, 1) << 2.5;
        QTest::newRow("right to left") << wide << Qt::RightToLeft << QPoint(150, 10) << QPoint(150, 10) << 2.5;
        QTest::newRow("released left of it") << wide << ltr << QPoint(150, 10) << QPoint(-80, 10) << 0.0;
        QTest::newRow("released right of it") << wide << ltr << QPoint(150, 10) << QPoint(900, 10) << 10.0;
        QTest::newRow("vertical click") << tall << ltr << QPoint(10, 50) << QPoint(10, 50) << 7.5;
        // Regression: a vertical slider took any height as its value, far outside the bounds.
        QTest::newRow("vertical released above it") << tall << ltr << QPoint(10, 150) << QPoint(10, -300) << 10.0;
        QTest::newRow("vertical released below it") << tall << ltr << QPoint(10, 150) << QPoint(10, 700) << 0.0;
    }

    void releaseSetsTheValueWherePointerIs()
    {
        QFETCH(QSize, size);
        QFETCH(Qt::LayoutDirection, direction);
        QFETCH(QPoint, press);
        QFETCH(QPoint, release);
        QFETCH(double, value);
        MiraSlider slider;
        slider.setMaxValue(10);
        slider.setValue(5);
        slider.resize(size);
        slider.setLayoutDirection(direction);
        QSignalSpy edited(&slider, &MiraSlider::valueEdited);
        QTest::mousePress(&slider, Qt::LeftButton, {}, press);
        QTest::mouseMove(&slider, release); // a press off the knob drags nothing
        QCOMPARE(edited.count(), 0);
        QCOMPARE(slider.value(), 5.0);
        QTest::mouseRelease(&slider, Qt::LeftButton, {}, release);
        QCOMPARE(slider.value(), value);
        QCOMPARE(edited.count(), 1);
        QCOMPARE(edited.at(0).at(1).value<State>(), State::end);
        QCOMPARE(slider.touchLocation(), MiraSlider::TouchLocation::out);
    }

    void draggingTheKnobIsOneUndoEntry_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("knob");
        QTest::addColumn<QPoint>("to");
        QTest::newRow("horizontal") << QSize(200, 20) << QPoint(10, 10) << QPoint(100, 14);
        QTest::newRow("vertical") << QSize(20, 200) << QPoint(10, 190) << QPoint(6, 100);
    }

    void draggingTheKnobIsOneUndoEntry()
    {
        QFETCH(QSize, size);
        QFETCH(QPoint, knob);
        QFETCH(QPoint, to);
        VirtualTime time;
        UndoNotifications notifications;
        QUndoStack stack;
        MiraSlider slider;
        slider.resize(size);
        slider.setUndoStack(&stack);
        QSignalSpy edited(&slider, &MiraSlider::valueEdited);
        QTest::mousePress(&slider, Qt::LeftButton, {}, knob);
        QCOMPARE(slider.touchLocation(), MiraSlider::TouchLocation::knob);
        for (int step = 1; step <= 3; ++step)
            QTest::mouseMove(&slider, knob + (to - knob) * step / 3);
        QCOMPARE(slider.value(), 0.5);
        QCOMPARE(slider.valueState(), State::change);
        QCOMPARE(edited.count(), 3);
        QTest::mouseRelease(&slider, Qt::LeftButton, {}, to);
        QCOMPARE(slider.value(), 0.5);
        QCOMPARE(edited.count(), 4);
        QCOMPARE(stack.count(), 1);
        QCOMPARE(notifications.count, 1);

        stack.undo();
        QCOMPARE(slider.value(), 0.0);
        QCOMPARE(edited.count(), 5);
        stack.redo();
        QCOMPARE(slider.value(), 0.5);
        QCOMPARE(notifications.count, 3);
    }

    void anUnchangedValueLeavesNoUndoEntry()
    {
        UndoNotifications notifications;
        QUndoStack stack;
        MiraSlider slider;
        slider.resize(200, 20);
        slider.setUndoStack(&stack);
        slider.setValue(0.5);
        QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(100, 10));
        QCOMPARE(stack.count(), 0);
        QCOMPARE(notifications.count, 0);

        slider.setAcceptUndoWhenChanged(false);
        QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(20, 10));
        QCOMPARE(slider.value(), 0.1);
        QCOMPARE(stack.count(), 0);
        QCOMPARE(notifications.count, 0);
    }

    void undoOutlivesTheSlider()
    {
        QUndoStack stack;
        {
            MiraSlider slider;
            slider.resize(200, 20);
            slider.setUndoStack(&stack);
            QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(150, 10));
        }
        QCOMPARE(stack.count(), 1);
        stack.undo(); // nothing to restore, nothing to crash
        stack.redo();
    }

    void keysStepAndStayInRange_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::LayoutDirection>("direction");
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("expected");
        const auto ltr = Qt::LeftToRight;
        QTest::newRow("right") << int(Qt::Key_Right) << ltr << 5.0 << 5.1;
        QTest::newRow("left") << int(Qt::Key_Left) << ltr << 5.0 << 4.9;
        QTest::newRow("right, right to left") << int(Qt::Key_Right) << Qt::RightToLeft << 5.0 << 4.9;
        QTest::newRow("up") << int(Qt::Key_Up) << ltr << 5.0 << 5.1;
        QTest::newRow("down") << int(Qt::Key_Down) << ltr << 5.0 << 4.9;
        QTest::newRow("page up") << int(Qt::Key_PageUp) << ltr << 5.0 << 6.0;
        QTest::newRow("page down") << int(Qt::Key_PageDown) << ltr << 5.0 << 4.0;
        QTest::newRow("home") << int(Qt::Key_Home) << ltr << 5.0 << 0.0;
        QTest::newRow("end") << int(Qt::Key_End) << ltr << 5.0 << 10.0;
        QTest::newRow("past the end") << int(Qt::Key_Right) << ltr << 9.95 << 10.0;
        QTest::newRow("below the start") << int(Qt::Key_PageDown) << ltr << 0.5 << 0.0;
        QTest::newRow("from above the range") << int(Qt::Key_Down) << ltr << 40.0 << 10.0;
        QTest::newRow("from not a number") << int(Qt::Key_Up) << ltr << std::nan("") << 0.1;
    }

    void keysStepAndStayInRange()
    {
        QFETCH(int, key);
        QFETCH(Qt::LayoutDirection, direction);
        QFETCH(double, from);
        QFETCH(double, expected);
        MiraSlider slider;
        slider.setMaxValue(10);
        slider.setLayoutDirection(direction);
        slider.setValue(from);
        QSignalSpy edited(&slider, &MiraSlider::valueEdited);
        QTest::keyClick(&slider, Qt::Key(key));
        QVERIFY2(std::abs(slider.value() - expected) < 1e-9, qPrintable(QString::number(slider.value())));
        QCOMPARE(edited.count(), 1);
    }

    void aHeldKeyIsOneUndoEntry()
    {
        QUndoStack stack;
        MiraSlider slider;
        slider.setUndoStack(&stack);
        sendKey(&slider, Qt::Key_PageUp);
        for (int repeat = 0; repeat < 3; ++repeat)
            sendKey(&slider, Qt::Key_PageUp, true);
        sendKey(&slider, Qt::Key_PageUp);
        QCOMPARE(slider.value(), 0.5);
        QCOMPARE(stack.count(), 2);
        stack.undo();
        QCOMPARE(slider.value(), 0.4);
        stack.undo();
        QCOMPARE(slider.value(), 0.0);
    }

    void equalBoundsHoldTheValueAtTheStart()
    {
        MiraSlider slider;
        slider.resize(200, 20);
        slider.setMaxValue(2);
        slider.setMinValue(2);
        QCOMPARE(slider.value(), 2.0);
        QCOMPARE(slider.fraction(), 0.0);
        QCOMPARE(slider.knobFrame(), QRectF(0, 0, 20, 20));
        QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(150, 10));
        QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseMove(&slider, QPoint(120, 10));
        QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(120, 10));
        QTest::keyClick(&slider, Qt::Key_End);
        QTest::keyClick(&slider, Qt::Key_Up);
        QCOMPARE(slider.value(), 2.0);
        QCOMPARE(slider.knobFrame(), QRectF(0, 0, 20, 20));
    }

    void reversedBoundsRunFromMinToMax()
    {
        MiraSlider slider;
        slider.resize(200, 20);
        slider.setMinValue(10);
        slider.setMaxValue(0);
        QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(50, 10));
        QCOMPARE(slider.value(), 7.5);
        QTest::keyClick(&slider, Qt::Key_End);
        QCOMPARE(slider.value(), 0.0);
    }

    // Regression: the span of such bounds overflowed, and a click gave infinity or NaN.
    void extremeBoundsGiveFiniteValues()
    {
        MiraSlider slider;
        slider.resize(200, 20);
        slider.setMinValue(-1e308);
        slider.setMaxValue(1e308);
        QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(100, 10));
        QCOMPARE(slider.value(), 0.0);
        QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(0, 10));
        QCOMPARE(slider.value(), -1e308);
    }

    // Regression: a key during a press finished the change, and the release was lost.
    void keysWaitForThePressToEnd()
    {
        QUndoStack stack;
        MiraSlider slider;
        slider.resize(200, 20);
        slider.setUndoStack(&stack);
        QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::keyClick(&slider, Qt::Key_End);
        QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(50, 10));
        QCOMPARE(slider.value(), 0.25);
        QCOMPARE(stack.count(), 1);
        QCOMPARE(slider.touchLocation(), MiraSlider::TouchLocation::out);
    }

    void theDotGrowsWhileTheKnobIsHeld()
    {
        VirtualTime time;
        MiraSlider slider;
        slider.resize(200, 20);
        const QRectF knob = slider.knobFrame();
        QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(10, 10));
        time.clock.advanceBy(100ms);
        QVERIFY(slider.dotFrame() != knob.adjusted(3, 3, -3, -3));
        time.clock.advanceBy(260ms); // the first frame after 0.35 s
        QCOMPARE(slider.dotFrame(), knob.adjusted(1, 1, -1, -1));
        QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(10, 10));
        time.clock.advanceBy(360ms);
        QCOMPARE(slider.dotFrame(), slider.knobFrame().adjusted(3, 3, -3, -3));
        QCOMPARE(time.clock.pendingCount(), 0);
    }

    void aDisabledSliderTakesNoInput()
    {
        VirtualTime time;
        QUndoStack stack;
        MiraSlider slider;
        slider.resize(200, 20);
        slider.setUndoStack(&stack);
        QSignalSpy edited(&slider, &MiraSlider::valueEdited);
        slider.setEnabled(false);
        QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(150, 10));
        QTest::keyClick(&slider, Qt::Key_End);
        QCOMPARE(slider.value(), 0.0);
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&slider);
        QVERIFY(accessible->state().disabled);
        accessible->valueInterface()->setCurrentValue(0.5);
        QCOMPARE(slider.value(), 0.0);

        // Disabled in the middle of a drag: the drag ends where it was.
        slider.setEnabled(true);
        QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseMove(&slider, QPoint(100, 10));
        slider.setEnabled(false);
        slider.setEnabled(true);
        QTest::mouseMove(&slider, QPoint(190, 10));
        QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(190, 10));
        QCOMPARE(slider.value(), 0.5);
        QCOMPARE(stack.count(), 0);
        QCOMPARE(edited.count(), 1);
        time.clock.advanceBy(1s);
        QCOMPARE(slider.dotFrame(), slider.knobFrame().adjusted(3, 3, -3, -3));
    }

    void assistiveTechnologySeesASlider()
    {
        QUndoStack stack;
        MiraSlider slider;
        slider.setMinValue(-20);
        slider.setMaxValue(30);
        slider.setValue(5);
        slider.setUndoStack(&stack);
        slider.setAccessibleName(QStringLiteral("Volume"));
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&slider);
        QVERIFY(accessible);
        QCOMPARE(accessible->role(), QAccessible::Slider);
        QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("Volume"));
        QCOMPARE(accessible->text(QAccessible::Value), QLocale().toString(5));
        QVERIFY(accessible->state().focusable);
        QAccessibleValueInterface *value = accessible->valueInterface();
        QVERIFY(value);
        QCOMPARE(value->currentValue().toDouble(), 5.0);
        QCOMPARE(value->minimumValue().toDouble(), -20.0);
        QCOMPARE(value->maximumValue().toDouble(), 30.0);
        QCOMPARE(value->minimumStepSize().toDouble(), 0.5);
        value->setCurrentValue(12.5);
        QCOMPARE(slider.value(), 12.5);
        QCOMPARE(stack.count(), 1);
        value->setCurrentValue(1e9);
        QCOMPARE(slider.value(), 30.0);
    }

    void galleryPage()
    {
        VirtualTime time;
        std::unique_ptr<QWidget> page(gallery::createSliderPage());
        page->resize(page->sizeHint());
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
        const QList<MiraSlider *> sliders = page->findChildren<MiraSlider *>();
        QCOMPARE(sliders.size(), 3);
        QCOMPARE(std::count_if(sliders.cbegin(), sliders.cend(), [](auto *s) { return !s->isEnabled(); }), 1);
        MiraSlider *volume = sliders.first();
        QTest::mouseClick(volume, Qt::LeftButton, {}, QPoint(volume->width() * 3 / 4, 10));
        QCOMPARE(volume->value(), 75.0);
        time.clock.advanceBy(1s); // the generator is half-way through its two seconds
        QVERIFY(qAbs(page->findChild<LineProgressView *>()->progress() - 0.5f) < 0.01f);

        const QString folder = qEnvironmentVariable("SCREENSHOT_DIR");
        if (!folder.isEmpty()) {
            QDir().mkpath(folder);
            page->grab().save(folder + QStringLiteral("/slider-gallery.png"));
        }
    }
};

QTEST_MAIN(MiraSliderTest)
#include "tst_miraslider.moc"
