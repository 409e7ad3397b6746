#include "PointerInput.h"

#include <mirakit/interactive/InteractiveView.h>

#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

using namespace mira;
using S = Interactive::State;

namespace {

// Stands behind the view as the next responder.
class Backdrop : public QWidget {
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        ++presses;
        event->accept();
    }
};

} // namespace

class InteractiveViewTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<pointer::ParkedPointer> m_pointer;
    std::unique_ptr<Backdrop> m_backdrop;
    InteractiveView *m_view = nullptr;

private Q_SLOTS:
    void init()
    {
        m_pointer = std::make_unique<pointer::ParkedPointer>();
        m_backdrop = std::make_unique<Backdrop>();
        m_backdrop->resize(200, 120);
        m_view = new InteractiveView(m_backdrop.get());
        m_view->setGeometry(20, 20, 100, 60);
        m_backdrop->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_backdrop.get()));
    }
    void cleanup()
    {
        m_backdrop.reset();
        m_pointer.reset();
    }

    void startsNormalAndAppliesNothing()
    {
        QCOMPARE(m_view->interactiveState(), S::normal);
        QVERIFY(m_view->isEnabled());
        QVERIFY(!m_view->isSelected());
        QVERIFY(!m_view->layer().backgroundColor.isValid());
        QCOMPARE(m_view->focusPolicy(), Qt::NoFocus);
        // Showing renewed the tracking region once, over the bounds, with options 129.
        QVERIFY(m_view->mouseTrackingArea().has_value());
        QCOMPARE(m_view->mouseTrackingArea()->rect(), QRectF(0, 0, 100, 60));
        QCOMPARE(int(m_view->mouseTrackingArea()->options()), 129);
    }

    void backgroundFollowsHoverAndPaints()
    {
        m_view->setBackgroundColor(QColor(0xFF0000), S::normal);
        m_view->setBackgroundColor(QColor(0x00FF00), S::hovered);
        m_view->setBorderWidth(2, S::normal);
        m_view->setBorderColor(QColor(0x0000FF), S::hovered);
        QCOMPARE(pointer::pixel(m_view, QPoint(50, 30)), QColor(0xFF0000));
        QCOMPARE(m_view->layer().borderWidth, 2.0);
        QCOMPARE(m_view->layer().borderColor, QColor(Qt::black)); // nothing resolved: kept

        pointer::enter(m_view);
        QCOMPARE(m_view->interactiveState(), S::hovered);
        QCOMPARE(pointer::pixel(m_view, QPoint(50, 30)), QColor(0x00FF00));
        QCOMPARE(pointer::pixel(m_view, QPoint(0, 30)), QColor(0x0000FF));
        pointer::saveScreenshot(m_view, QStringLiteral("interactiveview-hovered"));

        pointer::leave(m_view);
        QCOMPARE(pointer::pixel(m_view, QPoint(50, 30)), QColor(0xFF0000));
        // The border colour resolved for hovered stays: normal has none.
        QCOMPARE(m_view->layer().borderColor, QColor(0x0000FF));
    }

    void hoveredOnlyBackgroundStaysAfterLeaving()
    {
        m_view->setBackgroundColor(QColor(0x00FF00), S::hovered);
        pointer::enter(m_view);
        pointer::leave(m_view);
        QCOMPARE(m_view->interactiveState(), S::normal);
        QCOMPARE(m_view->layer().backgroundColor, QColor(0x00FF00));
    }

    void pressInsideAndOutside_data()
    {
        QTest::addColumn<QPoint>("release");
        QTest::addColumn<QString>("event");
        QTest::addColumn<S>("finalState");
        QTest::newRow("inside") << QPoint(50, 30) << QStringLiteral("up-inside") << S::hovered;
        QTest::newRow("outside") << QPoint(150, 100) << QStringLiteral("up-outside") << S::normal;
    }
    void pressInsideAndOutside()
    {
        QFETCH(QPoint, release);
        QFETCH(QString, event);
        QFETCH(S, finalState);
        QStringList log;
        QList<S> statesDuringPress;
        m_view->setEventAction(
            [&](const QVariant &sender) {
                QCOMPARE(sender.value<QObject *>(), m_view);
                log << QStringLiteral("down");
            },
            Interactive::Event::mouseDown);
        m_view->setEventAction(
            [&](const QVariant &) { log << QStringLiteral("up-inside"); }, Interactive::Event::mouseUpInside);
        m_view->setEventAction(
            [&](const QVariant &) { log << QStringLiteral("up-outside"); }, Interactive::Event::mouseUpOutside);
        m_view->setBlock([&] { statesDuringPress << m_view->interactiveState(); }, S::clicked | S::hovered);

        pointer::enter(m_view, QPoint(50, 30));
        QTest::mousePress(m_view, Qt::LeftButton, {}, QPoint(50, 30));
        QCOMPARE(m_view->interactiveState(), S::clicked | S::hovered);
        QCOMPARE(statesDuringPress, QList<S> { S::clicked | S::hovered });
        // The press is passed on to the widget behind.
        QCOMPARE(m_backdrop->presses, 1);
        QTest::mouseRelease(m_view, Qt::LeftButton, {}, release);
        QCOMPARE(log, (QStringList { QStringLiteral("down"), event }));
        QCOMPARE(m_view->interactiveState(), finalState);
        QVERIFY(!m_view->isClicked());
    }

    void disabledViewSwallowsPresses()
    {
        int downs = 0;
        m_view->setEventAction([&](const QVariant &) { ++downs; }, Interactive::Event::mouseDown);
        m_view->setBackgroundColor(QColor(0x999999), S::disabled);
        m_view->setEnabled(false);
        QCOMPARE(m_view->interactiveState(), S::disabled);
        QCOMPARE(pointer::pixel(m_view, QPoint(5, 5)), QColor(0x999999));
        QTest::mouseClick(m_view, Qt::LeftButton, {}, QPoint(50, 30));
        QCOMPARE(downs, 0);
        QCOMPARE(m_backdrop->presses, 0);
        QCOMPARE(m_view->interactiveState(), S::disabled);
        // One meaning of disabled: the widget's own; hovering still reaches it.
        QVERIFY(!m_view->QWidget::isEnabled());
        pointer::enter(m_view);
        QCOMPARE(m_view->interactiveState(), S::disabled | S::hovered);
    }

    void disablingTheWidgetDisablesTheControl()
    {
        m_view->QWidget::setEnabled(false);
        QVERIFY(!m_view->QWidget::isEnabled());
        QVERIFY(!m_view->isEnabled());
        QCOMPARE(m_view->interactiveState(), S::disabled);
        QVERIFY(m_view->setProperty("enabled", true));
        QCOMPARE(m_view->interactiveState(), S::normal);
    }

    void blockRunsAtTheNextRecomputationOnly()
    {
        int runs = 0;
        m_view->setBlock([&] { ++runs; }, S::normal);
        QCOMPARE(runs, 0);
        m_view->setSelected(true); // selected falls back to normal
        QCOMPARE(runs, 1);
        QCOMPARE(m_view->interactiveState(), S::selected);
    }

    void emptyValuesLeaveEntriesInPlace()
    {
        m_view->setBackgroundColor(QColor(0x123456), S::normal);
        m_view->setBackgroundColor(QColor(), S::normal);
        QCOMPARE(m_view->backgroundColor(S::hovered), std::optional<QColor>(QColor(0x123456)));
        QCOMPARE(m_view->borderColor(S::normal), std::nullopt);
    }

    void designablePropertiesSetOneStateAndReadTheResolvedValue()
    {
        QVERIFY(m_view->setProperty("normalBackgroundColor", QColor(0x3BE5A2)));
        QVERIFY(m_view->setProperty("hoveredBorderColor", QColor(0xD8DEE4)));
        QCOMPARE(m_view->property("selectedBackgroundColor").value<QColor>(), QColor(0x3BE5A2));
        QCOMPARE(m_view->property("hoveredBorderColor").value<QColor>(), QColor(0xD8DEE4));
        QVERIFY(!m_view->property("normalBorderColor").value<QColor>().isValid());
    }

    void cursorFollowsTheState()
    {
        m_view->setCursor(QCursor(Qt::PointingHandCursor), S::hovered);
        pointer::enter(m_view);
        QCOMPARE(m_view->QWidget::cursor().shape(), Qt::PointingHandCursor);
        m_view->setEnabled(false); // disabled + hovered has no cursor of its own
        QCOMPARE(m_view->QWidget::cursor().shape(), Qt::ArrowCursor);
        m_view->setEnabled(true);
        QCOMPARE(m_view->QWidget::cursor().shape(), Qt::PointingHandCursor);
        pointer::leave(m_view);
        QCOMPARE(m_view->QWidget::cursor().shape(), Qt::ArrowCursor);
    }

    void resizeUnderAStillPointerRederivesHover()
    {
        pointer::restingPosition() = m_backdrop->mapToGlobal(QPoint(150, 50));
        QVERIFY(!m_view->isEntered());
        m_view->resize(180, 60); // now reaches x = 200 in the backdrop
        QVERIFY(m_view->isEntered());
        QCOMPARE(m_view->interactiveState(), S::hovered);
        QCOMPARE(m_view->mouseTrackingArea()->rect(), QRectF(0, 0, 180, 60));
        m_view->resize(100, 60);
        QCOMPARE(m_view->interactiveState(), S::normal);
    }

    void moveUnderAStillPointerRederivesHover()
    {
        pointer::restingPosition() = m_backdrop->mapToGlobal(QPoint(150, 50));
        QVERIFY(!m_view->isEntered());
        m_view->move(80, 20); // now covers x = 80 to 180
        QVERIFY(m_view->isEntered());
        QCOMPARE(m_view->interactiveState(), S::hovered);
        m_view->move(20, 20);
        QCOMPARE(m_view->interactiveState(), S::normal);
    }

    void scrollingUnderAStillPointerRederivesHover()
    {
        QScrollArea area;
        area.resize(200, 100);
        auto *content = new QWidget;
        content->resize(180, 400);
        auto *view = new InteractiveView(content);
        view->setGeometry(0, 0, 180, 50);
        view->setCursor(QCursor(Qt::PointingHandCursor), S::hovered);
        area.setWidget(content);
        pointer::restingPosition() = area.viewport()->mapToGlobal(QPoint(60, 25));
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        QVERIFY(view->isEntered());
        QCOMPARE(view->QWidget::cursor().shape(), Qt::PointingHandCursor);

        area.verticalScrollBar()->setValue(200);
        QVERIFY(!view->isEntered());
        QCOMPARE(view->interactiveState(), S::normal);
        QCOMPARE(view->QWidget::cursor().shape(), Qt::ArrowCursor);
        area.verticalScrollBar()->setValue(0);
        QVERIFY(view->isEntered());
        QCOMPARE(view->QWidget::cursor().shape(), Qt::PointingHandCursor);
    }

    void cornerRadiusRoundsThePaintedBackground()
    {
        m_view->setCornerRadius(12);
        m_view->setBackgroundColor(QColor(0xFF0000), S::normal);
        QVERIFY(pointer::pixel(m_view, QPoint(0, 0)) != QColor(0xFF0000));
        QCOMPARE(pointer::pixel(m_view, QPoint(50, 30)), QColor(0xFF0000));
    }
};

QTEST_MAIN(InteractiveViewTest)
#include "tst_interactiveview.moc"
