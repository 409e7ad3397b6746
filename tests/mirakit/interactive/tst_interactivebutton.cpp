#include "PointerInput.h"

#include <mirakit/MiraKit.h>
#include <mirakit/interactive/InteractiveButton.h>

#include <QAccessible>
#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <functional>

using namespace mira;
using S = Interactive::State;

namespace {

QPixmap filled(QColor color, int side = 16)
{
    QPixmap pixmap(side, side);
    pixmap.fill(color);
    return pixmap;
}

QTextCharFormat titleFormat(const InteractiveButton &button)
{
    const AttributedText title = button.attributedTitle();
    return title.formats.isEmpty() ? QTextCharFormat() : title.formats.first().format;
}

} // namespace

class InteractiveButtonTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<pointer::ParkedPointer> m_pointer;
    std::unique_ptr<QWidget> m_window;
    InteractiveButton *m_button = nullptr;

private Q_SLOTS:
    void init()
    {
        m_pointer = std::make_unique<pointer::ParkedPointer>();
        m_window = std::make_unique<QWidget>();
        m_window->resize(240, 100);
        m_button = new InteractiveButton(QStringLiteral("Install"), m_window.get());
        m_button->setGeometry(20, 20, 160, 40);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup()
    {
        m_window.reset();
        m_pointer.reset();
        setLocalizedStringProvider({});
    }

    void firstSetterAppliesDefaults()
    {
        InteractiveButton hidden(QStringLiteral("Later"));
        QVERIFY(hidden.attributedTitle().formats.isEmpty()); // nothing applied by construction
        m_button->setBackgroundColor(QColor(0x3BE5A2), S::normal);
        QCOMPARE(m_button->title(), QStringLiteral("Install"));
        const QTextCharFormat format = titleFormat(*m_button);
        QCOMPARE(format.foreground().color(), QColor(Qt::black));
        QCOMPARE(format.font().pixelSize(), 14);
        QCOMPARE(format.property(AttributedText::alignmentProperty).toInt(), int(Qt::AlignHCenter));
        QCOMPARE(pointer::pixel(m_button, QPoint(4, 4)), QColor(0x3BE5A2));
    }

    void textHiddenWhileHovered()
    {
        m_button->setText(QStringLiteral("Next"), S::normal);
        m_button->setHiddenImageAndText({ false, true }, S::hovered);
        QCOMPARE(m_button->title(), QStringLiteral("Next"));
        pointer::enter(m_button);
        QCOMPARE(m_button->title(), QString());
        pointer::leave(m_button);
        QCOMPARE(m_button->title(), QStringLiteral("Next"));
    }

    void explicitNoImageEndsTheLookup()
    {
        m_button->setImage(filled(Qt::blue));
        m_button->setImage(QPixmap(), S::hovered);
        QCOMPARE(m_button->currentImage().isNull(), false);
        pointer::enter(m_button);
        QVERIFY(m_button->currentImage().isNull());
        QVERIFY(m_button->image(S::hovered).isNull());
        // Selected has no entry: it keeps whatever image is current.
        m_button->setImage(filled(Qt::green));
        m_button->setSelected(true);
        QCOMPARE(m_button->currentImage().toImage().pixelColor(0, 0), QColor(Qt::green));
        // A registered normal image is the default of every state the explicit none does not cover.
        m_button->setImage(filled(Qt::red), S::normal);
        QCOMPARE(m_button->currentImage().toImage().pixelColor(0, 0), QColor(Qt::red));
    }

    void imageAndTitleArePainted()
    {
        m_button->setImage(filled(Qt::red), S::normal);
        m_button->setTextColor(QColor(0x342929), S::normal);
        const QRectF imageRect = m_button->cell()->imageRect(m_button->rect());
        QCOMPARE(pointer::pixel(m_button, imageRect.center().toPoint()), QColor(Qt::red));
        m_button->setHiddenImageAndText({ true, false }, S::hovered);
        pointer::enter(m_button);
        QVERIFY(m_button->currentImage().isNull());
        QVERIFY(pointer::pixel(m_button, imageRect.center().toPoint()) != QColor(Qt::red));
    }

    void backgroundClearsWhereNothingResolves()
    {
        m_button->setBackgroundColor(QColor(0x36D395), S::hovered);
        QVERIFY(!m_button->layer().backgroundColor.isValid());
        pointer::enter(m_button);
        QCOMPARE(m_button->layer().backgroundColor, QColor(0x36D395));
        pointer::leave(m_button);
        QVERIFY(!m_button->layer().backgroundColor.isValid());
    }

    void borderWidthOfNormalHoldsEverywhere()
    {
        m_button->setBorderColor(QColor(0xD8DEE4), S::normal);
        QCOMPARE(m_button->layer().borderWidth, 0.0); // nothing registered: kept
        m_button->setBorderWidth(1, S::normal);
        m_button->setSelected(true);
        pointer::enter(m_button);
        QCOMPARE(m_button->layer().borderWidth, 1.0);
        QCOMPARE(m_button->layer().borderColor, QColor(0xD8DEE4));
        QCOMPARE(pointer::pixel(m_button, QPoint(0, 20)), QColor(0xD8DEE4));
    }

    void attributedTitleWinsOverTextColourAndFont()
    {
        QTextCharFormat red;
        red.setForeground(QColor(Qt::red));
        red.setFontUnderline(true);
        const AttributedText styled { QStringLiteral("Terms"), { { 0, 5, red } } };
        m_button->setTextColor(Qt::blue, S::normal);
        m_button->setAttributedText(styled, S::hovered);
        m_button->setHiddenImageAndText({ false, true }, S::hovered);
        pointer::enter(m_button);
        QCOMPARE(m_button->title(), QStringLiteral("Terms")); // hidden flags do not touch it
        QVERIFY(titleFormat(*m_button).fontUnderline());
        pointer::leave(m_button);
        QCOMPARE(titleFormat(*m_button).foreground().color(), QColor(Qt::blue));
        QCOMPARE(m_button->title(), QStringLiteral("Install")); // the button's own title comes back
    }

    // Every per-state setter and the enabled setter recompute, also when
    // the value stays the same; only a real change is announced.
    void settersRecomputeEvenWithoutAChange_data()
    {
        QTest::addColumn<int>("setter");
        const char *names[] = { "background", "border colour", "border width", "cursor", "hidden", "text",
            "text colour", "image", "font", "enabled" };
        for (int setter = 0; setter < int(std::size(names)); ++setter)
            QTest::newRow(names[setter]) << setter;
    }

    void settersRecomputeEvenWithoutAChange()
    {
        QFETCH(int, setter);
        const QPixmap red = filled(Qt::red);
        const std::function<void()> setters[] = { [&] { m_button->setBackgroundColor(Qt::red, S::normal); },
            [&] { m_button->setBorderColor(Qt::red, S::normal); }, [&] { m_button->setBorderWidth(1, S::normal); },
            [&] { m_button->setCursor(Qt::PointingHandCursor, S::normal); },
            [&] {
                m_button->setHiddenImageAndText({ true, false }, S::normal);
            },
            [&] { m_button->setText(QStringLiteral("Next"), S::normal); },
            [&] { m_button->setTextColor(Qt::red, S::normal); }, [&] { m_button->setImage(red, S::normal); },
            [&] { m_button->setFont(QFont(), S::normal); }, [&] { m_button->setEnabled(true); } };
        int recomputations = 0;
        m_button->setBlock([&] { ++recomputations; }, S::normal);
        QSignalSpy announced(m_button, &InteractiveButton::appearanceChanged);
        setters[setter]();
        setters[setter]();
        QCOMPARE(recomputations, 2);
        QVERIFY(announced.count() <= 1);
    }

    // A state that hides the title or shows no image changes only what is
    // shown: the button's own title and image come back in the other states.
    void hiddenStatesKeepTheOwnTitleAndImage_data()
    {
        QTest::addColumn<bool>("imageHidden");
        QTest::addColumn<bool>("textHidden");
        QTest::addColumn<bool>("explicitNoImage");
        QTest::addRow("text hidden") << false << true << false;
        QTest::addRow("image hidden") << true << false << false;
        QTest::addRow("explicit no image") << false << false << true;
    }

    void hiddenStatesKeepTheOwnTitleAndImage()
    {
        QFETCH(bool, imageHidden);
        QFETCH(bool, textHidden);
        QFETCH(bool, explicitNoImage);
        m_button->setImage(filled(Qt::blue));
        m_button->setHiddenImageAndText({ imageHidden, textHidden }, S::hovered);
        if (explicitNoImage)
            m_button->setImage(QPixmap(), S::hovered);
        pointer::enter(m_button);
        QCOMPARE(m_button->title().isEmpty(), textHidden);
        QCOMPARE(m_button->currentImage().isNull(), imageHidden || explicitNoImage);
        pointer::leave(m_button);
        QCOMPARE(m_button->title(), QStringLiteral("Install"));
        QCOMPARE(m_button->currentImage().toImage().pixelColor(0, 0), QColor(Qt::blue));
        QCOMPARE(m_button->image(S::normal).toImage().pixelColor(0, 0), QColor(Qt::blue));
    }

    void fontFallsBackToTheCellFontThenFourteenPixels()
    {
        QFont large;
        large.setPixelSize(22);
        m_button->setFont(large, S::hovered);
        QCOMPARE(titleFormat(*m_button).font().pixelSize(), 14);
        pointer::enter(m_button);
        QCOMPARE(titleFormat(*m_button).font().pixelSize(), 22);
        QFont cellFont;
        cellFont.setPixelSize(9);
        m_button->cell()->setFont(cellFont);
        pointer::leave(m_button);
        QCOMPARE(titleFormat(*m_button).font().pixelSize(), 9);
        QCOMPARE(m_button->font(S::normal).pixelSize(), 14);
    }

    void pressReportsAroundClicked_data()
    {
        QTest::addColumn<QPoint>("release");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<S>("finalState");
        QTest::newRow("inside") << QPoint(
            80, 20) << QStringList { QStringLiteral("down"), QStringLiteral("clicked"), QStringLiteral("up-inside") }
                                << S::hovered;
        QTest::newRow("outside") << QPoint(200, 70)
                                 << QStringList { QStringLiteral("down"), QStringLiteral("up-outside") } << S::normal;
    }
    void pressReportsAroundClicked()
    {
        QFETCH(QPoint, release);
        QFETCH(QStringList, expected);
        QFETCH(S, finalState);
        QStringList log;
        QList<S> pressedStates;
        connect(m_button, &QAbstractButton::clicked, this, [&] { log << QStringLiteral("clicked"); });
        m_button->setEventAction(
            [&](const QVariant &sender) {
                QCOMPARE(sender.value<QObject *>(), m_button);
                log << QStringLiteral("down");
            },
            Interactive::Event::mouseDown);
        m_button->setEventAction(
            [&](const QVariant &) { log << QStringLiteral("up-inside"); }, Interactive::Event::mouseUpInside);
        m_button->setEventAction(
            [&](const QVariant &) { log << QStringLiteral("up-outside"); }, Interactive::Event::mouseUpOutside);
        m_button->setBackgroundColor(QColor(0x2FB782), S::clicked);
        m_button->setBlock([&] { pressedStates << m_button->interactiveState(); }, S::clicked);

        pointer::enter(m_button, QPoint(80, 20));
        QTest::mousePress(m_button, Qt::LeftButton, {}, QPoint(80, 20));
        QCOMPARE(m_button->interactiveState(), S::clicked | S::hovered);
        QCOMPARE(pointer::pixel(m_button, QPoint(4, 4)), QColor(0x2FB782));
        pointer::saveScreenshot(m_button, QStringLiteral("interactivebutton-pressed"));
        QTest::mouseRelease(m_button, Qt::LeftButton, {}, release);
        QCOMPARE(log, expected);
        QCOMPARE(m_button->interactiveState(), finalState);
        QCOMPARE(pressedStates, QList<S> { S::clicked | S::hovered });
    }

    void keyboardPressRunsTheClickActions_data()
    {
        QTest::addColumn<QString>("press");
        QTest::addColumn<QStringList>("expected");
        const QStringList click { QStringLiteral("down"), QStringLiteral("clicked"), QStringLiteral("up-inside") };
        QTest::newRow("space") << QStringLiteral("space") << click;
        QTest::newRow("performClick") << QStringLiteral("performClick") << click;
        QTest::newRow("assistive technology's press") << QStringLiteral("accessible press") << click;
        QTest::newRow("focus lost before the key comes up") << QStringLiteral(
            "space, then focus lost") << QStringList { QStringLiteral("down"), QStringLiteral("up-outside") };
        QTest::newRow("auto-repeat presses once") << QStringLiteral("space held") << click;
        QTest::newRow("other keys") << QStringLiteral("x") << QStringList {};
        QTest::newRow("disabled") << QStringLiteral("space while disabled") << QStringList {};
    }
    void keyboardPressRunsTheClickActions()
    {
        QFETCH(QString, press);
        QFETCH(QStringList, expected);
        QStringList log;
        QList<S> pressedStates;
        connect(m_button, &QAbstractButton::clicked, this, [&] { log << QStringLiteral("clicked"); });
        m_button->setEventAction(
            [&](const QVariant &) { log << QStringLiteral("down"); }, Interactive::Event::mouseDown);
        m_button->setEventAction(
            [&](const QVariant &) { log << QStringLiteral("up-inside"); }, Interactive::Event::mouseUpInside);
        m_button->setEventAction(
            [&](const QVariant &) { log << QStringLiteral("up-outside"); }, Interactive::Event::mouseUpOutside);
        m_button->setBlock([&] { pressedStates << m_button->interactiveState(); }, S::clicked);
        auto *other = new QPushButton(m_window.get());
        other->show();
        m_button->setFocusPolicy(Qt::StrongFocus);
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_button->setFocus(Qt::TabFocusReason);
        QVERIFY(m_button->hasFocus());

        if (press == QLatin1String("space")) {
            QTest::keyClick(m_button, Qt::Key_Space);
        } else if (press == QLatin1String("performClick")) {
            m_button->performClick();
        } else if (press == QLatin1String("accessible press")) {
            m_button->setTitle(QStringLiteral("R&&D &Install"));
            QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(m_button);
            QCOMPARE(accessible->role(), QAccessible::Button);
            QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("R&D Install"));
            accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        } else if (press == QLatin1String("space, then focus lost")) {
            QTest::keyPress(m_button, Qt::Key_Space);
            QCOMPARE(m_button->interactiveState(), S::clicked);
            other->setFocus(Qt::TabFocusReason);
            QTest::keyRelease(other, Qt::Key_Space);
        } else if (press == QLatin1String("space held")) {
            QTest::keyPress(m_button, Qt::Key_Space);
            QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
            QApplication::sendEvent(m_button, &repeat);
            QTest::keyRelease(m_button, Qt::Key_Space);
        } else if (press == QLatin1String("x")) {
            QTest::keyClick(m_button, Qt::Key_X);
        } else {
            m_button->setEnabled(false);
            QTest::keyClick(m_button, Qt::Key_Space);
            m_button->performClick();
        }
        QCOMPARE(log, expected);
        QVERIFY(!m_button->isClicked());
        QCOMPARE(pressedStates, expected.isEmpty() ? QList<S> {} : QList<S> { S::clicked });
    }

    void disablingInMouseDownSuppressesTheRest()
    {
        QStringList log;
        QSignalSpy clicked(m_button, &QAbstractButton::clicked);
        m_button->setEventAction(
            [&](const QVariant &) {
                log << QStringLiteral("down");
                m_button->setEnabled(false);
            },
            Interactive::Event::mouseDown);
        m_button->setEventAction(
            [&](const QVariant &) { log << QStringLiteral("up"); }, Interactive::Event::mouseUpInside);
        m_button->setText(QStringLiteral("fallback"), S::normal);
        m_button->setText(QStringLiteral("disabled"), S::disabled);
        QTest::mouseClick(m_button, Qt::LeftButton, {}, QPoint(80, 20));
        QCOMPARE(log, QStringList { QStringLiteral("down") });
        QCOMPARE(clicked.count(), 0);
        // The press flag set after the action leaves disabled + clicked, which resolves through normal only.
        QCOMPARE(m_button->interactiveState(), S::disabled | S::clicked);
        QCOMPARE(m_button->title(), QStringLiteral("fallback"));
    }

    void disabledButtonSwallowsPressesButTracksThePointer()
    {
        QSignalSpy clicked(m_button, &QAbstractButton::clicked);
        int downs = 0;
        m_button->setEventAction([&](const QVariant &) { ++downs; }, Interactive::Event::mouseDown);
        m_button->setTextColor(QColor(0, 0, 0, 64), S::disabled);
        m_button->setEnabled(false);
        QVERIFY(!m_button->isEnabled());
        QVERIFY(!m_button->QWidget::isEnabled());
        QTest::mouseClick(m_button, Qt::LeftButton, {}, QPoint(80, 20));
        QTest::keyClick(m_button, Qt::Key_Space);
        QCOMPARE(clicked.count(), 0);
        QCOMPARE(downs, 0);
        pointer::enter(m_button);
        QCOMPARE(m_button->interactiveState(), S::disabled | S::hovered);
        QCOMPARE(titleFormat(*m_button).foreground().color().alpha(), 64);
        m_button->setEnabled(true);
        QTest::mouseClick(m_button, Qt::LeftButton, {}, QPoint(80, 20));
        QCOMPARE(clicked.count(), 1);
    }

    void disabledFromADesignerFileDisablesTheWidget()
    {
        InteractiveButton button;
        QVERIFY(button.setProperty("enabled", false));
        QCOMPARE(button.interactiveState(), S::disabled);
        button.QWidget::setEnabled(false); // a plain setDisabled() takes the same way
        QVERIFY(!button.QWidget::isEnabled());
        QVERIFY(!button.isEnabled());
    }

    void releaseWithoutAPressIsIgnored()
    {
        int ups = 0;
        m_button->setEventAction([&](const QVariant &) { ++ups; }, Interactive::Event::mouseUpInside);
        QTest::mouseRelease(m_button, Qt::LeftButton, {}, QPoint(80, 20));
        QCOMPARE(ups, 0);
    }

    void cursorPerState()
    {
        m_button->setCursor(QCursor(Qt::PointingHandCursor), S::hovered);
        m_button->setCursor(QCursor(Qt::ForbiddenCursor), S::disabled);
        pointer::enter(m_button);
        QCOMPARE(m_button->QWidget::cursor().shape(), Qt::PointingHandCursor);
        m_button->setEnabled(false);
        QCOMPARE(m_button->QWidget::cursor().shape(), Qt::ForbiddenCursor);
    }

    void designablePropertiesUseTheLocalizedProvider()
    {
        setLocalizedStringProvider([](const QString &key) {
            return key == QLatin1String("Button_Install") ? QStringLiteral("Installieren")
                                                          : QStringLiteral("<%1>").arg(key);
        });
        QVERIFY(m_button->setProperty("normalLocalizedKey", QStringLiteral("Button_Install")));
        QVERIFY(m_button->setProperty("hoveredTextColor", QColor(0x2CA978)));
        QVERIFY(m_button->setProperty("disabledImage", QVariant::fromValue(filled(Qt::gray))));
        QVERIFY(m_button->setProperty("selectedBackgroundColor", QColor(0x3BE5A2)));
        QCOMPARE(m_button->title(), QStringLiteral("Installieren"));
        QCOMPARE(m_button->property("hoveredLocalizedKey").toString(), QStringLiteral("Installieren"));
        QCOMPARE(
            m_button->property("clickedTextColor").value<QColor>(), QColor(0x2CA978)); // clicked falls back to hovered
        pointer::enter(m_button);
        QCOMPARE(titleFormat(*m_button).foreground().color(), QColor(0x2CA978));
        QVERIFY(m_button->setProperty("disabledLocalizedKey", QString()));
        QCOMPARE(m_button->text(S::disabled), std::optional<QString>(QStringLiteral("<>")));
        QVERIFY(m_button->property("normalImage").value<QPixmap>().isNull());
        QCOMPARE(m_button->property("disabledImage").value<QPixmap>().toImage().pixelColor(0, 0), QColor(Qt::gray));
    }

    // Buttons without a background of their own show keyboard focus too.
    void keyboardFocusRingOnImageAndLinkButtons()
    {
        auto *checkBox = new InteractiveButton(m_window.get());
        checkBox->setImage(filled(Qt::red), S::normal);
        checkBox->setImage(filled(Qt::darkRed), S::selected);
        checkBox->setGeometry(20, 70, 16, 16);
        auto *link = new InteractiveButton(m_window.get());
        QTextCharFormat underlined;
        underlined.setForeground(QColor(0x2EB27E));
        underlined.setFontUnderline(true);
        link->setAttributedTitle(AttributedText { QStringLiteral("Terms"), { { 0, 5, underlined } } });
        link->setGeometry(60, 66, 80, 24);
        checkBox->show();
        link->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QCOMPARE(checkBox->focusRingColor(), checkBox->palette().color(QPalette::Highlight));

        // A click focuses without a ring; Tab brings it, drawn over the image.
        QTest::mouseClick(m_button, Qt::LeftButton);
        QVERIFY(m_button->hasFocus());
        QVERIFY(!m_button->isFocusRingVisible());
        QCOMPARE(pointer::pixel(checkBox, QPoint(1, 8)), QColor(Qt::red));
        QTest::keyClick(m_button, Qt::Key_Tab);
        QVERIFY(checkBox->hasFocus());
        QVERIFY(checkBox->isFocusRingVisible());
        QCOMPARE(pointer::pixel(checkBox, QPoint(1, 8)), checkBox->palette().color(QPalette::Highlight));
        QCOMPARE(pointer::pixel(checkBox, QPoint(8, 8)), QColor(Qt::red));

        QSignalSpy colourChanged(checkBox, &InteractiveButton::focusRingColorChanged);
        checkBox->setFocusRingColor(QColor(0x258E65));
        checkBox->setFocusRingColor(QColor(0x258E65));
        QCOMPARE(colourChanged.size(), 1);
        QCOMPARE(pointer::pixel(checkBox, QPoint(1, 8)), QColor(0x258E65));

        QTest::keyClick(checkBox, Qt::Key_Tab);
        QVERIFY(link->hasFocus());
        QVERIFY(!checkBox->isFocusRingVisible());
        QVERIFY(link->isFocusRingVisible());
        QCOMPARE(pointer::pixel(link, QPoint(1, 12)), link->palette().color(QPalette::Highlight));
        QCOMPARE(pointer::pixel(checkBox, QPoint(1, 8)), QColor(Qt::red));
        pointer::saveScreenshot(link, QStringLiteral("interactivebutton-link-focused"));

        // Clicking elsewhere moves the focus without a ring.
        QTest::mouseClick(checkBox, Qt::LeftButton);
        QVERIFY(checkBox->hasFocus());
        QVERIFY(!checkBox->isFocusRingVisible());
        QVERIFY(!link->isFocusRingVisible());
        checkBox->resetFocusRingColor();
        QCOMPARE(colourChanged.size(), 2);
        QCOMPARE(checkBox->focusRingColor(), checkBox->palette().color(QPalette::Highlight));
    }

    void screenshotsOfEveryState()
    {
        m_button->setCornerRadius(4);
        m_button->setBackgroundColor(QColor(0x3BE5A2), S::normal);
        m_button->setBackgroundColor(QColor(0x36D395), S::hovered);
        m_button->setBackgroundColor(QColor(0x2FB782), S::clicked);
        m_button->setBackgroundColor(QColor(0, 0, 0, 13), S::disabled);
        m_button->setTextColor(QColor(0x342929), S::normal);
        m_button->setTextColor(QColor(0, 0, 0, 64), S::disabled);
        pointer::saveScreenshot(m_button, QStringLiteral("interactivebutton-normal"));
        pointer::enter(m_button);
        pointer::saveScreenshot(m_button, QStringLiteral("interactivebutton-hovered"));
        m_button->setEnabled(false);
        pointer::saveScreenshot(m_button, QStringLiteral("interactivebutton-disabled"));
        QCOMPARE(pointer::pixel(m_button, QPoint(80, 2)).alpha(), 255); // window behind shows through
    }
};

QTEST_MAIN(InteractiveButtonTest)
#include "tst_interactivebutton.moc"
