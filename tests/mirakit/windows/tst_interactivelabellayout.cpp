#include <mirakit/interactive/InteractiveLabelLayout.h>

#include <QGuiApplication>
#include <QTest>

using namespace mira;

namespace {
QTextCharFormat centred()
{
    QTextCharFormat format;
    format.setProperty(AttributedText::alignmentProperty, int(Qt::AlignHCenter));
    return format;
}
} // namespace

class InteractiveLabelLayoutTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void paddingIsFourPointsOnlyForACentredFirstCharacter()
    {
        const QFont font(QStringLiteral("DejaVu Sans"), 12);
        AttributedText plain { QStringLiteral("Read the terms"), {} };
        QCOMPARE(InteractiveLabelLayout(plain, font, QSizeF(300, 40)).lineFragmentPadding(), 2.0);
        QCOMPARE(InteractiveLabelLayout(AttributedText {}, font, QSizeF(300, 40)).lineFragmentPadding(), 2.0);

        AttributedText centredText = plain;
        centredText.setFormat(TextRange { 0, 4 }, centred());
        InteractiveLabelLayout layout(centredText, font, QSizeF(300, 40));
        QCOMPARE(layout.lineFragmentPadding(), 4.0);
        // The line's rectangle is where the centred text lies, not where the padding ends.
        const QRectF line = layout.lines().first().rect;
        QVERIFY(line.width() > 0 && line.width() < 200);
        QVERIFY(qAbs(line.center().x() - 150) < 0.1);
        QCOMPARE(line.x(), layout.rectsFor(TextRange { 0, 1 }).first().x());

        AttributedText laterCentred = plain;
        laterCentred.setFormat(TextRange { 5, 3 }, centred());
        QCOMPARE(InteractiveLabelLayout(laterCentred, font, QSizeF(300, 40)).lineFragmentPadding(), 2.0);
    }

    void lineRectanglesFollowTheAlignment_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qreal>("right"); // where the line ends; negative: starts at the padding
        const QString hebrew = QStringLiteral("\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD");
        QTest::newRow("left") << int(Qt::AlignLeft) << QStringLiteral("Read the terms") << -1.0;
        QTest::newRow("right") << int(Qt::AlignRight) << QStringLiteral("Read the terms") << 298.0;
        QTest::newRow("right-to-left leading") << int(Qt::AlignLeft) << hebrew << 298.0;
        QTest::newRow("right-to-left absolute left") << int(Qt::AlignLeft | Qt::AlignAbsolute) << hebrew << -1.0;
    }

    void lineRectanglesFollowTheAlignment()
    {
        QFETCH(int, alignment);
        QFETCH(QString, text);
        QFETCH(qreal, right);
        QTextCharFormat format;
        format.setProperty(AttributedText::alignmentProperty, alignment);
        AttributedText aligned { text, {} };
        aligned.setFormat(TextRange { 0, text.size() }, format);
        InteractiveLabelLayout layout(aligned, QFont(QStringLiteral("DejaVu Sans"), 12), QSizeF(300, 40));
        const QRectF line = layout.lines().first().rect;
        QVERIFY(line.width() > 0 && line.width() < 200);
        if (right < 0)
            QCOMPARE(line.x(), 2.0);
        else
            QVERIFY(qAbs(line.right() - right) < 0.1);
    }

    void spareHeightGoesBetweenTheLines()
    {
        const QFont font(QStringLiteral("DejaVu Sans"), 12);
        AttributedText text { QStringLiteral("first line words\nsecond line link"), {} };
        InteractiveLabelLayout layout(text, font, QSizeF(300, 120));
        const auto lines = layout.lines();
        QCOMPARE(lines.size(), 2);
        const qreal used = lines.at(0).rect.height() + lines.at(1).rect.height();
        QCOMPARE(lines.at(0).rect.y(), 0.0);
        // The second line ends at the bottom of the bounds: the whole gap lies between the two.
        QCOMPARE(lines.at(1).rect.y() + lines.at(1).rect.height(), 120.0);
        QVERIFY(120 - used > 0);

        const TextRange link { text.text.indexOf(QStringLiteral("link")), 4 };
        const QList<QRectF> rects = layout.rectsFor(link);
        QCOMPARE(rects.size(), 1);
        QCOMPARE(rects.first().y(), lines.at(1).rect.y());
        QCOMPARE(rects.first().height(), lines.at(1).rect.height());
        QVERIFY(rects.first().width() > 0);
        QVERIFY(rects.first().x() > lines.at(1).rect.x());
    }

    void rangesGetOneRectanglePerLineTheyTouch()
    {
        const QFont font(QStringLiteral("DejaVu Sans"), 12);
        AttributedText text { QStringLiteral("one two three four five six seven eight nine ten"), {} };
        InteractiveLabelLayout layout(text, font, QSizeF(120, 200));
        const auto lines = layout.lines();
        QVERIFY(lines.size() >= 3);
        const TextRange all { 0, text.text.size() };
        QCOMPARE(layout.rectsFor(all).size(), lines.size());

        // A range running past the end of the text gets rectangles only where text was placed.
        const TextRange pastEnd { text.text.size() - 3, 50 };
        const QList<QRectF> rects = layout.rectsFor(pastEnd);
        QCOMPARE(rects.size(), 1);
        QCOMPARE(rects.first().y(), lines.last().rect.y());
        QVERIFY(layout.rectsFor(TextRange { text.text.size() + 5, 3 }).isEmpty());
    }

    void settingAFormatReplacesEveryAttributeOfTheRange()
    {
        AttributedText text { QStringLiteral("abcdefghij"), {} };
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        QTextCharFormat red;
        red.setForeground(Qt::red);
        text.setFormat(TextRange { 0, 10 }, bold);
        text.setFormat(TextRange { 3, 4 }, red);
        QCOMPARE(text.formats.size(), 3);
        QCOMPARE(text.formatAt(2).fontWeight(), int(QFont::Bold));
        QVERIFY(text.formatAt(4).foreground().color() == Qt::red);
        QVERIFY(text.formatAt(4).fontWeight() != int(QFont::Bold));
        QCOMPARE(text.formatAt(8).fontWeight(), int(QFont::Bold));

        // Where ranges overlap, the format set later wins.
        QTextCharFormat blue;
        blue.setForeground(Qt::blue);
        text.setFormat(TextRange { 5, 4 }, blue);
        QVERIFY(text.formatAt(4).foreground().color() == Qt::red);
        QVERIFY(text.formatAt(5).foreground().color() == Qt::blue);
    }
};

QTEST_MAIN(InteractiveLabelLayoutTest)
#include "tst_interactivelabellayout.moc"
