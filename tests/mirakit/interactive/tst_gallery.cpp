#include "PointerInput.h"

#include "ControlsGalleryPage.h"
#include "GalleryWindow.h"
#include "InputsGalleryPage.h"
#include "NibGalleryPage.h"
#include "WindowsGalleryPage.h"

#include <mirakit/interactive/InteractiveButton.h>
#include <mirakit/interactive/LineProgressView.h>
#include <mirakit/windows/MiraSwitch.h>
#include <mirakit/windows/NibDesignView.h>
#include <mirakit/windows/SecurePlainTextField.h>
#include <mirakit/windows/SheetWindow.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QTest>

#include <cmath>

using namespace mira;
using S = Interactive::State;

namespace {

// The contrast ratio of two colours, from 1 (none) to 21 (black on white).
qreal contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto linear = [](qreal v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const qreal x = luminance(a), y = luminance(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

} // namespace

class GalleryTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyStateIsShownAndSaved()
    {
        pointer::ParkedPointer parked;
        std::unique_ptr<QWidget> page(gallery::createControlsPage());
        page->resize(800, 760);
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
        const auto primaryStates = [&page] {
            QList<S> states;
            for (auto *button : page->findChildren<InteractiveButton *>()) {
                if (button->title() == QLatin1String("Install"))
                    states << button->interactiveState();
            }
            return states;
        };
        const QList<S> expected { S::normal, S::hovered, S::clicked | S::hovered, S::selected, S::disabled };
        // The sample states are put back after the tracking renewals of showing and layout.
        QTRY_COMPARE(primaryStates(), expected);
        QCOMPARE(page->findChildren<LineProgressView *>().size(), 4);
        pointer::saveScreenshot(page.get(), QStringLiteral("mirakit-gallery"));
    }

    // On a screen smaller than the gallery (1080p at ×1.5 leaves 1280 × 720)
    // the pages scroll instead of squeezing their controls over each other.
    void pagesScrollRatherThanSqueeze()
    {
        std::unique_ptr<QTabWidget> window(gallery::createGalleryWindow());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        const QRect available = window->screen()->availableGeometry();
        QVERIFY(window->width() <= available.width() && window->height() <= available.height());
        for (const QSize size : { QSize(1280, 720), QSize(640, 480) }) {
            window->resize(size);
            for (int index = 0; index < window->count(); ++index) {
                window->setCurrentIndex(index);
                auto *area = qobject_cast<QScrollArea *>(window->widget(index));
                QVERIFY(area);
                const QWidget *page = area->widget();
                QTRY_VERIFY2(page->width() >= page->minimumSizeHint().width()
                        && page->height() >= page->minimumSizeHint().height(),
                    qPrintable(QStringLiteral("tab %1 at %2 x %3").arg(index).arg(size.width()).arg(size.height())));
            }
        }
    }

    // A presented page that paints its own light background keeps dark text in a dark theme.
    void presentedPageIsReadableInADarkTheme()
    {
        const QPalette before = QApplication::palette();
        const auto restore = qScopeGuard([&before] { QApplication::setPalette(before); });
        QPalette dark = before;
        dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
        dark.setColor(QPalette::WindowText, Qt::white);
        dark.setColor(QPalette::Button, QColor(0x30, 0x30, 0x30));
        dark.setColor(QPalette::ButtonText, Qt::white);
        QApplication::setPalette(dark);

        std::unique_ptr<QWidget> host(gallery::createWindowsPage());
        host->resize(640, 400);
        host->show();
        QVERIFY(QTest::qWaitForWindowExposed(host.get()));
        QPushButton *sheetButton = nullptr;
        for (auto *button : host->findChildren<QPushButton *>()) {
            if (button->text() == QLatin1String("sheet"))
                sheetButton = button;
        }
        QVERIFY(sheetButton);
        sheetButton->click();
        auto *sheet = host->findChild<SheetWindow *>();
        QVERIFY(sheet && sheet->contentViewController());
        const QWidget *page = sheet->contentViewController();
        const QColor background = page->palette().color(QPalette::Window);
        const auto labels = page->findChildren<QLabel *>();
        QVERIFY(!labels.isEmpty());
        for (const QLabel *label : labels)
            QVERIFY2(
                contrast(label->palette().color(QPalette::WindowText), background) >= 4.5, qPrintable(label->text()));
        for (const QPushButton *button : page->findChildren<QPushButton *>()) {
            const QPalette palette = button->palette();
            QVERIFY2(contrast(palette.color(QPalette::ButtonText), palette.color(QPalette::Button)) >= 4.5,
                qPrintable(button->text()));
        }
    }

    void inputsPageShowsSwitchesAndFields()
    {
        std::unique_ptr<QWidget> page(gallery::createInputsPage());
        page->resize(760, 300);
        page->show();
        QApplication::setActiveWindow(page.get());
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
        auto *account = page->findChild<PlainTextField *>();
        QTRY_VERIFY(!account->hasFocus());
        QVERIFY(account->becomeFirstResponder());
        auto *password = page->findChild<SecurePlainTextField *>();
        QVERIFY(password->isSecureTextEntry());
        const auto switches = page->findChildren<MiraSwitch *>();
        QCOMPARE(switches.size(), 8);
        pointer::saveScreenshot(page.get(), QStringLiteral("mirakit-gallery-inputs"));
        switches.last()->setFocus();
        QTest::keyClick(switches.last(), Qt::Key_Space);
        QVERIFY(!password->isSecureTextEntry());
        QCOMPARE(password->displayText(), QStringLiteral("correct horse"));
    }

    void nibPageShowsTheCardDesignedInItsFile()
    {
        pointer::ParkedPointer parked;
        std::unique_ptr<QWidget> page(gallery::createNibPage());
        page->resize(480, 260);
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
        auto *card = page->findChild<NibDesignView *>();
        QVERIFY(card && card->contentView());
        QCOMPARE(card->contentView()->geometry(), card->rect());
        auto *follow = card->contentView()->findChild<InteractiveButton *>(QStringLiteral("followButton"));
        QVERIFY(follow);
        QCOMPARE(follow->title(), QStringLiteral("Follow"));
        pointer::saveScreenshot(page.get(), QStringLiteral("mirakit-gallery-nib"));
    }
};

QTEST_MAIN(GalleryTest)
#include "tst_gallery.moc"
