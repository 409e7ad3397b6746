#include "../../mirakit/interactive/PointerInput.h"
#include "ui_StyledButtonsForm.h"

#include <installer/interface/BorderButton.h>
#include <installer/interface/ButtonStorage.h>
#include <installer/interface/DesignableProperties.h>
#include <installer/interface/ThemeButton.h>
#include <installer/interface/TitleButton.h>

#include <mirakit/foundation/ColorExtensions.h>

#include <QAccessible>
#include <QApplication>
#include <QSignalSpy>
#include <QTest>

using mira::rgb;
using S = mira::Interactive::State;

Q_DECLARE_METATYPE(ButtonStorage::ButtonStyle)

namespace {
QColor titleColor(const mira::InteractiveButton &button)
{
    const auto formats = button.attributedTitle().formats;
    return formats.isEmpty() ? QColor() : formats.first().format.foreground().color();
}

enum class Press { none, hover, press, disable };
} // namespace
Q_DECLARE_METATYPE(Press)

class StyledButtonsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { m_pointer = std::make_unique<pointer::ParkedPointer>(); }
    void cleanupTestCase() { m_pointer.reset(); }

    // The look in each state, reached through real pointer input.
    void coloursPerState_data()
    {
        QTest::addColumn<ButtonStorage::ButtonStyle>("style");
        QTest::addColumn<Press>("press");
        QTest::addColumn<QColor>("title");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<qreal>("borderWidth");
        QTest::addColumn<QColor>("border");
        using B = ButtonStorage::ButtonStyle;
        const QColor none;
        const QColor dark = rgb(0x342929);
        const QColor line = rgb(0xD8DEE4);
        QTest::newRow("theme normal") << B::theme << Press::none << dark << rgb(0x3BE5A2) << 0.0 << none;
        QTest::newRow("theme hovered") << B::theme << Press::hover << dark << rgb(0x36D395) << 0.0 << none;
        QTest::newRow("theme clicked") << B::theme << Press::press << dark << rgb(0x2FB782) << 0.0 << none;
        QTest::newRow("theme disabled") << B::theme << Press::disable << dark << rgb(0, 0.05) << 0.0 << none;
        QTest::newRow("title normal") << B::title << Press::none << rgb(0x2EB27E) << none << 0.0 << none;
        QTest::newRow("title hovered") << B::title << Press::hover << rgb(0x2CA978) << none << 0.0 << none;
        QTest::newRow("title clicked") << B::title << Press::press << rgb(0x258E65) << none << 0.0 << none;
        QTest::newRow("title disabled") << B::title << Press::disable << rgb(0, 0.25) << none << 0.0 << none;
        QTest::newRow("border normal") << B::border << Press::none << dark << rgb(0xFFFFFF) << 1.0 << line;
        QTest::newRow("border hovered") << B::border << Press::hover << dark << rgb(0, 0.05) << 1.0 << line;
        QTest::newRow("border clicked") << B::border << Press::press << dark << rgb(0, 0.1) << 1.0 << line;
        QTest::newRow("border disabled") << B::border << Press::disable << rgb(0, 0.25) << rgb(0, 0.05) << 1.0 << line;
    }

    void coloursPerState()
    {
        QFETCH(ButtonStorage::ButtonStyle, style);
        QFETCH(Press, press);
        QFETCH(QColor, title);
        QFETCH(QColor, background);
        QFETCH(qreal, borderWidth);
        QFETCH(QColor, border);

        pointer::restingPosition() = QPoint(-1000, -1000);
        QWidget window;
        window.resize(200, 80);
        mira::InteractiveButton *button = ButtonStorage::makeButton(style, &window);
        button->setText(QStringLiteral("Install"), S::normal);
        button->setGeometry(20, 20, 120, 32);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        switch (press) {
        case Press::none:
            break;
        case Press::hover:
            pointer::enter(button, QPoint(60, 16));
            break;
        case Press::press:
            pointer::enter(button, QPoint(60, 16));
            QTest::mousePress(button, Qt::LeftButton, {}, QPoint(60, 16));
            break;
        case Press::disable:
            button->setEnabled(false);
            break;
        }

        QCOMPARE(titleColor(*button), title);
        const mira::Layer &layer = button->layer();
        QCOMPARE(layer.backgroundColor.isValid() && layer.backgroundColor.alpha() > 0, background.isValid());
        if (background.isValid())
            QCOMPARE(layer.backgroundColor, background);
        QCOMPARE(layer.borderWidth, borderWidth);
        if (border.isValid())
            QCOMPARE(layer.borderColor, border);
        QCOMPARE(layer.cornerRadius, 4.0);
        // Opaque fills reach the screen as they are.
        if (background.isValid() && background.alpha() == 255)
            QCOMPARE(pointer::pixel(button, QPoint(8, 4)), background);
        if (press == Press::press)
            QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(60, 16));
    }

    void makesTheClassOfEachStyle()
    {
        using B = ButtonStorage::ButtonStyle;
        std::unique_ptr<QWidget> theme(ButtonStorage::makeButton(B::theme));
        std::unique_ptr<QWidget> title(ButtonStorage::makeButton(B::title));
        std::unique_ptr<QWidget> border(ButtonStorage::makeButton(B::border));
        QVERIFY(qobject_cast<ThemeButton *>(theme.get()));
        QVERIFY(qobject_cast<TitleButton *>(title.get()));
        QVERIFY(qobject_cast<BorderButton *>(border.get()));
    }

    // Interface files set their values after the constructor has run.
    void interfaceFileRadiusWins()
    {
        QWidget form;
        Ui::StyledButtonsForm ui;
        ui.setupUi(&form);
        DesignableProperties::apply(&form, [](const QString &key) { return key; });
        QCOMPARE(ui.roundedTheme->cornerRadius(), 8.0);
        QCOMPARE(ui.roundedTheme->property("cornerRadiusIB").toReal(), 8.0);
        QCOMPARE(ui.plainTheme->cornerRadius(), 4.0);
        QCOMPARE(ui.roundedBorder->cornerRadius(), 8.0);
        // The designable name is the button's own: no style sheet draws a second frame.
        QVERIFY(DesignableProperties::layerStyleSheet(ui.roundedTheme).isEmpty());

        ThemeButton later;
        later.setCornerRadius(0);
        QCOMPARE(later.cornerRadius(), 0.0); // an explicit value is never second-guessed
    }

    void keyboardFocusAndActivation()
    {
        QWidget window;
        window.resize(300, 80);
        auto *first = new ThemeButton(&window);
        auto *second = new BorderButton(&window);
        auto *third = new TitleButton(&window);
        first->setGeometry(10, 10, 80, 32);
        second->setGeometry(100, 10, 80, 32);
        third->setGeometry(190, 10, 80, 32);
        for (auto *button : { static_cast<StyledButton *>(first), static_cast<StyledButton *>(second),
                 static_cast<StyledButton *>(third) })
            button->setText(QStringLiteral("Go"), S::normal);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        // A click focuses without a ring.
        QTest::mouseClick(first, Qt::LeftButton, {}, QPoint(40, 16));
        QVERIFY(first->hasFocus());
        QVERIFY(!first->isFocusRingVisible());

        // Tab shows the ring, which is painted.
        const QColor plain = pointer::pixel(second, QPoint(1, 16));
        QTest::keyClick(first, Qt::Key_Tab);
        QVERIFY(second->hasFocus());
        QVERIFY(second->isFocusRingVisible());
        QCOMPARE(pointer::pixel(second, QPoint(1, 16)), rgb(0x258E65));
        QVERIFY(plain != rgb(0x258E65));

        QSignalSpy clicked(second, &QAbstractButton::clicked);
        QTest::keyClick(second, Qt::Key_Space);
        QCOMPARE(clicked.count(), 1);

        // A disabled button leaves the focus chain and ignores Space.
        third->setEnabled(false);
        QTest::keyClick(second, Qt::Key_Tab);
        QVERIFY(first->hasFocus());
        QSignalSpy thirdClicked(third, &QAbstractButton::clicked);
        QTest::keyClick(third, Qt::Key_Space);
        QCOMPARE(thirdClicked.count(), 0);

        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(second);
        QVERIFY(accessible);
        QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("Go"));
    }

private:
    std::unique_ptr<pointer::ParkedPointer> m_pointer;
};

QTEST_MAIN(StyledButtonsTest)
#include "tst_styledbuttons.moc"
