#include "MiraKitControls.h"
#include "PointerInput.h"

#include "StatesGalleryPage.h"

#include <platform/ManualScheduler.h>

#include <QAccessible>
#include <QCheckBox>
#include <QPointer>
#include <QTest>

using S = mira::Interactive::State;

// Disabled has one meaning in every MiraKit control: QWidget's own state,
// whether the control itself or an ancestor was disabled. And every control
// survives a press action that deletes it (a button that closes its page).
class DisabledControlsTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<pointer::ParkedPointer> m_pointer;
    std::unique_ptr<platform::ManualScheduler> m_scheduler;
    std::unique_ptr<QWidget> m_window;
    QWidget *m_holder = nullptr;

    // A real pointer move through the window, as the window system reports it.
    void moveTo(QWidget *widget, QPoint local)
    {
        pointer::restingPosition() = widget->mapToGlobal(local);
        QTest::mouseMove(widget, local);
        m_scheduler->advanceBy(std::chrono::milliseconds(0));
    }

    static bool accessiblyDisabled(QWidget *widget)
    {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        return accessible && accessible->state().disabled;
    }

private Q_SLOTS:
    void init()
    {
        m_pointer = std::make_unique<pointer::ParkedPointer>();
        m_scheduler = std::make_unique<platform::ManualScheduler>();
        platform::Scheduler::setShared(m_scheduler.get());
        m_window = std::make_unique<QWidget>();
        m_window->resize(320, 160);
        m_holder = new QWidget(m_window.get());
        m_holder->setGeometry(20, 20, 280, 120);
    }
    void cleanup()
    {
        m_window.reset();
        platform::Scheduler::setShared(nullptr);
        m_scheduler.reset();
        m_pointer.reset();
    }

    void disabledMeansTheSameEverywhere_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("throughParent");
        const QList<controls::Control> rows = controls::all();
        for (int row = 0; row < rows.size(); ++row) {
            QTest::addRow("%s itself", rows[row].name) << row << false;
            QTest::addRow("%s through its parent", rows[row].name) << row << true;
        }
    }

    void disabledMeansTheSameEverywhere()
    {
        QFETCH(int, row);
        QFETCH(bool, throughParent);
        const controls::Control control = controls::all().at(row);
        QWidget *widget = control.create(m_holder);
        widget->setGeometry(10, 10, 200, 60);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        int presses = 0;
        control.observePresses(widget, [&presses] { ++presses; });
        const QPoint inside = control.pressPoint(widget);

        QWidget *switched = throughParent ? m_holder : widget;
        switched->setEnabled(false);
        QVERIFY(!widget->isEnabled());
        QVERIFY(accessiblyDisabled(widget));
        if (const std::optional<S> state = control.state(widget))
            QCOMPARE(*state, S::disabled);

        QTest::mouseClick(widget, Qt::LeftButton, {}, inside);
        QTest::keyClick(widget, Qt::Key_Space);
        QCOMPARE(presses, 0);
        // Qt still tells a disabled widget that the pointer came and went.
        moveTo(widget, inside);
        if (const std::optional<S> state = control.state(widget))
            QCOMPARE(*state, S::disabled | S::hovered);

        switched->setEnabled(true);
        QVERIFY(widget->isEnabled());
        QVERIFY(!accessiblyDisabled(widget));
        if (const std::optional<S> state = control.state(widget))
            QCOMPARE(*state, S::hovered);
        QTest::mouseClick(widget, Qt::LeftButton, {}, inside);
        if (control.state(widget) || qobject_cast<QAbstractButton *>(widget))
            QVERIFY(presses > 0);
        moveTo(m_window.get(), QPoint(2, 2));
        if (const std::optional<S> state = control.state(widget))
            QCOMPARE(*state, S::normal);
    }

    void aPressActionMayDeleteItsControl_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("bySpace");
        for (int row = 0; row < controls::all().size(); ++row) {
            // A text field reports typing, through QLineEdit's own signals.
            if (QByteArray(controls::all().at(row).name).endsWith("TextField"))
                continue;
            QTest::addRow("%s by mouse", controls::all().at(row).name) << row << false;
            QTest::addRow("%s by Space", controls::all().at(row).name) << row << true;
        }
    }

    void aPressActionMayDeleteItsControl()
    {
        QFETCH(int, row);
        QFETCH(bool, bySpace);
        const controls::Control control = controls::all().at(row);
        QPointer<QWidget> widget = control.create(m_holder);
        widget->setGeometry(10, 10, 200, 60);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        control.observePresses(widget, [widget] { delete widget.data(); });
        const bool stateful = control.state(widget).has_value();
        widget->setFocus(Qt::TabFocusReason);
        const QPoint inside = control.pressPoint(widget);
        bySpace ? QTest::keyPress(widget, Qt::Key_Space) : QTest::mousePress(widget, Qt::LeftButton, {}, inside);
        if (widget)
            bySpace ? QTest::keyRelease(widget, Qt::Key_Space)
                    : QTest::mouseRelease(widget, Qt::LeftButton, {}, inside);
        QVERIFY(bySpace || !stateful || !widget);
    }

    void galleryPanelSwitchesItsControls()
    {
        std::unique_ptr<QWidget> page(mira::gallery::createStatesPage());
        page->resize(560, 360);
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
        auto *panel = page->findChild<QWidget *>(QStringLiteral("disabledPanel"));
        QVERIFY(panel);
        const QList<QWidget *> controls = panel->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        QCOMPARE(controls.size(), 5);
        for (QWidget *control : controls)
            QVERIFY(!control->isEnabled());
        auto *panelSwitch = page->findChild<QCheckBox *>();
        panelSwitch->setChecked(true);
        for (QWidget *control : controls)
            QVERIFY(control->isEnabled());
        panelSwitch->setChecked(false);
        pointer::saveScreenshot(page.get(), QStringLiteral("mirakit-states"));
    }
};

QTEST_MAIN(DisabledControlsTest)
#include "tst_disabledcontrols.moc"
