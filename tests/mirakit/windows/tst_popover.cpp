#include "PopoverGalleryPage.h"
#include "VirtualTime.h"

#include <mirakit/windows/PopoverPresentation.h>
#include <mirakit/windows/PopoverViewController.h>
#include <mirakit/windows/PopoverWindow.h>

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QGraphicsEffect>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWindow>

#include <cmath>
#include <limits>

using namespace mira;
using namespace std::chrono_literals;

using D = WindowPopoverDirection;
using A = PopoverDirectionAlignment;
using S = WindowPopoverStyle;

Q_DECLARE_METATYPE(WindowPopoverDirection)
Q_DECLARE_METATYPE(PopoverDirectionAlignment)
Q_DECLARE_METATYPE(WindowPopoverStyle)

namespace {

// A page of a fixed 200 × 100 with one button that takes focus.
QWidget *makePage(const QString &title = QString())
{
    auto *page = new QWidget;
    page->setFixedSize(200, 100);
    page->setWindowTitle(title);
    auto *button = new QPushButton(QStringLiteral("OK"), page);
    button->setObjectName(QStringLiteral("ok"));
    button->setGeometry(100, 60, 80, 30);
    return page;
}

PopoverConfiger configer(D direction, QPointF offset = {}, A alignment = A::center)
{
    PopoverConfiger configer;
    configer.indicatorDirection = direction;
    configer.indicatorAlignment = alignment;
    configer.indicatorOffset = offset;
    return configer;
}

// The window, one frameless full-screen host (so that screen and window
// coordinates agree), with a source at a given place and a button behind any
// popover, to see whether presses reach it.
struct Desk {
    QWidget host { nullptr, Qt::FramelessWindowHint };
    QWidget *source = new QWidget(&host);
    QPushButton *behind = new QPushButton(QStringLiteral("Behind"), &host);

    explicit Desk(QRect sourceRect = QRect(600, 400, 100, 40))
    {
        host.setGeometry(0, 0, 1440, 900);
        source->setGeometry(sourceRect);
        behind->setGeometry(10, 10, 120, 30);
        host.show();
        QApplication::setActiveWindow(&host);
    }
    void pressBehind() { QTest::mouseClick(host.windowHandle(), Qt::LeftButton, {}, behind->geometry().center()); }
};

struct PressCountingWindow : QWindow {
    int presses = 0;
    void mousePressEvent(QMouseEvent *) override { ++presses; }
};

QPointF effectState(QWidget *widget)
{
    const QGraphicsEffect *effect = widget->graphicsEffect();
    return effect ? QPointF(effect->property("opacity").toReal(), effect->property("scale").toReal()) : QPointF(-1, -1);
}

void saveComposite(QWidget *parent, QWidget *window, const QString &name)
{
    const QString dir = qEnvironmentVariable("SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    QPixmap canvas = parent->grab();
    QPainter painter(&canvas);
    painter.drawPixmap(window->geometry().topLeft() - parent->geometry().topLeft(), window->grab());
    painter.end();
    canvas.save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace

class PopoverTest : public QObject {
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

    void windowFrame_data()
    {
        QTest::addColumn<QRect>("source");
        QTest::addColumn<bool>("configured");
        QTest::addColumn<D>("direction");
        QTest::addColumn<A>("alignment");
        QTest::addColumn<QPointF>("offset");
        QTest::addColumn<bool>("autoDirection");
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<D>("used");

        const QRect mid(600, 400, 100, 40);
        // A 200 × 100 page is 200 × 126 above or below its source and 226 × 100 beside it.
        QTest::newRow("top: below the source")
            << mid << true << D::top << A::center << QPointF() << true << QRect(550, 440, 200, 126) << D::top;
        QTest::newRow("bottom: above the source")
            << mid << true << D::bottom << A::center << QPointF() << true << QRect(550, 274, 200, 126) << D::bottom;
        QTest::newRow("left: right of the source")
            << mid << true << D::left << A::center << QPointF() << true << QRect(700, 370, 226, 100) << D::left;
        QTest::newRow("right: left of the source")
            << mid << true << D::right << A::center << QPointF() << true << QRect(374, 370, 226, 100) << D::right;
        QTest::newRow("leading") << mid << true << D::bottom << A::leading << QPointF() << true
                                 << QRect(600, 274, 200, 126) << D::bottom;
        QTest::newRow("trailing") << mid << true << D::bottom << A::trailing << QPointF() << true
                                  << QRect(500, 274, 200, 126) << D::bottom;
        // The body moves against the offset, so that the moved indicator still points at the source.
        QTest::newRow("offset above") << mid << true << D::bottom << A::center << QPointF(30, 30) << true
                                      << QRect(520, 274, 200, 126) << D::bottom;
        QTest::newRow("offset beside") << mid << true << D::left << A::center << QPointF(30, 30) << true
                                       << QRect(700, 400, 226, 100) << D::left;
        // Without a configer: indicator on top, no offset.
        QTest::newRow("no configer") << mid << false << D::bottom << A::center << QPointF(30, 30) << true
                                     << QRect(550, 440, 200, 126) << D::top;

        // Near the edges of the 1440 × 900 screen.
        QTest::newRow("bottom at the top edge flips below") << QRect(600, 20, 100, 40) << true << D::bottom << A::center
                                                            << QPointF() << true << QRect(550, 60, 200, 126) << D::top;
        QTest::newRow("bottom at the top edge without auto")
            << QRect(600, 20, 100, 40) << true << D::bottom << A::center << QPointF() << false
            << QRect(550, -106, 200, 126) << D::bottom;
        QTest::newRow("bottom at the bottom edge stays") << QRect(600, 850, 100, 40) << true << D::bottom << A::center
                                                         << QPointF() << true << QRect(550, 724, 200, 126) << D::bottom;
        QTest::newRow("top never flips") << QRect(600, 850, 100, 40) << true << D::top << A::center << QPointF() << true
                                         << QRect(550, 890, 200, 126) << D::top;
        QTest::newRow("left at the right edge flips") << QRect(1300, 400, 100, 40) << true << D::left << A::center
                                                      << QPointF() << true << QRect(1074, 370, 226, 100) << D::right;
        QTest::newRow("right at the left edge flips") << QRect(50, 400, 100, 40) << true << D::right << A::center
                                                      << QPointF() << true << QRect(150, 370, 226, 100) << D::left;
        // The opposite side is taken without checking it again.
        QTest::newRow("bottom at the left edge flips unchecked")
            << QRect(0, 400, 100, 40) << true << D::bottom << A::center << QPointF() << true
            << QRect(-50, 440, 200, 126) << D::top;
    }

    void windowFrame()
    {
        QFETCH(QRect, source);
        QFETCH(bool, configured);
        QFETCH(D, direction);
        QFETCH(A, alignment);
        QFETCH(QPointF, offset);
        QFETCH(bool, autoDirection);
        QFETCH(QRect, frame);
        QFETCH(D, used);

        Desk desk(source);
        PopoverConfiger settings = configer(direction, offset, alignment);
        settings.autoIndicatorDirection = autoDirection;
        PopoverViewController controller(makePage(), desk.source, configured ? std::optional(settings) : std::nullopt);
        QCOMPARE(controller.sourceFrameInWindow(), source);
        QCOMPARE(controller.calculateWindowFrame(), frame);
        QCOMPARE(controller.direction(), used);
    }

    // Leading and trailing follow the source's reading direction.
    void leadingFollowsTheReadingDirection_data()
    {
        QTest::addColumn<A>("alignment");
        QTest::addColumn<int>("x");

        QTest::newRow("leading") << A::leading << 500;
        QTest::newRow("trailing") << A::trailing << 600;
    }

    void leadingFollowsTheReadingDirection()
    {
        QFETCH(A, alignment);
        QFETCH(int, x);

        Desk desk;
        desk.source->setLayoutDirection(Qt::RightToLeft);
        PopoverViewController controller(makePage(), desk.source, configer(D::top, {}, alignment));
        QCOMPARE(controller.calculateWindowFrame().x(), x);
    }

    void worstConfigerValuesKeepTheWindowSane_data()
    {
        QTest::addColumn<qreal>("spacing");
        QTest::addColumn<qreal>("indicatorHeight");
        QTest::addColumn<QPointF>("offset");
        QTest::addColumn<QMarginsF>("insets");
        QTest::addColumn<QRect>("frame");

        const qreal nan = std::nan("");
        const qreal inf = std::numeric_limits<qreal>::infinity();
        QTest::newRow("negative") << -50.0 << -8.0 << QPointF(-20, 0) << QMarginsF(-10, -10, -10, -10)
                                  << QRect(570, 440, 200, 100);
        QTest::newRow("not a number") << nan << nan << QPointF(nan, nan) << QMarginsF(nan, 0, 0, 0)
                                      << QRect(550, 440, 200, 100);
        QTest::newRow("infinite") << inf << 8.0 << QPointF(inf, -inf) << QMarginsF() << QRect(550, 440, 200, 116);
        QTest::newRow("huge offset") << 10.0 << 8.0 << QPointF(1e300, 0) << QMarginsF()
                                     << QRect(550 - QWIDGETSIZE_MAX, 440, 200, 126);
    }

    void worstConfigerValuesKeepTheWindowSane()
    {
        QFETCH(qreal, spacing);
        QFETCH(qreal, indicatorHeight);
        QFETCH(QPointF, offset);
        QFETCH(QMarginsF, insets);
        QFETCH(QRect, frame);

        Desk desk;
        PopoverConfiger settings = configer(D::top, offset);
        settings.spacing = spacing;
        settings.indicatorHeight = indicatorHeight;
        settings.contentEdgeInsets = insets;
        settings.cornerRadius = 1e6;
        PopoverWindow *window = popover(&desk.host, makePage(), desk.source, S::none, settings, [] {});
        QVERIFY(window);
        QCOMPARE(window->geometry(), frame);
        QVERIFY(!window->grab().isNull());
    }

    void bodyAndIndicatorAreOnePath_data()
    {
        QTest::addColumn<D>("direction");
        QTest::addColumn<QPointF>("offset");
        QTest::addColumn<QPointF>("tip");
        QTest::addColumn<QPointF>("besideTip");

        // Bounds 0,0 200 × 120, indicator 10 wide and 8 high.
        QTest::newRow("top") << D::top << QPointF() << QPointF(100, 2) << QPointF(80, 2);
        QTest::newRow("top moved right") << D::top << QPointF(40, 0) << QPointF(140, 2) << QPointF(100, 2);
        QTest::newRow("bottom") << D::bottom << QPointF() << QPointF(100, 118) << QPointF(80, 118);
        QTest::newRow("left") << D::left << QPointF() << QPointF(2, 60) << QPointF(2, 40);
        // Upwards on the side, as the body moves down by the same amount.
        QTest::newRow("left moved up") << D::left << QPointF(0, 30) << QPointF(2, 30) << QPointF(2, 60);
        QTest::newRow("right") << D::right << QPointF() << QPointF(198, 60) << QPointF(198, 40);
        // An offset past the corner keeps the indicator on the straight part of the side.
        QTest::newRow("far offset") << D::top << QPointF(1000, 0) << QPointF(185, 7) << QPointF(198, 7);
    }

    void bodyAndIndicatorAreOnePath()
    {
        QFETCH(D, direction);
        QFETCH(QPointF, offset);
        QFETCH(QPointF, tip);
        QFETCH(QPointF, besideTip);

        const QPainterPath path = PopoverViewController::bodyPath(QRectF(0, 0, 200, 120), direction, 10, 8, 10, offset);
        QCOMPARE(path.toFillPolygons().size(), 1);
        QVERIFY(path.contains(tip));
        QVERIFY(!path.contains(besideTip));
        QVERIFY(path.contains(QPointF(100, 60)));
        // Rounded corners leave the corner out.
        QVERIFY(!path.contains(QPointF(199.5, 119.5)));
    }

    // What is painted is the body with its indicator; the rest of the window stays clear.
    void paintsBodyAndIndicatorOnly()
    {
        Desk desk;
        PopoverWindow *window = popover(&desk.host, new QWidget, desk.source, S::none, configer(D::top));
        window->resize(200, 126);
        const QImage image = window->grab().toImage();
        const auto alpha = [&image](int x, int y) { return image.pixelColor(x, y).alpha(); };
        // Spacing 10 above the indicator, whose tip is at (100, 10) and base at y 18.
        QCOMPARE(alpha(100, 5), 0);
        QCOMPARE(alpha(100, 15), 255);
        QCOMPARE(alpha(90, 15), 0);
        QCOMPARE(alpha(100, 70), 255);
        // Rounded corners.
        QCOMPARE(alpha(0, 18), 0);
        QCOMPARE(alpha(199, 125), 0);
        QCOMPARE(image.pixelColor(100, 70), window->palette().color(QPalette::Base));
    }

    // A background of the caller's is cut to the same shape.
    void ownBackgroundIsCutToTheBody()
    {
        Desk desk;
        auto *background = new QWidget;
        PopoverConfiger settings = configer(D::bottom);
        settings.backgroundView = background;
        popover(&desk.host, makePage(), desk.source, S::none, settings);
        QCOMPARE(background->geometry(), QRect(0, 0, 200, 116));
        const QRegion mask = background->mask();
        QVERIFY(mask.contains(QPoint(100, 50)));
        QVERIFY(mask.contains(QPoint(100, 113)));
        QVERIFY(!mask.contains(QPoint(80, 113)));
        QVERIFY(!mask.contains(QPoint(0, 0)));
    }

    void opensWithItsZoom_data()
    {
        QTest::addColumn<S>("style");
        QTest::addColumn<qreal>("scale");
        QTest::addColumn<bool>("monitor");

        QTest::newRow("none") << S::none << -1.0 << false;
        QTest::newRow("popup") << S::popup << 0.9 << true;
        QTest::newRow("popover") << S::popover << 0.8 << true;
    }

    void opensWithItsZoom()
    {
        QFETCH(S, style);
        QFETCH(qreal, scale);
        QFETCH(bool, monitor);

        Desk desk;
        int completions = 0;
        PopoverWindow *window
            = popover(&desk.host, makePage(), desk.source, style, configer(D::top), [&completions] { ++completions; });
        QCOMPARE(completions, 1);
        QCOMPARE(window->parentWidget(), &desk.host);
        QCOMPARE(window->hasLocalMonitor(), monitor);
        QCOMPARE(window->testAttribute(Qt::WA_QuitOnClose), false);
        QWidget *controller = window->contentViewController();
        m_time.clock.runPending();
        QCOMPARE(effectState(controller).y(), scale);
        m_time.clock.advanceBy(250ms);
        if (monitor)
            QCOMPARE(effectState(controller), QPointF(1, 1));
    }

    // Every style closes, the completion runs once the window is gone, and a
    // second dismissal does no harm.
    void dismissClosesEveryStyleOnce_data()
    {
        QTest::addColumn<S>("style");
        QTest::addColumn<bool>("animated");

        QTest::newRow("none") << S::none << false;
        QTest::newRow("popup") << S::popup << true;
        QTest::newRow("popover") << S::popover << true;
    }

    void dismissClosesEveryStyleOnce()
    {
        QFETCH(S, style);
        QFETCH(bool, animated);

        Desk desk;
        PopoverWindow window(new PopoverViewController(makePage(), desk.source, configer(D::top)));
        QSignalSpy closed(&window, &PopoverWindow::closed);
        popover(&desk.host, &window, style);
        m_time.clock.advanceBy(1s);
        int completions = 0;
        dismissPopover(window.contentViewController(), [&completions] { ++completions; });
        dismissPopover(&window, [&completions] { ++completions; });
        QCOMPARE(window.isVisible(), animated);
        m_time.clock.advanceBy(1s);
        QVERIFY(!window.isVisible());
        QCOMPARE(completions, 2);
        QCOMPARE(closed.size(), 1);
        QVERIFY(!window.hasLocalMonitor());

        dismissPopover(&window, [&completions] { ++completions; });
        m_time.clock.advanceBy(1s);
        QCOMPARE(completions, 3);
        QCOMPARE(closed.size(), 1);
    }

    void outsidePress_data()
    {
        QTest::addColumn<S>("style");
        QTest::addColumn<bool>("autoHidden");
        QTest::addColumn<bool>("reachesBehind");
        QTest::addColumn<bool>("closes");

        QTest::newRow("popover, auto-hidden") << S::popover << true << false << true;
        QTest::newRow("popup, auto-hidden") << S::popup << true << false << true;
        QTest::newRow("popover, kept") << S::popover << false << false << false;
        QTest::newRow("none lets presses through") << S::none << true << true << false;
    }

    void outsidePress()
    {
        QFETCH(S, style);
        QFETCH(bool, autoHidden);
        QFETCH(bool, reachesBehind);
        QFETCH(bool, closes);

        Desk desk;
        QSignalSpy behindClicks(desk.behind, &QPushButton::clicked);
        PopoverConfiger settings = configer(D::top);
        settings.autoHidden = autoHidden;
        QPointer<PopoverWindow> window = popover(&desk.host, makePage(), desk.source, style, settings);
        QSignalSpy closed(window.data(), &PopoverWindow::closed);
        m_time.clock.advanceBy(1s);

        desk.pressBehind();
        // A second press while it zooms out changes nothing.
        desk.pressBehind();
        m_time.clock.advanceBy(1s);
        QCOMPARE(behindClicks.size(), reachesBehind ? 2 : 0);
        QCOMPARE(closed.size(), closes ? 1 : 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(window.isNull(), closes);

        if (!closes) {
            // Presses inside pass.
            auto *ok = window->findChild<QPushButton *>(QStringLiteral("ok"));
            QSignalSpy okClicks(ok, &QPushButton::clicked);
            QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, ok->mapTo(window, ok->rect().center()));
            QCOMPARE(okClicks.size(), 1);
        }
    }

    // A window opened from inside the popover (a menu, a list) is part of it.
    void pressesInAWindowOpenedFromThePopoverPass()
    {
        Desk desk;
        PopoverWindow *window = popover(&desk.host, makePage(), desk.source, S::popover, configer(D::top));
        auto *list = new QPushButton(QStringLiteral("Item"), window->findChild<QPushButton *>());
        list->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
        list->setGeometry(100, 700, 80, 30);
        list->show();
        QSignalSpy itemClicks(list, &QPushButton::clicked);
        QTest::mouseClick(list->windowHandle(), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(itemClicks.size(), 1);
        QVERIFY(window->isPresented());
    }

    // Two windows that are each other's transient parent do not hang the press check.
    void pressesInWindowsWithACycleOfParentsAreHeldBack()
    {
        Desk desk;
        popover(&desk.host, makePage(), desk.source, S::popover, configer(D::top));
        PressCountingWindow first;
        QWindow second;
        first.setTransientParent(&second);
        second.setTransientParent(&first);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&first, &press);
        QCOMPARE(first.presses, 0);
        first.setTransientParent(nullptr);
    }

    void escapeClosesAndFocusGoesBack()
    {
        Desk desk;
        auto *edit = new QLineEdit(&desk.host);
        edit->show();
        edit->setFocus();
        QCOMPARE(QApplication::focusWidget(), edit);

        int completions = 0;
        QPointer<PopoverWindow> window = popover(&desk.host, makePage(QStringLiteral("Details")), desk.source,
            S::popover, configer(D::top), [&completions] { ++completions; });
        QSignalSpy closed(window.data(), &PopoverWindow::closed);
        QApplication::setActiveWindow(window);
        auto *ok = window->findChild<QPushButton *>(QStringLiteral("ok"));
        QCOMPARE(window->focusWidget(), ok);

        QTest::keyClick(ok, Qt::Key_Escape);
        QTest::keyClick(ok, Qt::Key_Escape);
        m_time.clock.advanceBy(1s);
        QCOMPARE(closed.size(), 1);
        QCOMPARE(completions, 1);
        // Activation is a window-system round trip.
        QTRY_COMPARE(QApplication::focusWidget(), edit);
    }

    // Named after the page's title, else after its accessible name.
    void assistiveTechnologyMeetsANamedWindow()
    {
        Desk desk;
        QWidget *page = makePage(QStringLiteral("Details"));
        page->setAccessibleName(QStringLiteral("Other"));
        PopoverWindow *window = popover(&desk.host, page, desk.source, S::none, configer(D::top));
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(window);
        QCOMPARE(face->role(), QAccessible::Window);
        QCOMPARE(face->text(QAccessible::Name), QStringLiteral("Details"));
        page->setWindowTitle(QString());
        QCOMPARE(face->text(QAccessible::Name), QStringLiteral("Other"));
    }

    void deletingTheSourceWhileShownIsHarmless()
    {
        Desk desk;
        QPointer<PopoverWindow> window = popover(&desk.host, makePage(), desk.source, S::popover, configer(D::left));
        auto *controller = qobject_cast<PopoverViewController *>(window->contentViewController());
        delete desk.source;
        QCOMPARE(controller->sourceView(), nullptr);
        QVERIFY(controller->calculateWindowFrame().isEmpty());
        QVERIFY(!window->grab().isNull());
        dismissPopover(window);
        m_time.clock.advanceBy(1s);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window.isNull());
    }

    void deletingTheWindowBelowWhileShownIsHarmless()
    {
        auto *host = new QWidget;
        auto *edit = new QLineEdit(host);
        host->show();
        QApplication::setActiveWindow(host);
        edit->setFocus();
        int closings = 0;
        QPointer<PopoverWindow> window = popover(host, makePage(), edit, S::popup, configer(D::top));
        connect(window, &PopoverWindow::closed, this, [&closings] { ++closings; });
        m_time.clock.advanceBy(100ms);
        delete host;
        QVERIFY(window.isNull());
        m_time.clock.advanceBy(1s);
        // Going with the window below is no closing.
        QCOMPARE(closings, 0);
    }

    void withoutASourceItIsCentredOnTheWindow()
    {
        Desk desk;
        PopoverWindow *window = popover(&desk.host, makePage(), nullptr, S::none, configer(D::top));
        QCOMPARE(window->geometry(), QRect((1440 - 200) / 2, (900 - 126) / 2, 200, 126));
    }

    void nothingIsShownOverAHiddenWindow()
    {
        QWidget hidden;
        QPointer<QWidget> page = makePage();
        int completions = 0;
        QCOMPARE(popover(&hidden, page, nullptr, S::popup, {}, [&completions] { ++completions; }), nullptr);
        QCOMPARE(popover(nullptr, nullptr, nullptr, S::popup), nullptr);
        dismissPopover(nullptr, [&completions] { ++completions; });
        QCOMPARE(completions, 0);

        // A page holding the receiver, or being its window, stays where it is.
        Desk desk;
        QCOMPARE(popover(desk.source, desk.source, desk.behind, S::popup), nullptr);
        QCOMPARE(popover(desk.source, &desk.host, desk.behind, S::popup), nullptr);
        QCOMPARE(desk.source->parentWidget(), &desk.host);
        QVERIFY(desk.host.isWindow());
        PopoverWindow window(makePage());
        popover(window.contentViewController(), &window, S::popup);
        QVERIFY(!window.isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(page.isNull());
    }

    void galleryOpensAPopover()
    {
        std::unique_ptr<QWidget> page(gallery::createPopoverPage());
        page->setGeometry(100, 100, 560, 330);
        page->show();
        QApplication::setActiveWindow(page.get());
        auto *opener = page->findChild<QPushButton *>(QStringLiteral("top center"));
        QVERIFY(opener);
        QTest::mouseClick(opener, Qt::LeftButton);
        m_time.clock.advanceBy(1s);
        auto *window = page->findChild<PopoverWindow *>();
        QVERIFY(window && window->isVisible());
        const QRect source(opener->mapToGlobal(QPoint(0, 0)), opener->size());
        QCOMPARE(window->geometry().top(), source.bottom() + 1);
        saveComposite(page.get(), window, QStringLiteral("mirakit-popover"));
    }
};

QTEST_MAIN(PopoverTest)
#include "tst_popover.moc"
