#include "VirtualTime.h"

#include <mirakit/windows/SheetCloseButton.h>
#include <mirakit/windows/SheetWindow.h>
#include <mirakit/windows/SheetWindowCloseProtocol.h>
#include <mirakit/windows/StandardWindowButtons.h>
#include <mirakit/windows/WindowPresentation.h>

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QGraphicsEffect>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

using namespace mira;
using namespace std::chrono_literals;

namespace {

// A page that adopts the close protocol and records how it was asked to close.
class ClosablePage : public QWidget, public SheetWindowCloseProtocol {
public:
    explicit ClosablePage(bool enable = true, QPointF offset = {})
        : m_enable(enable)
        , m_offset(offset)
    {
        resize(260, 140);
        auto *button = new QPushButton(QStringLiteral("OK"), this);
        button->setObjectName(QStringLiteral("ok"));
        button->setGeometry(150, 90, 90, 30);
        setAutoFillBackground(true);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, Qt::white);
        setPalette(palette);
    }

    bool closeEnable() const override { return m_enable; }
    QPointF closeOffset() const override { return m_offset; }
    void closeSheet(QAbstractButton *sender) override
    {
        closeSenders << sender;
        dismiss(this);
    }

    QList<QAbstractButton *> closeSenders;

private:
    bool m_enable;
    QPointF m_offset;
};

// A page laid out like one built with setupUi(): a layout around 180 × 90
// of content, resized to a larger design size.
QWidget *makeDesignedPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(10, 10, 10, 10);
    auto *content = new QWidget;
    content->setFixedSize(180, 90);
    layout->addWidget(content);
    page->resize(500, 400);
    return page;
}

QWidget *makePlainPage()
{
    auto *page = new QWidget;
    page->resize(200, 120);
    page->setAutoFillBackground(true);
    QPalette palette = page->palette();
    palette.setColor(QPalette::Window, QColor(0x3d, 0x6f, 0xd8));
    page->setPalette(palette);
    return page;
}

void saveComposite(QWidget *parent, QWidget *window, const QString &name)
{
    const QString dir = qEnvironmentVariable("SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    QPixmap canvas = parent->grab();
    if (window->isWindow()) {
        QPainter painter(&canvas);
        painter.drawPixmap(window->frameGeometry().topLeft() - parent->geometry().topLeft(), window->grab());
    }
    canvas.save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace

class SheetWindowTest : public QObject {
    Q_OBJECT
private:
    VirtualTimePerTest m_time;

private Q_SLOTS:
    void init() { m_time.begin(); }
    void cleanup()
    {
        m_time.end();
        qDeleteAll(QApplication::topLevelWidgets());
    }

    void centresOnTheScreenAndOnAnotherWindow()
    {
        QCOMPARE(QGuiApplication::primaryScreen()->geometry().size(), QSize(1440, 900));
        QWidget window;
        window.resize(300, 200);
        center(&window);
        QCOMPARE(window.pos(), QPoint(570, 350));

        center(&window, nullptr, QPointF(10, -20));
        QCOMPARE(window.pos(), QPoint(580, 330));

        QWidget other;
        other.setGeometry(100, 100, 401, 301);
        center(&window, &other);
        // Half the difference rounds up: 100 - ceil(-50.5) = 150.
        QCOMPARE(window.pos(), QPoint(150, 150));

        center(&window, &window);
        QCOMPARE(window.pos(), QPoint(150, 150));
    }

    void disablingRecordsTheButtonsAndRestoresThemExactly()
    {
        QWidget parent;
        parent.resize(500, 400);
        StandardWindowButtons::setButtonEnabled(&parent, StandardWindowButton::miniaturize, false);
        const Qt::WindowFlags before = parent.windowFlags();

        disableStandardButtonState(&parent);
        const QVariantMap record = standardButtonEnableTemp(&parent);
        QCOMPARE(record,
            (QVariantMap { { "zoomButton", true }, { "closeButton", true }, { "miniaturizeButton", false },
                { "styleMask.resizable", true } }));
        QVERIFY(!StandardWindowButtons::isButtonEnabled(&parent, StandardWindowButton::close));
        QVERIFY(!(parent.windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(parent.minimumSize(), parent.maximumSize());

        // A second switch-off records the state the first one left.
        disableStandardButtonState(&parent);
        QCOMPARE(standardButtonEnableTemp(&parent),
            (QVariantMap { { "zoomButton", false }, { "closeButton", false }, { "miniaturizeButton", false } }));
        restoreDisableStandardButtonState(&parent);
        QVERIFY(!StandardWindowButtons::isButtonEnabled(&parent, StandardWindowButton::close));
        QVERIFY(standardButtonEnableTemp(&parent).isEmpty());
        QVERIFY(!parent.property("standardButtonEnableTemp").isValid());

        StandardWindowButtons::setButtonEnabled(&parent, StandardWindowButton::close, true);
        StandardWindowButtons::setButtonEnabled(&parent, StandardWindowButton::zoom, true);
        StandardWindowButtons::setStyleMask(
            &parent, StandardWindowButtons::styleMask(&parent) | WindowStyle::resizable);
        QCOMPARE(parent.windowFlags(), before);
        QVERIFY(parent.minimumSize() != parent.maximumSize());

        QWidget noMinimise;
        StandardWindowButtons::setStyleMask(&noMinimise, WindowStyle::titled | WindowStyle::closable);
        disableStandardButtonState(&noMinimise);
        QCOMPARE(
            standardButtonEnableTemp(&noMinimise), (QVariantMap { { "zoomButton", true }, { "closeButton", true } }));
    }

    void sheetIsModalAtTheTopCentreAndRestoresTheParent()
    {
        QWidget parent;
        parent.setWindowTitle(QStringLiteral("Host"));
        parent.setGeometry(100, 100, 600, 400);
        auto *behind = new QPushButton(QStringLiteral("Behind"), &parent);
        behind->setGeometry(10, 300, 120, 30);
        QSignalSpy behindClicks(behind, &QPushButton::clicked);
        parent.show();
        parent.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&parent));
        behind->setFocus();
        const Qt::WindowFlags flagsBefore = parent.windowFlags();
        const QSize minimumBefore = parent.minimumSize();
        const QSize maximumBefore = parent.maximumSize();

        auto *page = new ClosablePage;
        page->setAccessibleDescription(QStringLiteral("Replace the copy?"));
        QPointer<ClosablePage> guard = page;
        int completions = 0;
        present(&parent, page, false, WindowPresentStyle::sheet, std::nullopt, [&] { ++completions; });
        QCOMPARE(completions, 1);
        SheetWindow *sheet = sheetWindowOf(page);
        QVERIFY(sheet);
        QVERIFY(sheet->isVisible());
        QCOMPARE(sheet->style(), std::optional(WindowPresentStyle::sheet));
        QCOMPARE(sheetParent(sheet), &parent);
        // Part of the window, so it moves with it wherever the display server puts it.
        QVERIFY(!sheet->isWindow());
        QCOMPARE(sheet->window(), &parent);
        QCOMPARE(sheet->geometry(), QRect((600 - 260) / 2, 0, 260, 140));
        QVERIFY(!sheet->hasLocalMonitor());
        QCOMPARE(standardButtonEnableTemp(&parent).size(), 4);
        QVERIFY(!(parent.windowFlags() & Qt::WindowCloseButtonHint));
        saveComposite(&parent, sheet, QStringLiteral("sheetwindow-sheet"));

        // Modal to its window: focus moves in and Tab stays in, presses below are ignored.
        // (Switching the title-bar buttons off re-creates the window, which the
        // offscreen platform does not activate again by itself.)
        QApplication::setActiveWindow(&parent);
        auto *ok = page->findChild<QPushButton *>(QStringLiteral("ok"));
        QCOMPARE(QApplication::focusWidget(), ok);
        QTest::keyClick(ok, Qt::Key_Tab);
        QVERIFY(sheet->isAncestorOf(QApplication::focusWidget()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QVERIFY(sheet->isAncestorOf(QApplication::focusWidget()));
        QTest::mouseClick(parent.childAt(behind->geometry().center()), Qt::LeftButton, {},
            parent.childAt(behind->geometry().center())->mapFrom(&parent, behind->geometry().center()));
        QCOMPARE(behindClicks.count(), 0);

        // Heard as a modal dialog named after the window and described by the page.
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(sheet);
        QCOMPARE(accessible->role(), QAccessible::Dialog);
        QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("Host"));
        QCOMPARE(accessible->text(QAccessible::Description), QStringLiteral("Replace the copy?"));
        QVERIFY(accessible->state().modal);

        // The badge's button asks the page, which dismisses itself.
        QWidget *badge = sheet->closeView();
        QCOMPARE(badge->parentWidget(), page);
        QCOMPARE(badge->geometry(), QRect(8, 8, 14, 16));
        QTest::mouseClick(sheet->closeButton(), Qt::LeftButton);
        QCOMPARE(page->closeSenders, (QList<QAbstractButton *> { sheet->closeButton() }));
        QVERIFY(!sheet->isVisible());
        QCOMPARE(parent.windowFlags(), flagsBefore);
        QCOMPARE(parent.minimumSize(), minimumBefore);
        QCOMPARE(parent.maximumSize(), maximumBefore);
        QVERIFY(standardButtonEnableTemp(&parent).isEmpty());
        QVERIFY(parent.isVisible());
        QCOMPARE(parent.focusWidget(), behind);
        QTest::mouseClick(behind, Qt::LeftButton);
        QCOMPARE(behindClicks.count(), 1);

        // The window built for the page goes away with it once closed.
        QTRY_VERIFY(guard.isNull());
    }

    void popupZoomsInAndSwallowsPressesElsewhere()
    {
        QWidget parent;
        parent.setGeometry(200, 150, 640, 420);
        auto *parentButton = new QPushButton(QStringLiteral("Behind"), &parent);
        parentButton->setGeometry(10, 10, 120, 30);
        QSignalSpy parentClicks(parentButton, &QPushButton::clicked);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));

        auto *page = new ClosablePage;
        auto *popup = new SheetWindow(page);
        QPointer<SheetWindow> guard = popup;
        present(&parent, popup, true, WindowPresentStyle::popup);
        QVERIFY(QTest::qWaitForWindowExposed(popup));
        QCOMPARE(parentWindow(popup), &parent);
        QCOMPARE(popup->geometry(), QRect(200 + (640 - 260) / 2, 150 + (420 - 140) / 2, 260, 140));
        QVERIFY(popup->hasLocalMonitor());
        QVERIFY(standardButtonEnableTemp(&parent).isEmpty());

        // The zoom starts on the next turn and takes 0.2 s.
        const auto state = [page] {
            const QGraphicsEffect *effect = page->graphicsEffect();
            return effect ? QPointF(effect->property("opacity").toReal(), effect->property("scale").toReal())
                          : QPointF(-1, -1);
        };
        m_time.clock.runPending();
        QCOMPARE(state(), QPointF(0.7, 0.9));
        m_time.clock.advanceBy(100ms);
        const QPointF halfway = state();
        QVERIFY(halfway.x() > 0.7 && halfway.x() < 1.0);
        QVERIFY(halfway.y() > 0.9 && halfway.y() < 1.0);
        saveComposite(&parent, popup, QStringLiteral("sheetwindow-popup-opening"));
        m_time.clock.advanceBy(150ms);
        QCOMPARE(state(), QPointF(1.0, 1.0));
        saveComposite(&parent, popup, QStringLiteral("sheetwindow-popup"));

        QTest::mouseClick(parent.windowHandle(), Qt::LeftButton, {}, QPoint(50, 25));
        QCOMPARE(parentClicks.size(), 0);
        auto *ok = page->findChild<QPushButton *>(QStringLiteral("ok"));
        QSignalSpy okClicks(ok, &QPushButton::clicked);
        QTest::mouseClick(popup->windowHandle(), Qt::LeftButton, {}, ok->geometry().center());
        QCOMPARE(okClicks.size(), 1);

        // It follows the parent's size.
        parent.resize(800, 500);
        QCOMPARE(popup->geometry().topLeft(), QPoint(200 + (800 - 260) / 2, 150 + (500 - 140) / 2));

        delete popup;
        QVERIFY(guard.isNull());
        QTest::mouseClick(parent.windowHandle(), Qt::LeftButton, {}, QPoint(50, 25));
        QCOMPARE(parentClicks.size(), 1);
    }

    void popupClosesAfterItsZoomOutAndStopsSwallowing()
    {
        QWidget parent;
        parent.setGeometry(0, 0, 500, 400);
        auto *parentButton = new QPushButton(QStringLiteral("Behind"), &parent);
        parentButton->setGeometry(10, 10, 120, 30);
        QSignalSpy parentClicks(parentButton, &QPushButton::clicked);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));

        SheetWindow popup(makePlainPage());
        present(&parent, &popup, false, WindowPresentStyle::popup);
        m_time.clock.advanceBy(1s);
        int completions = 0;
        dismiss(&popup, [&] { ++completions; });
        // The parent's buttons come back at once; the window goes after 0.2 s.
        QVERIFY(standardButtonEnableTemp(&parent).isEmpty());
        QVERIFY(popup.isVisible());
        m_time.clock.advanceBy(100ms);
        QCOMPARE(completions, 0);
        m_time.clock.advanceBy(150ms);
        QCOMPARE(completions, 1);
        QVERIFY(!popup.isVisible());
        QCOMPARE(parentWindow(&popup), nullptr);

        // A closed window that is still around no longer holds presses back.
        QTest::mouseClick(parent.windowHandle(), Qt::LeftButton, {}, QPoint(50, 25));
        QCOMPARE(parentClicks.size(), 1);
    }

    void centerWindowClosesWithItsParent()
    {
        auto *parent = new QWidget;
        parent->setGeometry(0, 0, 500, 400);
        parent->show();
        QVERIFY(QTest::qWaitForWindowExposed(parent));
        auto *page = makePlainPage();
        present(parent, page, false, WindowPresentStyle::center, std::nullopt);
        QPointer<QWidget> window = page->window();
        QVERIFY(window->isVisible());
        QCOMPARE(window->geometry(), QRect(150, 140, 200, 120));
        saveComposite(parent, window, QStringLiteral("sheetwindow-center"));

        parent->close();
        QVERIFY(!parent->isVisible());
        QTRY_VERIFY(window.isNull());
        delete parent;
    }

    void criticalSheetGoesAheadOfOtherSheets()
    {
        QWidget parent;
        parent.setGeometry(50, 50, 600, 400);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        SheetWindow first(makePlainPage());
        SheetWindow critical(new ClosablePage);
        present(&parent, &first, true, WindowPresentStyle::sheet);
        present(&parent, &critical, true, WindowPresentStyle::criticalSheet);
        QCOMPARE(sheetParent(&critical), &parent);
        QCOMPARE(critical.y(), 0);
        parent.resize(800, 500);
        QCOMPARE(critical.x(), (800 - critical.width()) / 2);
        saveComposite(&parent, &critical, QStringLiteral("sheetwindow-criticalsheet"));
        // A sheet that comes later stays behind the critical one; Escape closes either.
        SheetWindow later(makePlainPage());
        present(&parent, &later, true, WindowPresentStyle::sheet);
        const QPoint overlap = critical.geometry().center();
        QCOMPARE(parent.childAt(overlap)->window(), &parent);
        QVERIFY(critical.isAncestorOf(parent.childAt(overlap)) || parent.childAt(overlap) == &critical);
        QTest::keyClick(&critical, Qt::Key_Escape);
        QVERIFY(!critical.isVisible());
        QTest::keyClick(&later, Qt::Key_Escape);
        QVERIFY(!later.isVisible());
        QVERIFY(first.isVisible());
    }

    void windowTakesThePagesNaturalSize()
    {
        QWidget *designed = makeDesignedPage();
        QVERIFY(designed->testAttribute(Qt::WA_Resized));
        SheetWindow natural(designed);
        QCOMPARE(natural.size(), QSize(200, 110));

        QWidget *atLeast = makeDesignedPage();
        atLeast->setMinimumSize(260, 100);
        SheetWindow minimum(atLeast);
        QCOMPARE(minimum.size(), QSize(260, 110));

        QWidget *fixed = makeDesignedPage();
        fixed->setFixedSize(320, 240);
        SheetWindow fixedWindow(fixed);
        QCOMPARE(fixedWindow.size(), QSize(320, 240));

        // A page without a layout has no hint and keeps the size it was given.
        SheetWindow plain(makePlainPage());
        QCOMPARE(plain.size(), QSize(200, 120));
    }

    void badgeFollowsTheControllersWishes()
    {
        QWidget parent;
        SheetWindow withoutBadge(new ClosablePage(false));
        QVERIFY(!withoutBadge.hasCloseView());

        auto *offsetPage = new ClosablePage(true, QPointF(5, 0));
        SheetWindow offset(offsetPage);
        QCOMPARE(offset.closeView()->geometry(), QRect(8, 13, 14, 16));

        // A right-to-left page has its badge top-right; the offset's y moves it left.
        auto *mirroredPage = new ClosablePage(true, QPointF(5, 3));
        mirroredPage->setLayoutDirection(Qt::RightToLeft);
        SheetWindow mirrored(mirroredPage);
        QCOMPARE(mirroredPage->width(), 260);
        QCOMPARE(mirrored.closeView()->geometry(), QRect(260 - 3 - 8 - 14, 13, 14, 16));
        mirroredPage->setLayoutDirection(Qt::LeftToRight);
        QCOMPARE(mirrored.closeView()->geometry(), QRect(3 + 8, 13, 14, 16));

        // Without the badge the close path closes the window directly.
        parent.setGeometry(0, 0, 400, 300);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        present(&parent, &withoutBadge, false, WindowPresentStyle::center);
        QVERIFY(withoutBadge.isVisible());
        withoutBadge.closeAction();
        QVERIFY(!withoutBadge.isVisible());
        QVERIFY(standardButtonEnableTemp(&parent).isEmpty());
    }

    void badgeHighlightsWhileThePointerIsOverIt()
    {
        QWidget parent;
        parent.setGeometry(0, 0, 500, 400);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        SheetWindow sheet(new ClosablePage);
        present(&parent, &sheet, true, WindowPresentStyle::center);
        QVERIFY(QTest::qWaitForWindowExposed(&sheet));
        SheetCloseButton *button = sheet.closeButton();
        QTest::mouseMove(sheet.windowHandle(), QPoint(100, 100));
        QVERIFY(!button->isHighlighted());
        QTest::mouseMove(sheet.windowHandle(), QPoint(14, 14));
        QVERIFY(button->isHighlighted());
        saveComposite(&parent, &sheet, QStringLiteral("sheetwindow-badge-hovered"));
        button->setAlphaValue(0.4);
        QTest::mouseMove(sheet.windowHandle(), QPoint(100, 100));
        QVERIFY(!button->isHighlighted());
        QCOMPARE(button->alphaValue(), 1.0);
    }

    void nothingHappensWithoutAWindowOrAPresentation()
    {
        // A window not shown yet is still a window: the sheet waits for it.
        QWidget hidden;
        QPointer<QWidget> page = makePlainPage();
        int completions = 0;
        present(&hidden, page, false, WindowPresentStyle::sheet, std::nullopt, [&] { ++completions; });
        QCOMPARE(completions, 1);
        QCOMPARE(attachedSheets(&hidden).size(), 1);
        completions = 0;

        // The page was handed over, so it is not left behind.
        QPointer<QWidget> orphan = makePlainPage();
        present(nullptr, orphan, false, WindowPresentStyle::sheet, std::nullopt, [&] { ++completions; });
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(orphan.isNull());
        QCOMPARE(completions, 0);

        SheetWindow never(makePlainPage());
        never.closeWindow([&] { ++completions; });
        QCOMPARE(completions, 0);
    }
};

int main(int argc, char **argv)
{
    // A 1440 × 900 screen without window frames, so that positions are exact.
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screens.json"));
    QFile file(config);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(R"({"windowFrameMargins": false,
            "screens": [{"name": "main", "x": 0, "y": 0, "width": 1440, "height": 900,
                         "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        file.close();
    }
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    QApplication app(argc, argv);
    SheetWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_sheetwindow.moc"
