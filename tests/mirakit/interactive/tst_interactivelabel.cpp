#include "PointerInput.h"

#include <mirakit/interactive/InteractiveLabel.h>
#include <mirakit/interactive/MouseTrackingView.h>
#include <platform/ManualScheduler.h>

#include <QAccessible>
#include <QApplication>
#include <QFontDatabase>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

using namespace mira;
using namespace std::chrono_literals;
using S = Interactive::State;
using E = Interactive::Event;

namespace {

const QString sentence = QStringLiteral("Read the terms of use and the privacy notice.");

TextRange rangeOf(const QString &text, const QString &words)
{
    return TextRange { text.indexOf(words), words.size() };
}

QTextCharFormat colored(QColor color, bool underline = false)
{
    QTextCharFormat format;
    format.setForeground(color);
    format.setFontUnderline(underline);
    return format;
}

QColor colorAt(const InteractiveLabel &label, qint64 position)
{
    return label.attributedStringValue().formatAt(int(position)).foreground().color();
}

// Pointer motion as the window system delivers it to a tracking widget.
void moveTo(QWidget *widget, QPointF local)
{
    const QPointF global = widget->mapToGlobal(local);
    pointer::restingPosition() = global.toPoint();
    QMouseEvent event(QEvent::MouseMove, local, global, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

int inkColumns(const QImage &image, int from, int to, QColor background)
{
    int columns = 0;
    for (int x = from; x < to; ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixelColor(x, y) != background) {
                ++columns;
                break;
            }
        }
    }
    return columns;
}

} // namespace

class InteractiveLabelTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<pointer::ParkedPointer> m_pointer;
    std::unique_ptr<platform::ManualScheduler> m_scheduler;
    std::unique_ptr<QWidget> m_window;
    InteractiveLabel *m_label = nullptr;
    TextRange m_terms;
    TextRange m_privacy;

    QPointF centreOf(const TextRange &range) const
    {
        for (const auto &item : m_label->items()) {
            if (item->range() == range && !item->rects().isEmpty())
                return item->rects().first().center();
        }
        return QPointF(-1, -1);
    }
    std::shared_ptr<InteractiveLabel::InteractiveItem> itemOf(const TextRange &range) const
    {
        for (const auto &item : m_label->items()) {
            if (item->range() == range)
                return item;
        }
        return nullptr;
    }
    void makeLink(const TextRange &range)
    {
        m_label->setAttributes(colored(QColor(0x2D7DD2), true), range, S::normal);
        m_label->setAttributes(colored(QColor(0x2FB782), true), range, S::hovered);
        m_label->setAttributes(colored(QColor(0xD23C2D), true), range, S::clicked | S::hovered);
    }
    // Where the text has no link: over "Read".
    QPointF plainPoint() const { return QPointF(6, centreOf(m_terms).y()); }

private Q_SLOTS:
    void init()
    {
        m_pointer = std::make_unique<pointer::ParkedPointer>();
        m_scheduler = std::make_unique<platform::ManualScheduler>();
        platform::Scheduler::setShared(m_scheduler.get());
        m_window = std::make_unique<QWidget>();
        m_window->resize(420, 160);
        m_window->setAutoFillBackground(true);
        m_window->setPalette(QPalette(Qt::white));
        m_label = new InteractiveLabel(m_window.get());
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(14);
        m_label->setFont(font);
        m_label->setTextColor(QColor(0x342929));
        m_label->setStringValue(sentence);
        m_label->setGeometry(20, 20, 380, 40);
        m_terms = rangeOf(sentence, QStringLiteral("terms of use"));
        m_privacy = rangeOf(sentence, QStringLiteral("privacy notice"));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_scheduler->advanceBy(1s);
    }
    void cleanup()
    {
        m_window.reset();
        platform::Scheduler::setShared(nullptr);
        m_scheduler.reset();
        m_pointer.reset();
    }

    void itemsAreFoundByExactRange()
    {
        m_label->setAttributes(colored(Qt::blue), m_terms, S::normal);
        m_label->setCursor(Qt::PointingHandCursor, m_terms, S::normal);
        QCOMPARE(m_label->items().size(), 1);
        // Same location, other length: a second item.
        m_label->setAttributes(colored(Qt::red), TextRange { m_terms.location, 5 }, S::normal);
        QCOMPARE(m_label->items().size(), 2);
        QVERIFY(!(*m_label->items().at(0) == *m_label->items().at(1)));
        // Giving no attributes still creates the item but styles nothing.
        m_label->setAttributes(std::nullopt, m_privacy, S::normal);
        QCOMPARE(m_label->items().size(), 3);
        QCOMPARE(colorAt(*m_label, m_privacy.location), QColor(0x342929));
    }

    void laterItemsWinAndRangesPastTheEndAreNeverStyled()
    {
        const TextRange first { 0, 8 }; // "Read the"
        const TextRange overlap { 5, 9 }; // "the terms"
        m_label->setAttributes(colored(Qt::blue), first, S::normal);
        m_label->setAttributes(colored(Qt::red), overlap, S::normal);
        m_label->setAttributes(colored(Qt::green), TextRange { sentence.size() - 3, 10 }, S::normal);
        m_label->setAttributes(colored(Qt::green), TextRange { -1, 3 }, S::normal);
        m_label->setAttributes(colored(Qt::magenta), m_privacy, S::normal);

        const AttributedText shown = m_label->attributedStringValue();
        QCOMPARE(shown.text, sentence);
        QCOMPARE(colorAt(*m_label, 0), QColor(Qt::blue));
        QCOMPARE(colorAt(*m_label, 6), QColor(Qt::red));
        QCOMPARE(colorAt(*m_label, 13), QColor(Qt::red));
        QCOMPARE(colorAt(*m_label, m_privacy.location), QColor(Qt::magenta));
        QCOMPARE(colorAt(*m_label, sentence.size() - 1), QColor(0x342929));
        // The item's format replaces every attribute of its range, the font included.
        QVERIFY(!shown.formatAt(0).hasProperty(QTextFormat::FontPixelSize));
        QVERIFY(shown.formatAt(int(m_privacy.location) - 2).hasProperty(QTextFormat::FontPixelSize));
        // Hit testing: where two items overlap, the first one created is under the pointer.
        const QRectF shared = m_label->items().at(1)->rects().first();
        const QPointF inOverlap(shared.left() + 3, shared.center().y());
        QCOMPARE(m_label->itemAt(inOverlap), m_label->items().at(0));
        QCOMPARE(m_label->itemAt(QPointF(shared.right() - 3, shared.center().y())), m_label->items().at(1));
        QCOMPARE(m_label->itemAt(QPointF(shared.center().x(), m_label->height() + 5)), nullptr);
        // The origin keeps the unstyled text.
        QCOMPARE(m_label->originAttributedStringValue().formatAt(0).foreground().color(), QColor(0x342929));
        // A range past the end gets a rectangle for the part that was laid out only.
        QCOMPARE(m_label->items().at(2)->rects().size(), 1);
        QVERIFY(m_label->items().at(2)->rects().first().right() <= m_label->width());
    }

    void aBurstOfMotionIsHandledOnceAfterItStops()
    {
        makeLink(m_terms);
        int hoveredRuns = 0;
        m_label->setBlock([&hoveredRuns] { ++hoveredRuns; }, m_terms, S::hovered);
        const QPointF over = centreOf(m_terms);
        for (int step = 0; step < 5; ++step) {
            moveTo(m_label, over + QPointF(step, 0));
            m_scheduler->advanceBy(10ms);
        }
        QCOMPARE(itemOf(m_terms)->interactiveState(), S::normal);
        m_scheduler->advanceBy(9ms);
        QCOMPARE(itemOf(m_terms)->interactiveState(), S::normal);
        m_scheduler->advanceBy(1ms);
        QCOMPARE(itemOf(m_terms)->interactiveState(), S::hovered);
        QCOMPARE(hoveredRuns, 1);
        QCOMPARE(colorAt(*m_label, m_terms.location), QColor(0x2FB782));
        QVERIFY(m_label->attributedStringValue().formatAt(int(m_terms.location)).fontUnderline());
        m_scheduler->advanceBy(1s);
        QCOMPARE(hoveredRuns, 1);

        // Leaving the link is handled on the next turn, and cancels a pending hover.
        moveTo(m_label, plainPoint());
        m_scheduler->runPending();
        QCOMPARE(itemOf(m_terms)->interactiveState(), S::normal);
        QCOMPARE(colorAt(*m_label, m_terms.location), QColor(0x2D7DD2));
        moveTo(m_label, over);
        moveTo(m_label, plainPoint());
        m_scheduler->advanceBy(1s);
        QCOMPARE(itemOf(m_terms)->interactiveState(), S::normal);
        QCOMPARE(hoveredRuns, 1);
    }

    void withoutAntiShakeMotionIsHandledOnTheNextTurn()
    {
        makeLink(m_terms);
        m_label->setAntiShakeEnable(false);
        moveTo(m_label, centreOf(m_terms));
        QCOMPARE(itemOf(m_terms)->interactiveState(), S::normal);
        m_scheduler->runPending();
        QCOMPARE(itemOf(m_terms)->interactiveState(), S::hovered);
        // Leaving the widget counts as motion off every item.
        pointer::leave(m_label);
        m_scheduler->runPending();
        QCOMPARE(itemOf(m_terms)->interactiveState(), S::normal);
    }

    void pressAndReleaseReportTheRange()
    {
        makeLink(m_terms);
        makeLink(m_privacy);
        QList<QPair<E, TextRange>> events;
        for (E event : { E::mouseDown, E::mouseUpInside, E::mouseUpOutside }) {
            for (const TextRange &range : { m_terms, m_privacy })
                m_label->setEventAction([&events, event](TextRange r) { events.append({ event, r }); }, event, range);
        }
        const QPoint terms = centreOf(m_terms).toPoint();
        moveTo(m_label, terms);
        m_scheduler->advanceBy(InteractiveLabel::antiShakeDelay);
        QTest::mousePress(m_label, Qt::LeftButton, {}, terms);
        QCOMPARE(itemOf(m_terms)->interactiveState(), S::clicked | S::hovered);
        QCOMPARE(colorAt(*m_label, m_terms.location), QColor(0xD23C2D));
        QTest::mouseRelease(m_label, Qt::LeftButton, {}, terms);
        QCOMPARE(itemOf(m_terms)->interactiveState(), S::hovered);
        const QList<QPair<E, TextRange>> inside { { E::mouseDown, m_terms }, { E::mouseUpInside, m_terms } };
        QCOMPARE(events, inside);

        // Released over the other link: outside for the pressed one, nothing for the other.
        events.clear();
        QTest::mousePress(m_label, Qt::LeftButton, {}, terms);
        QTest::mouseRelease(m_label, Qt::LeftButton, {}, centreOf(m_privacy).toPoint());
        const QList<QPair<E, TextRange>> outside { { E::mouseDown, m_terms }, { E::mouseUpOutside, m_terms } };
        QCOMPARE(events, outside);
        QCOMPARE(itemOf(m_terms)->interactiveState(), S::normal);
        QCOMPARE(itemOf(m_privacy)->interactiveState(), S::normal);

        // Released outside the label altogether.
        events.clear();
        QTest::mousePress(m_label, Qt::LeftButton, {}, terms);
        QTest::mouseRelease(m_label, Qt::LeftButton, {}, QPoint(-10, 200));
        QCOMPARE(events, outside);
        QCOMPARE(itemOf(m_terms)->interactiveState(), S::normal);
        QCOMPARE(colorAt(*m_label, m_terms.location), QColor(0x2D7DD2));

        // A press on plain text presses nothing.
        events.clear();
        QTest::mouseClick(m_label, Qt::LeftButton, {}, plainPoint().toPoint());
        QVERIFY(events.isEmpty());
    }

    void anActionReceivesTheEmptyRangeForAValueThatIsNoRange()
    {
        std::optional<TextRange> received;
        m_label->setEventAction([&received](TextRange r) { received = r; }, E::mouseDown, m_terms);
        itemOf(m_terms)->interactiveEventActions().value(E::mouseDown)(QVariant(42));
        QCOMPARE(received, TextRange {});
        // Without a callable the stored action goes.
        m_label->setEventAction({}, E::mouseDown, m_terms);
        QVERIFY(!itemOf(m_terms)->interactiveEventActions().value(E::mouseDown));
    }

    void aDisabledLabelShowsHoverButIgnoresPresses()
    {
        makeLink(m_terms);
        m_label->setAttributes(colored(Qt::gray), m_terms, S::disabled);
        int presses = 0;
        m_label->setEventAction([&presses](TextRange) { ++presses; }, E::mouseDown, m_terms);
        m_label->setEnabled(false);
        QVERIFY(!m_label->isEnabled());
        QCOMPARE(itemOf(m_terms)->interactiveState(), S::disabled);
        QCOMPARE(colorAt(*m_label, m_terms.location), QColor(Qt::gray));

        moveTo(m_label, centreOf(m_terms));
        m_scheduler->advanceBy(InteractiveLabel::antiShakeDelay);
        QCOMPARE(itemOf(m_terms)->interactiveState(), S::disabled | S::hovered);
        QTest::mouseClick(m_label, Qt::LeftButton, {}, centreOf(m_terms).toPoint());
        QCOMPARE(presses, 0);
        QCOMPARE(itemOf(m_terms)->interactiveState(), S::disabled | S::hovered);

        // Disabling the parent disables the label and its items as well.
        m_label->setEnabled(true);
        m_label->parentWidget()->setEnabled(false);
        QVERIFY(!m_label->isEnabled());
        QCOMPARE(itemOf(m_terms)->interactiveState(), S::disabled | S::hovered);
        m_label->parentWidget()->setEnabled(true);
    }

    void disablingDuringAPressDoesNotLeaveItPressed()
    {
        makeLink(m_terms);
        QTest::mousePress(m_label, Qt::LeftButton, {}, centreOf(m_terms).toPoint());
        QVERIFY(itemOf(m_terms)->isClicked());
        m_label->setEnabled(false);
        QTest::mouseRelease(m_label, Qt::LeftButton, {}, centreOf(m_terms).toPoint());
        m_label->setEnabled(true);
        QVERIFY(!itemOf(m_terms)->isClicked());
        QVERIFY(!itemOf(m_terms)->interactiveState().contains(S::clicked));
    }

    void spareHeightMovesTheSecondLineDown()
    {
        const QString text = QStringLiteral("first line words\nsecond line link");
        m_label->setStringValue(text);
        m_label->resize(300, 120);
        const TextRange first = rangeOf(text, QStringLiteral("first"));
        const TextRange link = rangeOf(text, QStringLiteral("link"));
        makeLink(first);
        makeLink(link);
        const QRectF top = itemOf(first)->rects().value(0);
        const QRectF bottom = itemOf(link)->rects().value(0);
        QCOMPARE(top.y(), 0.0);
        QCOMPARE(bottom.bottom(), 120.0);
        QCOMPARE(m_label->itemAt(bottom.center()), itemOf(link));
        // Shrinking to the text's own height closes the gap.
        m_label->resize(300, m_label->heightForWidth(300));
        QCOMPARE(itemOf(link)->rects().value(0).y(), top.height());
    }

    void aNewTextIsShownUnstyledUntilAnItemIsMarked()
    {
        makeLink(m_terms);
        QCOMPARE(colorAt(*m_label, m_terms.location), QColor(0x2D7DD2));
        const QString other = QStringLiteral("Read the terms of sale and the privacy notice.");
        m_label->setStringValue(other);
        QCOMPARE(m_label->stringValue(), other);
        QCOMPARE(colorAt(*m_label, m_terms.location), QColor(0x342929));
        m_label->setCursor(Qt::PointingHandCursor, m_terms, S::normal);
        QCOMPARE(colorAt(*m_label, m_terms.location), QColor(0x2D7DD2));

        AttributedText bold { QStringLiteral("Read the terms of use today."), {} };
        QTextCharFormat weight;
        weight.setFontWeight(QFont::Bold);
        bold.setFormat(TextRange { 0, 4 }, weight);
        m_label->setAttributedStringValue(bold);
        QCOMPARE(m_label->originAttributedStringValue().formats, bold.formats);
        QCOMPARE(m_label->attributedStringValue().formats, bold.formats);
        // A change of state marks the item again.
        moveTo(m_label, centreOf(m_terms));
        m_scheduler->advanceBy(InteractiveLabel::antiShakeDelay);
        QCOMPARE(itemOf(m_terms)->interactiveState(), S::hovered);
        QCOMPARE(colorAt(*m_label, m_terms.location), QColor(0x2FB782));
        QCOMPARE(m_label->attributedStringValue().formatAt(0).fontWeight(), int(QFont::Bold));
    }

    void aPlainStringDefaultsToTheSystemFontAtFourteenInWhite()
    {
        InteractiveLabel label;
        label.setStringValue(QStringLiteral("Hello"));
        const QTextCharFormat format = label.originAttributedStringValue().formatAt(0);
        QCOMPARE(format.foreground().color(), QColor(Qt::white));
        QCOMPARE(format.font().pixelSize(), 14);
        QCOMPARE(format.font().family(), QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
        QCOMPARE(format.property(AttributedText::alignmentProperty).toInt(), int(Qt::AlignLeft));

        // Colour and font set later restyle a plain text.
        label.setTextColor(Qt::black);
        QFont font(QStringLiteral("DejaVu Serif"));
        font.setPixelSize(20);
        label.setFont(font);
        const QTextCharFormat restyled = label.attributedStringValue().formatAt(0);
        QCOMPARE(restyled.foreground().color(), QColor(Qt::black));
        QCOMPARE(restyled.font().pixelSize(), 20);
    }

    void alignmentAndDirectionPlaceTheText()
    {
        const int half = m_label->width() / 2;
        m_label->setStringValue(QStringLiteral("Short"));
        const auto ink = [this, half](bool rightHalf) {
            const QImage image = m_label->grab().toImage();
            return inkColumns(image, rightHalf ? half : 0, rightHalf ? image.width() : half, Qt::white);
        };
        QVERIFY(ink(false) > 0);
        QCOMPARE(ink(true), 0);

        m_label->setAlignment(Qt::AlignHCenter);
        const QTextCharFormat first = m_label->attributedStringValue().formatAt(0);
        QCOMPARE(first.property(AttributedText::alignmentProperty).toInt(), int(Qt::AlignHCenter));
        QCOMPARE(InteractiveLabelLayout(m_label->attributedStringValue(), m_label->font(), m_label->size())
                     .lineFragmentPadding(),
            4.0);
        QVERIFY(ink(false) > 0);
        QVERIFY(ink(true) > 0);
        // A link over the first word keeps the text centred.
        makeLink({ 0, 5 });
        QCOMPARE(m_label->attributedStringValue().formatAt(0).property(AttributedText::alignmentProperty).toInt(),
            int(Qt::AlignHCenter));
        QVERIFY(ink(true) > 0);

        m_label->setAlignment(Qt::AlignLeft);
        m_label->setLayoutDirection(Qt::RightToLeft);
        QCOMPARE(ink(false), 0);
        QVERIFY(ink(true) > 0);
        // Hit testing follows what is drawn.
        const TextRange word { 0, 5 };
        makeLink(word);
        QVERIFY(itemOf(word)->rects().value(0).left() > half);
    }

    void cursorsCoverTheItemRectangles()
    {
        m_label->setLabelCursor(QCursor(Qt::IBeamCursor));
        m_label->setCursor(Qt::PointingHandCursor, m_terms, S::hovered);
        pointer::enter(m_label, plainPoint().toPoint());
        moveTo(m_label, plainPoint());
        QCOMPARE(m_label->cursor().shape(), Qt::IBeamCursor);
        // Nothing registered for normal: no item rectangle yet.
        moveTo(m_label, centreOf(m_terms));
        QCOMPARE(m_label->cursor().shape(), Qt::IBeamCursor);
        m_scheduler->advanceBy(InteractiveLabel::antiShakeDelay);
        QCOMPARE(m_label->cursor().shape(), Qt::PointingHandCursor);
        const auto rects = MouseTrackingView::find(m_label)->cursorRects();
        QCOMPARE(rects.size(), 2);
        QCOMPARE(rects.at(1).rect, itemOf(m_terms)->rects().first());
        QCOMPARE(int(m_label->mouseTrackingArea()->options()), 643);
    }

    void debugBordersOutlineLinesAndItems()
    {
        makeLink(m_terms);
        m_label->setDrawTextBorder(true);
        const QImage image = m_label->grab().toImage();
        const QRectF item = itemOf(m_terms)->rects().first();
        const auto redNear = [&image](qreal x, qreal y) {
            for (int dx = -1; dx <= 1; ++dx) {
                if (image.pixelColor(qRound(x) + dx, qRound(y)) == QColor(Qt::red))
                    return true;
            }
            return false;
        };
        QVERIFY(redNear(item.left(), item.center().y()));
        QVERIFY(redNear(item.right(), item.center().y()));
        QVERIFY(!redNear(item.center().x(), item.center().y()));
        bool cyan = false;
        for (int x = 0; x < image.width() && !cyan; ++x)
            cyan = image.pixelColor(x, 0) == QColor(Qt::cyan);
        QVERIFY(cyan);
    }

    void wrapsInALayoutWithoutClipping()
    {
        QWidget host;
        auto *layout = new QVBoxLayout(&host);
        auto *label = new InteractiveLabel(&host);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(14);
        label->setFont(font);
        label->setStringValue(sentence + QLatin1Char(' ') + sentence + QLatin1Char(' ') + sentence);
        layout->addWidget(label);
        layout->addStretch(1);
        host.resize(260, 400);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QVERIFY(label->heightForWidth(200) > label->heightForWidth(600));
        QCOMPARE(label->height(), label->heightForWidth(label->width()));
        const TextRange last { label->stringValue().lastIndexOf(QStringLiteral("notice")), 6 };
        label->setAttributes(colored(Qt::blue), last, S::normal);
        const QList<QRectF> rects = label->items().first()->rects();
        QCOMPARE(rects.size(), 1);
        QVERIFY(rects.first().bottom() <= label->height());
        QVERIFY(label->minimumSizeHint().width() <= label->sizeHint().width());
    }

    void exposesItsTextToAccessibility()
    {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(m_label);
        QVERIFY(accessible);
        QCOMPARE(accessible->role(), QAccessible::StaticText);
        QCOMPARE(accessible->text(QAccessible::Name), sentence);
    }

    // Links are reached with Tab in reading order between the widgets around
    // the label, pressed with Return, Enter or Space, and seen as links.
    void linksWorkFromTheKeyboardAndAssistiveTechnology()
    {
        auto *before = new QPushButton(QStringLiteral("Before"), m_window.get());
        auto *after = new QPushButton(QStringLiteral("After"), m_window.get());
        before->show();
        after->show();
        QCOMPARE(m_label->focusPolicy(), Qt::NoFocus);
        QList<TextRange> pressed;
        const auto press = [&pressed](TextRange range) { pressed << range; };
        makeLink(m_privacy); // styled, but nothing to press: not a link
        m_label->setEventAction(press, Interactive::Event::mouseUpInside, m_privacy);
        m_label->setEventAction(press, Interactive::Event::mouseUpInside, m_terms);
        QCOMPARE(m_label->focusPolicy(), Qt::StrongFocus);
        QWidget::setTabOrder(before, m_label);
        QWidget::setTabOrder(m_label, after);
        QCOMPARE(m_label->links().size(), 2);
        QCOMPARE(m_label->links().first()->range(), m_terms);

        QApplication::setActiveWindow(m_window.get());
        before->setFocus(Qt::TabFocusReason);
        QTest::keyClick(before, Qt::Key_Tab);
        QVERIFY(m_label->hasFocus());
        QCOMPARE(m_label->focusedLink()->range(), m_terms);
        QTest::keyClick(m_label, Qt::Key_Tab);
        QCOMPARE(m_label->focusedLink()->range(), m_privacy);
        QTest::keyClick(m_label, Qt::Key_Tab);
        QVERIFY(after->hasFocus());
        QTest::keyClick(after, Qt::Key_Backtab);
        QCOMPARE(m_label->focusedLink()->range(), m_privacy);

        for (const Qt::Key key : { Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space })
            QTest::keyClick(m_label, key);
        QCOMPARE(pressed, QList<TextRange>(3, m_privacy));
        QCOMPARE(itemOf(m_privacy)->interactiveState(), S::normal);

        // A ring shows the keyboard focus around the focused link only.
        const QImage image = m_label->grab().toImage();
        const QColor ring = m_label->palette().color(QPalette::Highlight);
        const auto ringAround = [&](const TextRange &range) {
            const QRectF box = itemOf(range)->rects().first();
            return image.pixelColor(QPoint(int(box.left()), int(box.center().y()))) == ring
                || image.pixelColor(QPoint(int(box.left()) - 1, int(box.center().y()))) == ring;
        };
        QVERIFY(ringAround(m_privacy));
        QVERIFY(!ringAround(m_terms));

        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(m_label);
        QCOMPARE(accessible->childCount(), 2);
        QAccessibleInterface *terms = accessible->child(0);
        QCOMPARE(terms->role(), QAccessible::Link);
        QCOMPARE(terms->text(QAccessible::Name), QStringLiteral("terms of use"));
        QCOMPARE(accessible->indexOfChild(terms), 0);
        QVERIFY(accessible->child(1)->state().focused);
        QVERIFY(!terms->state().focused && !accessible->state().focused);
        terms->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(pressed.last(), m_terms);
        terms->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
        QCOMPARE(m_label->focusedLink()->range(), m_terms);

        // A null action takes the link away again.
        m_label->setEventAction(nullptr, Interactive::Event::mouseUpInside, m_privacy);
        m_label->setEventAction(nullptr, Interactive::Event::mouseUpInside, m_terms);
        QVERIFY(m_label->links().isEmpty());
        QCOMPARE(m_label->focusPolicy(), Qt::NoFocus);
        QCOMPARE(accessible->childCount(), 0);
    }

    void pendingMotionOutlivesNoLabel()
    {
        makeLink(m_terms);
        moveTo(m_label, centreOf(m_terms));
        moveTo(m_label, plainPoint());
        moveTo(m_label, centreOf(m_terms));
        delete m_label;
        m_scheduler->advanceBy(1s);
        QCOMPARE(m_scheduler->pendingCount(), 0);
    }

    void hoverScreenshot()
    {
        makeLink(m_terms);
        makeLink(m_privacy);
        moveTo(m_label, centreOf(m_privacy));
        m_scheduler->advanceBy(InteractiveLabel::antiShakeDelay);
        QCOMPARE(itemOf(m_privacy)->interactiveState(), S::hovered);
        const QRect link = itemOf(m_privacy)->rects().first().toRect();
        bool green = false;
        const QImage image = m_label->grab().toImage();
        for (int x = link.left(); x < link.right() && !green; ++x) {
            for (int y = link.top(); y < link.bottom() && !green; ++y)
                green = image.pixelColor(x, y) == QColor(0x2FB782);
        }
        QVERIFY(green);
        pointer::saveScreenshot(m_window.get(), QStringLiteral("interactive-label-hover"));
    }
};

QTEST_MAIN(InteractiveLabelTest)
#include "tst_interactivelabel.moc"
