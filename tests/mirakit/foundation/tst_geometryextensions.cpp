#include <mirakit/foundation/GeometryExtensions.h>

#include <QTest>

#include <limits>

class GeometryExtensionsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void distance()
    {
        QCOMPARE(mira::distance(QPointF(1, 1), QPointF(4, 5)), 5.0);
        QCOMPARE(mira::distance(QPointF(-2, 0), QPointF(-2, 0)), 0.0);
        // No overflow in the intermediate squares.
        QCOMPARE(mira::distance(QPointF(0, 0), QPointF(3e200, 4e200)), 5e200);
    }

    void rectFromPoints_data()
    {
        QTest::addColumn<QList<QPointF>>("points");
        QTest::addColumn<QRectF>("expected");
        QTest::newRow("two corners") << QList<QPointF> { { 10, 20 }, { 0, 5 } } << QRectF(0, 5, 10, 15);
        QTest::newRow("scattered") << QList<QPointF> { { 3, 3 }, { -1, 7 }, { 5, -2 }, { 0, 0 } }
                                   << QRectF(-1, -2, 6, 9);
        QTest::newRow("one point") << QList<QPointF> { { 4, 4 } } << QRectF(4, 4, 0, 0);
        QTest::newRow("none") << QList<QPointF> {} << QRectF();
    }
    void rectFromPoints()
    {
        QFETCH(QList<QPointF>, points);
        QFETCH(QRectF, expected);
        QCOMPARE(mira::rectFromPoints(points), expected);
    }

    void append()
    {
        QRectF rect(0, 0, 10, 10);
        mira::append(rect, QPointF(15, -5));
        QCOMPARE(rect, QRectF(0, -5, 15, 15));
        mira::append(rect, QPointF(5, 5));
        QCOMPARE(rect, QRectF(0, -5, 15, 15));
        QRectF negative(10, 10, -10, -10);
        mira::append(negative, QPointF(-1, 5));
        QCOMPARE(negative, QRectF(-1, 0, 11, 10));
    }

    void flip()
    {
        QCOMPARE(mira::flip(QRectF(5, 10, 20, 30), 100), QRectF(5, 60, 20, 30));
        QCOMPARE(mira::flip(mira::flip(QRectF(1, 2, 3, 4), 50), 50), QRectF(1, 2, 3, 4));
    }

    void limit_data()
    {
        QTest::addColumn<QRectF>("rect");
        QTest::addColumn<QRectF>("expected");
        const QRectF inside(10, 10, 20, 20);
        QTest::newRow("already inside") << inside << inside;
        QTest::newRow("pushed in from the left") << QRectF(-5, 10, 20, 20) << QRectF(0, 10, 20, 20);
        QTest::newRow("pushed in from bottom right") << QRectF(90, 95, 20, 20) << QRectF(80, 80, 20, 20);
        QTest::newRow("shrunk when wider") << QRectF(-50, 10, 300, 20) << QRectF(0, 10, 100, 20);
        QTest::newRow("shrunk both ways") << QRectF(-1, -1, 500, 500) << QRectF(0, 0, 100, 100);
        QTest::newRow("negative size normalised") << QRectF(30, 30, -20, -20) << QRectF(10, 10, 20, 20);
    }
    void limit()
    {
        QFETCH(QRectF, rect);
        QFETCH(QRectF, expected);
        QCOMPARE(mira::limit(rect, QRectF(0, 0, 100, 100)), expected);
    }

    void cornerPathRoundsOnlyTheGivenCorners()
    {
        const QRectF rect(0, 0, 100, 60);
        const QPainterPath path = mira::cornerPath(rect, 20, 0, 0, 10);
        QCOMPARE(path.boundingRect(), rect);
        QVERIFY(!path.contains(QPointF(1, 1))); // cut off by the top-left radius
        QVERIFY(path.contains(QPointF(99, 1))); // square top-right corner
        QVERIFY(path.contains(QPointF(1, 59))); // square bottom-left corner
        QVERIFY(!path.contains(QPointF(99.5, 59.5))); // rounded bottom-right
        QVERIFY(path.contains(QPointF(50, 30)));
    }

    void cornerPathClampsRadii()
    {
        const QRectF rect(0, 0, 40, 20);
        // Radii beyond half the short side would overlap: a full pill instead.
        const QPainterPath pill = mira::cornerPath(rect, 1000, 1000, 1000, 1000);
        QCOMPARE(pill.boundingRect(), rect);
        QVERIFY(pill.contains(QPointF(20, 10)));
        QVERIFY(pill.contains(QPointF(10, 1)));
        QVERIFY(!pill.contains(QPointF(1, 1)));

        const qreal nan = std::numeric_limits<qreal>::quiet_NaN();
        const QPainterPath square = mira::cornerPath(rect, -5, nan, 0, 0);
        QVERIFY(square.contains(QPointF(0.5, 0.5)));
        QVERIFY(square.contains(QPointF(39.5, 0.5)));
    }

    void aspectFit_data()
    {
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<QRectF>("expected");
        QTest::newRow("wide into tall") << QSizeF(200, 100) << QRectF(10, 35, 100, 50);
        QTest::newRow("tall into wide") << QSizeF(10, 40) << QRectF(47.5, 10, 25, 100);
        QTest::newRow("same aspect") << QSizeF(1, 1) << QRectF(10, 10, 100, 100);
        QTest::newRow("no area") << QSizeF(0, 50) << QRectF(60, 60, 0, 0);
        QTest::newRow("negative") << QSizeF(-3, 5) << QRectF(60, 60, 0, 0);
        QTest::newRow("infinite") << QSizeF(std::numeric_limits<qreal>::infinity(), 1) << QRectF(60, 60, 0, 0);
    }
    void aspectFit()
    {
        QFETCH(QSizeF, size);
        QFETCH(QRectF, expected);
        QCOMPARE(mira::aspectFit(size, QRectF(10, 10, 100, 100)), expected);
    }

    void center()
    {
        QCOMPARE(mira::center(QSizeF(20, 10), QRectF(0, 0, 100, 50)), QRectF(40, 20, 20, 10));
        QCOMPARE(mira::center(QSizeF(200, 10), QRectF(0, 0, 100, 50)), QRectF(-50, 20, 200, 10));
    }
};

QTEST_GUILESS_MAIN(GeometryExtensionsTest)
#include "tst_geometryextensions.moc"
