#include <mirakit/interactive/InteractiveButton.h>
#include <mirakit/interactive/SpacingButtonCell.h>

#include <QTest>

using namespace mira;
using P = ButtonCell::ImagePosition;

namespace {

// A cell whose title measures as given, so the arithmetic can be checked with exact widths.
class MeasuredCell : public SpacingButtonCell {
public:
    QSizeF titleSize { 40, 17 };

protected:
    QSizeF measureTitle() const override { return titleSize; }
};

QPixmap square(int side)
{
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::red);
    return pixmap;
}

std::unique_ptr<MeasuredCell> exampleCell()
{
    auto cell = std::make_unique<MeasuredCell>();
    cell->setTitle(QStringLiteral("Install"));
    cell->setImage(square(16));
    cell->setSpacing(6);
    cell->setImagePosition(P::imageLeft);
    cell->setAlignment(Qt::AlignHCenter);
    return cell;
}

} // namespace

class SpacingButtonCellTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startsWithZeroes()
    {
        const SpacingButtonCell cell(QStringLiteral("x"));
        QCOMPARE(cell.spacing(), 0.0);
        QCOMPARE(cell.imageYOffset(), 0.0);
        QCOMPARE(cell.titleYOffset(), 0.0);
        QCOMPARE(cell.contentEdgeInset(), SpacingButtonCell::EdgeInsets {});
    }

    void naturalSizeAndCentredRectangles()
    {
        const auto cell = exampleCell();
        QCOMPARE(cell->cellSize(), QSizeF(62, 17));
        QCOMPARE(cell->imageRect(QRectF(0, 0, 100, 30)), QRectF(19, 7, 16, 16));
        QCOMPARE(cell->titleRect(QRectF(0, 0, 100, 30)), QRectF(41, 6, 41, 17));
    }

    void titleGivesWayWhenNarrow()
    {
        const auto cell = exampleCell();
        auto sizes = cell->resizeImageAndTitleSize(QRectF(0, 0, 50, 30));
        QCOMPARE(sizes.image, QSizeF(16, 16));
        QCOMPARE(sizes.title, QSizeF(28, 17));
        QCOMPARE(cell->titleRect(QRectF(0, 0, 50, 30)).width(), 29.0); // centred: one point wider
        sizes = cell->resizeImageAndTitleSize(QRectF(0, 0, 20, 30));
        QCOMPARE(sizes.image, QSizeF(20, 16));
        QCOMPARE(sizes.title, QSizeF(0, 0));
        QCOMPARE(cell->imageRect(QRectF(0, 0, 20, 30)).size(), QSizeF(20, 16));
    }

    void marginsAndAlignments_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<QRectF>("image");
        QTest::addColumn<QRectF>("title");
        // Margins 2/10/4/6 (top/left/bottom/right), nudges image +1, title -1, bounds 120 x 40.
        // Spare width 120 - 16 - 62 = 42 → dx 21; spare height 40 - 6 - 17 = 17 → dy 8.5.
        QTest::newRow("left") << int(Qt::AlignLeft) << QRectF(10, 12, 16, 16) << QRectF(32, 9, 40, 17);
        QTest::newRow("centre") << int(Qt::AlignHCenter) << QRectF(31, 12, 16, 16) << QRectF(53, 9, 41, 17);
        // Right: the whole spare width, no vertical centring, no nudges.
        QTest::newRow("right") << int(Qt::AlignRight) << QRectF(52, 2, 16, 16) << QRectF(74, 2, 40, 17);
    }
    void marginsAndAlignments()
    {
        QFETCH(int, alignment);
        QFETCH(QRectF, image);
        QFETCH(QRectF, title);
        auto cell = exampleCell();
        cell->setContentEdgeInset({ 2, 10, 4, 6 });
        cell->setImageYOffset(1);
        cell->setTitleYOffset(-1);
        cell->setAlignment(Qt::Alignment(alignment));
        QCOMPARE(cell->cellSize(), QSizeF(78, 23));
        QCOMPARE(cell->imageRect(QRectF(0, 0, 120, 40)), image);
        QCOMPARE(cell->titleRect(QRectF(0, 0, 120, 40)), title);
    }

    void stackedPositions_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QSizeF>("natural");
        QTest::addColumn<QRectF>("image");
        QTest::addColumn<QRectF>("title");
        // Content 40 x 39 in 100 x 60: dx 30, dy floor(21) * 0.5 = 10.5.
        QTest::newRow("above") << int(P::imageAbove) << QSizeF(40, 39) << QRectF(42, 10, 16, 16)
                               << QRectF(30, 32, 41, 17);
        QTest::newRow("below") << int(P::imageBelow) << QSizeF(40, 39) << QRectF(42, 33, 16, 16)
                               << QRectF(30, 10, 41, 17);
        QTest::newRow("right") << int(P::imageRight) << QSizeF(62, 17) << QRectF(65, 22, 16, 16)
                               << QRectF(19, 21, 41, 17);
        QTest::newRow("trailing") << int(P::imageTrailing) << QSizeF(62, 17) << QRectF(65, 22, 16, 16)
                                  << QRectF(19, 21, 41, 17);
        QTest::newRow("overlaps") << int(P::imageOverlaps) << QSizeF(40, 17) << QRectF(42, 22, 16, 16)
                                  << QRectF(30, 21, 41, 17);
        QTest::newRow("image only") << int(P::imageOnly) << QSizeF(16, 16) << QRectF(42, 22, 16, 16)
                                    << QRectF(42, 22, 41, 17);
    }
    // With image only, the title keeps its arithmetic rectangle; drawing skips it.
    void stackedPositions()
    {
        QFETCH(int, position);
        QFETCH(QSizeF, natural);
        QFETCH(QRectF, image);
        QFETCH(QRectF, title);
        auto cell = exampleCell();
        cell->setSpacing(6);
        cell->setImagePosition(P(position));
        QCOMPARE(cell->cellSize(), natural);
        QCOMPARE(cell->imageRect(QRectF(0, 0, 100, 60)), image);
        QCOMPARE(cell->titleRect(QRectF(0, 0, 100, 60)), title);
    }

    void leadingFollowsTheLayoutDirection()
    {
        auto cell = exampleCell();
        cell->setImagePosition(P::imageLeading);
        QCOMPARE(cell->imageRect(QRectF(0, 0, 100, 30)).x(), 19.0);
        cell->setLayoutDirection(Qt::RightToLeft);
        QCOMPARE(cell->imageRect(QRectF(0, 0, 100, 30)).x(), 65.0);
        QCOMPARE(cell->titleRect(QRectF(0, 0, 100, 30)).x(), 19.0);
    }

    void boundsWithinTheMarginsGiveEmptyRectangles()
    {
        auto cell = exampleCell();
        cell->setContentEdgeInset({ 10, 3, 10, 3 });
        cell->setImageYOffset(2);
        QCOMPARE(cell->imageRect(QRectF(0, 0, 5, 20)), QRectF(3, 12, 0, 0));
        QCOMPARE(cell->resizeContentOffset(QRectF(0, 0, 5, 20)).title, QSizeF(0, 0));
        // Only the height runs out: zero sizes, still centred horizontally.
        QCOMPARE(cell->resizeImageAndTitleSize(QRectF(0, 0, 100, 20)).image, QSizeF(0, 0));
    }

    void titleWithoutFontMeasuresTheAttributedTitle()
    {
        SpacingButtonCell cell;
        QFont big;
        big.setPixelSize(40);
        QTextCharFormat format;
        format.setFont(big);
        cell.setAttributedTitle(AttributedText { QStringLiteral("Go"), { { 0, 2, format } } });
        const QSizeF attributed = cell.titleFullSize();
        QFont small;
        small.setPixelSize(10);
        cell.setFont(small);
        const QSizeF plain = cell.titleFullSize();
        QVERIFY2(attributed.height() > 2 * plain.height(),
            qPrintable(QStringLiteral("%1 vs %2").arg(attributed.height()).arg(plain.height())));
        QCOMPARE(attributed.width(), std::ceil(attributed.width()));
    }

    void replacingTheCellKeepsItsSettings()
    {
        InteractiveButton button(QStringLiteral("Continue"));
        button.setImage(square(12));
        button.setImagePosition(P::imageRight);
        button.setAlignment(Qt::AlignLeft);
        button.cell()->setFont(QFont(QStringLiteral("Sans"), 11));
        auto settings = button.cell()->settings();
        settings.keyEquivalent = QKeySequence(Qt::Key_Return);
        settings.enabled = false;
        button.cell()->setSettings(settings);

        auto replacement = std::make_unique<SpacingButtonCell>();
        replacement->setSpacing(8);
        SpacingButtonCell *raw = replacement.get();
        button.replaceButtonCell(std::move(replacement));
        QCOMPARE(button.cell(), raw);
        QCOMPARE(raw->title(), QStringLiteral("Continue"));
        QCOMPARE(raw->image().size(), QSize(12, 12));
        QCOMPARE(raw->imagePosition(), P::imageRight);
        QCOMPARE(raw->alignment(), Qt::Alignment(Qt::AlignLeft));
        QCOMPARE(raw->font()->family(), QStringLiteral("Sans"));
        QCOMPARE(raw->settings().keyEquivalent, QKeySequence(Qt::Key_Return));
        QVERIFY(!raw->isEnabled());
        QCOMPARE(raw->spacing(), 8.0);
        // The button now sizes itself through the new cell.
        QCOMPARE(button.sizeHint().width(), int(std::ceil(raw->cellSize().width())));
    }
};

QTEST_MAIN(SpacingButtonCellTest)
#include "tst_spacingbuttoncell.moc"
