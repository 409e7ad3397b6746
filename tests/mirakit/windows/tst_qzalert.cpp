#include "AlertsGalleryPage.h"
#include "PointerInput.h"
#include "VirtualTime.h"

#include <mirakit/windows/QZAlert.h>
#include <mirakit/windows/QZCloseButton.h>
#include <mirakit/windows/QZCornerView.h>
#include <mirakit/windows/QZKeyWindow.h>
#include <mirakit/windows/WindowPresentation.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

using namespace mira;
using namespace std::chrono_literals;

namespace {

// A shown, active window with a button in its lower left corner, below where sheets hang.
struct Host {
    QWidget window;
    QPushButton *below = new QPushButton(QStringLiteral("Below"), &window);

    Host()
    {
        window.setWindowTitle(QStringLiteral("Host"));
        window.setGeometry(100, 100, 700, 500);
        below->setGeometry(20, 440, 120, 30);
        window.show();
        QApplication::setActiveWindow(&window);
    }
};

QZAlert *questionAlert()
{
    auto *alert = QZAlert::alertWithTitle(QStringLiteral("Quit?"), QStringLiteral("Prismora is not installed yet."));
    alert->addCancelButton(new QPushButton(QStringLiteral("Continue")));
    alert->addConfirmButton(new QPushButton(QStringLiteral("Quit")));
    return alert;
}

class PageA : public QWidget { };
class PageB : public QWidget { };

QImage render(QWidget *widget)
{
    QImage image(widget->size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

} // namespace

class QZAlertTest : public QObject {
    Q_OBJECT
private:
    VirtualTimePerTest m_time;

private Q_SLOTS:
    void init() { m_time.begin(); }
    void cleanup()
    {
        QZAlert::setting() = QZAlertSet();
        QZAlert::setting().setAlignment(1);
        m_time.end();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void settingTable_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<qreal>("initial");
        QTest::addColumn<qreal>("alignedZero");
        QTest::addColumn<qreal>("alignedOther");
        QTest::newRow("width") << "width" << 500.0 << 500.0 << 400.0;
        QTest::newRow("minHeight") << "minHeight" << 156.0 << 156.0 << 150.0;
        QTest::newRow("offsetIcon") << "offsetIcon" << 17.0 << 17.0 << 20.0;
        QTest::newRow("marginX") << "marginX" << 30.0 << 30.0 << 10.0;
        QTest::newRow("marginTop") << "marginTop" << 45.0 << 45.0 << 30.0;
        QTest::newRow("marginBottom") << "marginBottom" << 25.0 << 25.0 << 40.0;
        QTest::newRow("offsetLabel") << "offsetLabel" << 3.0 << 3.0 << 10.0;
        QTest::newRow("offsetButton") << "offsetButton" << 10.0 << 10.0 << 10.0;
        QTest::newRow("offsetLabelButton") << "offsetLabelButton" << 12.0 << 12.0 << 20.0;
        QTest::newRow("buttonWidth") << "buttonWidth" << 80.0 << 80.0 << 120.0;
        QTest::newRow("buttonHeight") << "buttonHeight" << 20.0 << 20.0 << 30.0;
    }

    void settingTable()
    {
        QFETCH(QString, member);
        QFETCH(qreal, initial);
        QFETCH(qreal, alignedZero);
        QFETCH(qreal, alignedOther);
        const std::map<QString, qreal QZAlertSet::*> members = { { "width", &QZAlertSet::width },
            { "minHeight", &QZAlertSet::minHeight }, { "offsetIcon", &QZAlertSet::offsetIcon },
            { "marginX", &QZAlertSet::marginX }, { "marginTop", &QZAlertSet::marginTop },
            { "marginBottom", &QZAlertSet::marginBottom }, { "offsetLabel", &QZAlertSet::offsetLabel },
            { "offsetButton", &QZAlertSet::offsetButton }, { "offsetLabelButton", &QZAlertSet::offsetLabelButton },
            { "buttonWidth", &QZAlertSet::buttonWidth }, { "buttonHeight", &QZAlertSet::buttonHeight } };
        const auto field = members.at(member);

        QZAlertSet set;
        QCOMPARE(set.*field, initial);
        set.setAlignment(7);
        QCOMPARE(set.alignment, 7);
        QCOMPARE(set.*field, alignedOther);
        set.displayCloseButton = false;
        set.setAlignment(0);
        QCOMPARE(set.*field, alignedZero);
        QVERIFY(!set.displayCloseButton);
        // The shared setting starts out centred.
        QCOMPARE(QZAlert::setting().alignment, 1);
        QCOMPARE(QZAlert::setting().*field, alignedOther);
    }

    void returnCodes_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("confirms");
        QTest::addColumn<int>("cancels");
        QTest::newRow("confirm button") << "confirm" << 1 << 1 << 0;
        QTest::newRow("cancel button") << "cancel" << 0 << 0 << 1;
        QTest::newRow("close button") << "close" << -1000 << 0 << 0;
        QTest::newRow("Escape") << "escape" << -1000 << 0 << 0;
        QTest::newRow("Return") << "return" << 1 << 1 << 0;
        QTest::newRow("endAttachedAlert") << "attached" << -1000 << 0 << 0;
        QTest::newRow("endAttachedAlertWithCode 7") << "code7" << 7 << 0 << 0;
        QTest::newRow("endSheetWithCode 0") << "sheet0" << 0 << 0 << 1;
        QTest::newRow("corner view") << "corner" << -1000 << 0 << 0;
    }

    void returnCodes()
    {
        QFETCH(QString, ending);
        QFETCH(int, code);
        QFETCH(int, confirms);
        QFETCH(int, cancels);
        Host host;
        QZAlert *alert = questionAlert();
        QPointer<QZKeyWindow> window = alert->window();
        QSignalSpy ended(window.data(), &SheetWindow::ended);
        int confirmed = 0, cancelled = 0;
        alert->beginSheetWithCancel([&] { ++cancelled; }, [&] { ++confirmed; });
        int secondCompletions = 0;
        alert->beginSheetWithCompletion([&](int) { ++secondCompletions; });
        QCOMPARE(attachedSheets(&host.window), QList<QWidget *> { window });
        QVERIFY(window->isVisible());

        auto *closeButton = QZCloseButton::closeButton(window->contentViewController());
        QVERIFY(closeButton);
        QCOMPARE(closeButton->geometry(), QRect(10, 10, 12, 12));
        if (ending == "confirm")
            QTest::mouseClick(alert->confirmButton(), Qt::LeftButton);
        else if (ending == "cancel")
            QTest::mouseClick(alert->cancelButton(), Qt::LeftButton);
        else if (ending == "close")
            QTest::mouseClick(closeButton, Qt::LeftButton);
        else if (ending == "escape")
            QTest::keyClick(host.window.windowHandle(), Qt::Key_Escape);
        else if (ending == "return")
            QTest::keyClick(host.window.windowHandle(), Qt::Key_Return);
        else if (ending == "attached")
            QZAlert::endAttachedAlert();
        else if (ending == "code7")
            QZAlert::endAttachedAlertWithCode(7);
        else if (ending == "corner")
            static_cast<QZCornerView *>(window->contentViewController())->closeSheet();
        else
            alert->endSheetWithCode(0);

        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(0).toInt(), code);
        QVERIFY(attachedSheets(&host.window).isEmpty());
        // The actions run from the main queue, once.
        QCOMPARE(confirmed + cancelled, 0);
        m_time.clock.runPending();
        QCOMPARE(confirmed, confirms);
        QCOMPARE(cancelled, cancels);
        QCOMPARE(secondCompletions, 0);
        QTRY_VERIFY(window.isNull());
    }

    void parentIgnoresInputWhileAlertIsUp()
    {
        Host host;
        QSignalSpy belowClicks(host.below, &QPushButton::clicked);
        host.below->setFocus();
        QZAlert *alert = questionAlert();
        QSignalSpy ended(alert->window(), &SheetWindow::ended);
        alert->beginSheet();
        const QPoint belowCentre = host.below->geometry().center();

        QTest::mouseClick(host.window.windowHandle(), Qt::LeftButton, {}, belowCentre);
        QCOMPARE(belowClicks.count(), 0);
        // Keys go to the alert, whose first button took the focus.
        QCOMPARE(QApplication::focusWidget(), alert->cancelButton());
        QTest::keyClick(host.window.windowHandle(), Qt::Key_Space);
        QCOMPARE(belowClicks.count(), 0);
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(0).toInt(), 0);

        QVERIFY(host.below->hasFocus());
        QTest::mouseClick(host.window.windowHandle(), Qt::LeftButton, {}, belowCentre);
        QCOMPARE(belowClicks.count(), 1);
    }

    void viewControllerIsShownOncePerClass()
    {
        // Nowhere to show it: the page goes.
        QWidget hidden;
        QPointer<QWidget> unshown = new PageA;
        QVERIFY(!QZAlert::create()->beginSheetViewController(unshown, &hidden));
        QTRY_VERIFY(unshown.isNull());

        Host host;
        QVERIFY(QZAlert::create()->beginSheetViewController(new PageA));
        QPointer<QWidget> second = new PageA;
        QVERIFY(!QZAlert::create()->beginSheetViewController(second));
        QCOMPARE(attachedSheets(&host.window).size(), 1);
        QTRY_VERIFY(second.isNull());

        // Another class is welcome, and the first class again once its sheet has ended.
        QVERIFY(QZAlert::create()->beginSheetViewController(new PageB));
        QCOMPARE(attachedSheets(&host.window).size(), 2);
        QZAlert::endControllerSheet(
            static_cast<SheetWindow *>(attachedSheets(&host.window).first())->contentViewController(), 3);
        auto *page = new PageA;
        int ended = 0;
        QVERIFY(beginSheetWithCompletion(page, [&](int code) { ended = code; }));
        QCOMPARE(attachedSheets(&host.window).size(), 2);
        endSheetWithCode(page, 3);
        m_time.clock.advanceBy(0ms);
        QCOMPARE(ended, 3);

        // A popup or a popover that has the focus is not the main window.
        for (const Qt::WindowType type : { Qt::Popup, Qt::Tool }) {
            QWidget popover(&host.window, type);
            popover.show();
            QApplication::setActiveWindow(&popover);
            QCOMPARE(QZAlert::mainWindow(), &host.window);
        }
    }

    void endAlertByWindowTitleEndsOnlyThatAlert()
    {
        Host host;
        auto *first = QZAlert::alertWithTitle(QStringLiteral("First"), QString());
        auto *second = QZAlert::alertWithTitle(QStringLiteral("Second"), QString());
        QSignalSpy firstEnded(first->window(), &SheetWindow::ended);
        first->beginSheet();
        second->beginSheet();
        const QList<QWidget *> both { first->window(), second->window() };
        QCOMPARE(attachedSheets(&host.window), both);
        QCOMPARE(QZAlert::existedWindow(), second->window());

        QZAlert::endAlertByWindowTitle(QString());
        QZAlert::endAlertByWindowTitle(QStringLiteral("Third"));
        QCOMPARE(attachedSheets(&host.window), both);
        QZAlert::endAlertByWindowTitle(QStringLiteral("First"));
        QCOMPARE(attachedSheets(&host.window), QList<QWidget *> { second->window() });
        QCOMPARE(firstEnded.count(), 1);
        QCOMPARE(firstEnded.at(0).at(0).toInt(), -1000);
    }

    void textsAreShownAsWritten()
    {
        const QString markup = QStringLiteral("<img src=\"file:///etc/passwd\"><b>Quit</b>");
        QZAlert *alert = QZAlert::alertWithTitle(markup, markup);
        for (QLabel *label : { alert->titleLabel(), alert->introlLabel() }) {
            QCOMPARE(label->textFormat(), Qt::PlainText);
            QCOMPARE(label->text(), markup);
        }
        delete alert->window();

        // Without a title there is no title label; the introduction takes its place.
        alert = QZAlert::alertWithTitle(QString(), QStringLiteral("Only this."));
        QVERIFY(!alert->titleLabel());
        const auto *icon = alert->window()->findChild<QLabel *>(QStringLiteral("QZAlertIcon"));
        QCOMPARE(alert->introlLabel()->y(), icon->y() + icon->height() + qRound(QZAlert::setting().offsetIcon));
        delete alert->window();
    }

    void dismissReportsItsReturnCode()
    {
        Host host;
        auto *page = new QWidget;
        page->resize(200, 100);
        present(&host.window, page, true, WindowPresentStyle::sheet, std::nullopt);
        int received = 0;
        dismiss(page, 42, [&](int code) { received = code; });
        QCOMPARE(received, 42);
        QVERIFY(attachedSheets(&host.window).isEmpty());
    }

    void layoutPlacesButtons_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<Qt::LayoutDirection>("direction");
        QTest::newRow("side by side") << 0 << Qt::LeftToRight;
        QTest::newRow("centred") << 1 << Qt::LeftToRight;
        QTest::newRow("side by side, right to left") << 0 << Qt::RightToLeft;
        QTest::newRow("centred, right to left") << 1 << Qt::RightToLeft;
    }

    void layoutPlacesButtons()
    {
        QFETCH(int, alignment);
        QFETCH(Qt::LayoutDirection, direction);
        QZAlert::setting().setAlignment(alignment);
        const QZAlertSet &s = QZAlert::setting();
        QApplication::setLayoutDirection(direction);
        const auto restore = qScopeGuard([] { QApplication::setLayoutDirection(Qt::LeftToRight); });
        Host host;
        QZAlert *alert = questionAlert();
        alert->beginSheet();
        QWidget *content = alert->window()->contentViewController();
        // Frames in reading order: x counts from the edge where reading starts.
        const auto frame = [&](QWidget *widget) {
            const QRect r(widget->mapTo(content, QPoint()), widget->size());
            return direction == Qt::LeftToRight
                ? r
                : QRect(content->width() - r.x() - r.width(), r.y(), r.width(), r.height());
        };
        const QRect confirm = frame(alert->confirmButton());
        const QRect cancel = frame(alert->cancelButton());
        const QRect intro = frame(alert->introlLabel());
        QCOMPARE(content->width(), int(s.width));
        QVERIFY(content->height() >= s.minHeight);
        QCOMPARE(confirm.top(), cancel.top());
        QCOMPARE(confirm.y() + confirm.height(), content->height() - int(s.marginBottom));
        QCOMPARE(confirm.x() - (cancel.x() + cancel.width()), alignment == 0 ? int(s.offsetButton) : 10);
        if (alignment == 0) {
            QCOMPARE(confirm.x() + confirm.width(), content->width() - int(s.marginX));
            QCOMPARE(intro.x() + intro.width(), content->width() - int(s.marginX));
        } else {
            QCOMPARE(cancel.x() + confirm.x() + confirm.width(), content->width());
            QCOMPARE(intro.x(), int(s.marginX));
        }
        QVERIFY(confirm.top() >= intro.y() + intro.height() + s.offsetLabelButton);
    }

    // Buttons take the setting's size and grow only as far as their titles
    // need: long translated titles or large fonts are never cut short.
    void buttonsNeverClipTheirTitles_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<qreal>("fontScale");
        QTest::addColumn<int>("alignment");
        for (const int alignment : { 0, 1 }) {
            const char *layout = alignment ? "centred" : "side by side";
            QTest::addRow("short, %s", layout) << QStringLiteral("OK") << 1.0 << alignment;
            QTest::addRow("German, %s", layout) << QStringLiteral("Abbrechen und schließen") << 1.0 << alignment;
            QTest::addRow("Russian, %s", layout) << QStringLiteral("Отменить установку") << 1.0 << alignment;
            QTest::addRow("Japanese, %s", layout)
                << QStringLiteral("インストールをキャンセルして閉じる") << 1.0 << alignment;
            QTest::addRow("Arabic, %s", layout) << QStringLiteral("إلغاء التثبيت وإغلاق النافذة") << 1.0 << alignment;
            QTest::addRow("German, 2x font, %s", layout)
                << QStringLiteral("Abbrechen und schließen") << 2.0 << alignment;
            QTest::addRow("Russian, 2x font, %s", layout) << QStringLiteral("Отменить установку") << 2.0 << alignment;
            QTest::addRow("very long, 2x font, %s", layout)
                << QStringLiteral("Installation abbrechen und alle Dateien entfernen") << 2.0 << alignment;
        }
    }

    void buttonsNeverClipTheirTitles()
    {
        QFETCH(QString, title);
        QFETCH(qreal, fontScale);
        QFETCH(int, alignment);
        QZAlert::setting().setAlignment(alignment);
        const QZAlertSet &s = QZAlert::setting();
        Host host;
        QZAlert *alert = QZAlert::alertWithTitle(QStringLiteral("Quit?"), QStringLiteral("Nothing is installed."));
        QList<QPushButton *> buttons { new QPushButton(title), new QPushButton(title + QStringLiteral("!")) };
        for (QPushButton *button : buttons) {
            QFont font = button->font();
            font.setPointSizeF(font.pointSizeF() * fontScale);
            button->setFont(font);
        }
        alert->addCancelButton(buttons[0]);
        alert->addConfirmButton(buttons[1]);
        alert->beginSheet();

        QWidget *content = alert->window()->contentViewController();
        QVERIFY(content->width() >= QZAlert::setting().width);
        for (QPushButton *button : buttons) {
            // The setting's size, grown only as far as the title needs.
            const QSize hint = button->sizeHint();
            QCOMPARE(button->size(),
                QSize(std::max(int(s.buttonWidth), hint.width()), std::max(int(s.buttonHeight), hint.height())));
            const QRect inContent(button->mapTo(content, QPoint()), button->size());
            QVERIFY(content->rect().contains(inContent));
        }
        QVERIFY(
            buttons[0]->mapTo(content, QPoint(buttons[0]->width(), 0)).x() <= buttons[1]->mapTo(content, QPoint()).x());
        QCOMPARE(alert->window()->size(), content->size());
    }

    void cornerViewRoundsOnlyMaskedCorners_data()
    {
        QTest::addColumn<uint>("masks");
        QTest::newRow("default: the lower corners") << 3u;
        QTest::newRow("lower left") << 1u;
        QTest::newRow("upper right") << 8u;
        QTest::newRow("upper left and lower right") << 6u;
        QTest::newRow("all") << 15u;
        QTest::newRow("none") << 0u;
    }

    void cornerViewRoundsOnlyMaskedCorners()
    {
        QFETCH(uint, masks);
        QZCornerView view;
        QCOMPARE(view.cornerMasks(), 3u);
        view.resize(60, 40);
        view.setCornerRadius(10);
        view.setCornerMasks(masks);
        view.setBackgroundColor(QColor(0x20, 0x40, 0x60));
        const QImage image = render(&view);
        // The corner pixel as it appears on screen, with its bit.
        const std::pair<QPoint, uint> corners[]
            = { { QPoint(0, 39), QZCornerView::lowerLeft }, { QPoint(59, 39), QZCornerView::lowerRight },
                  { QPoint(0, 0), QZCornerView::upperLeft }, { QPoint(59, 0), QZCornerView::upperRight } };
        for (const auto &[point, bit] : corners) {
            const QColor colour = image.pixelColor(point);
            QCOMPARE(colour.alpha(), (masks & bit) ? 0 : 255);
        }
        QCOMPARE(image.pixelColor(30, 20), QColor(0x20, 0x40, 0x60));
    }

    void closeButtonColours_data()
    {
        QTest::addColumn<bool>("hover");
        QTest::addColumn<bool>("press");
        QTest::addColumn<QColor>("fill");
        QTest::newRow("normal") << false << false << QColor::fromRgbF(0.99, 0.38, 0.36);
        QTest::newRow("hover") << true << false << QColor::fromRgbF(0.99, 0.38, 0.36);
        QTest::newRow("pressed") << true << true << QColor::fromRgbF(1.0, 0.3803921568627451, 0.3411764705882353);
    }

    void closeButtonColours()
    {
        QFETCH(bool, hover);
        QFETCH(bool, press);
        QFETCH(QColor, fill);
        QWidget view;
        view.resize(100, 100);
        QZCloseButton *button = QZCloseButton::addCloseByTarget(&view, {});
        QCOMPARE(QZCloseButton::addCloseByTarget(&view, {}), button);
        QCOMPARE(button->sizeHint(), QSize(12, 12));
        view.show();
        if (hover) {
            QEnterEvent enter(QPointF(6, 6), QPointF(16, 16), QPointF(16, 16));
            QCoreApplication::sendEvent(button, &enter);
        }
        if (press)
            QTest::mousePress(button, Qt::LeftButton, {}, QPoint(6, 6));
        QCOMPARE(button->isMouseHovering(), hover);
        QCOMPARE(button->isMouseDown(), press);

        const QImage image = render(button);
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(image.pixelColor(6, 2), QColor(fill.rgb()));
        // The cross runs through the middle only while hovering.
        const QColor middle = image.pixelColor(5, 5);
        if (hover)
            QVERIFY2(middle.red() < 200, qPrintable(middle.name()));
        else
            QCOMPARE(middle, QColor(fill.rgb()));
        if (press)
            QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(6, 6));
        QVERIFY(!button->isMouseDown());
    }

    void accessibleAsDialogWithNamedButtons()
    {
        Host host;
        QZAlert *alert = questionAlert();
        alert->beginSheet();
        QAccessibleInterface *dialog = QAccessible::queryAccessibleInterface(alert->window());
        QCOMPARE(dialog->role(), QAccessible::Dialog);
        QCOMPARE(dialog->text(QAccessible::Name), QStringLiteral("Quit?"));
        QCOMPARE(dialog->text(QAccessible::Description), QStringLiteral("Prismora is not installed yet."));
        QWidget *content = alert->window()->contentViewController();
        const std::pair<QWidget *, QString> buttons[] = { { alert->confirmButton(), QStringLiteral("Quit") },
            { alert->cancelButton(), QStringLiteral("Continue") },
            { QZCloseButton::closeButton(content), QStringLiteral("Close") } };
        for (const auto &[button, name] : buttons) {
            QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(button);
            QCOMPARE(accessible->role(), QAccessible::Button);
            QCOMPARE(accessible->text(QAccessible::Name), name);
        }
        pointer::saveScreenshot(&host.window, QStringLiteral("qzalert-centred"));
    }

    void galleryPagePresentsEachLayout_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<bool>("closeButton");
        QTest::newRow("side by side") << "Side by side" << true;
        QTest::newRow("centred without close button") << "Centred, no close button" << false;
    }

    void galleryPagePresentsEachLayout()
    {
        QFETCH(QString, choice);
        QFETCH(bool, closeButton);
        std::unique_ptr<QWidget> page(gallery::createAlertsPage());
        page->resize(720, 420);
        page->show();
        QApplication::setActiveWindow(page.get());
        QPushButton *show = nullptr;
        for (QPushButton *button : page->findChildren<QPushButton *>()) {
            if (button->text() == choice)
                show = button;
        }
        QTest::mouseClick(show, Qt::LeftButton);
        const QList<QWidget *> sheets = attachedSheets(page.get());
        QCOMPARE(sheets.size(), 1);
        auto *sheet = static_cast<SheetWindow *>(sheets.first());
        QCOMPARE(QZCloseButton::closeButton(sheet->contentViewController()) != nullptr, closeButton);
        // The page leaves the shared setting as it found it.
        QCOMPARE(QZAlert::setting().alignment, 1);
        QVERIFY(QZAlert::setting().displayCloseButton);
        if (closeButton)
            pointer::saveScreenshot(page.get(), QStringLiteral("alerts-gallery"));

        QTest::keyClick(page->windowHandle(), Qt::Key_Escape);
        m_time.clock.runPending();
        QCOMPARE(page->findChild<QLabel *>(QStringLiteral("alertStatus"))->text(),
            QStringLiteral("The last alert ended with -1000."));
    }
};

QTEST_MAIN(QZAlertTest)
#include "tst_qzalert.moc"
