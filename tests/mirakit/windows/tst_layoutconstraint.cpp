#include <mirakit/windows/LayoutConstraint.h>

#include <platform/KSTLogManager.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

using namespace mira;
using C = LayoutConstraint;
using A = LayoutConstraint::Attribute;
using R = LayoutConstraint::Relation;

namespace {
class HintCounter : public QWidget {
public:
    using QWidget::QWidget;
    mutable int hints = 0;
    QSize sizeHint() const override
    {
        ++hints;
        return QWidget::sizeHint();
    }
};
} // namespace

class LayoutConstraintTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_logDir;

    int logLinesContaining(const QString &text) const
    {
        QFile file(platform::KSTLogManager::singleton().logFilePath());
        if (!file.open(QIODevice::ReadOnly))
            return -1;
        return int(file.readAll().count(text.toUtf8()));
    }

private Q_SLOTS:
    void initTestCase() { qputenv("PRISMORA_LOG_DIR", QFile::encodeName(m_logDir.path())); }

    void edgePinsAndFixedSizesFollowTheContainer()
    {
        QWidget container;
        container.resize(300, 200);
        QWidget badge(&container);
        QWidget fill(&container);
        C::activate({ C(&badge, A::top, R::equal, &container, A::top, 1, 13),
            C(&badge, A::left, R::equal, &container, A::left, 1, 8), C::size(&badge, A::width, 14),
            C::size(&badge, A::height, 16) });
        C::activate({ C(&fill, A::left, R::equal, &container, A::left, 1, 10),
            C(&fill, A::right, R::equal, &container, A::right, 1, -10),
            C(&fill, A::bottom, R::equal, &container, A::bottom, 1, -5), C::size(&fill, A::height, 20) });
        QCOMPARE(badge.geometry(), QRect(8, 13, 14, 16));
        QCOMPARE(fill.geometry(), QRect(10, 175, 280, 20));

        // A shown container places its items again whenever it is resized.
        container.show();
        container.resize(400, 100);
        QCOMPARE(badge.geometry(), QRect(8, 13, 14, 16));
        QCOMPARE(fill.geometry(), QRect(10, 75, 380, 20));
        QCOMPARE(C::constraints(&container).size(), 8);
    }

    void centringAspectRatioAndMinimumSizes()
    {
        QWidget container;
        container.resize(300, 200);
        QWidget image(&container);
        C::activate({ C(&image, A::centerX, R::equal, &container, A::centerX),
            C(&image, A::centerY, R::equal, &container, A::centerY, 1, 10),
            C(&image, A::height, R::equal, &container, A::height, 0.5), C::aspectRatio(&image, 1.5) });
        QCOMPARE(image.geometry(), QRect(75, 60, 150, 100));

        QWidget label(&container);
        C::activate({ C::size(&label, A::width, 10), C::size(&label, A::width, 40, R::greaterThanOrEqual),
            C::size(&label, A::height, 500), C::size(&label, A::height, 120, R::lessThanOrEqual) });
        QCOMPARE(label.size(), QSize(40, 120));
    }

    void higherPriorityWinsBetweenEqualRelations()
    {
        QWidget container;
        container.resize(300, 200);
        QWidget item(&container);
        C low = C::size(&item, A::width, 50).priority(C::priorityDefaultLow);
        C high = C::size(&item, A::width, 80).priority(C::priorityDefaultHigh);
        C::activate({ high, low, C::size(&item, A::height, 10) });
        QCOMPARE(item.width(), 80);
        high.setActive(false);
        QCOMPARE(item.width(), 50);
    }

    void setMultiplierReplacesTheConstraint()
    {
        QWidget container;
        container.resize(200, 100);
        QWidget bar(&container);
        C width(&bar, A::width, R::equal, &container, A::width, 1, 4);
        width.priority(750).setIdentifier(QStringLiteral("bar.width"));
        width.setShouldBeArchived(true);
        C::activate({ width, C::size(&bar, A::height, 10) });
        QCOMPARE(bar.width(), 204);

        const C replacement = width.setMultiplier(0.5);
        QVERIFY(!(replacement == width));
        QVERIFY(!width.isActive());
        QVERIFY(replacement.isActive());
        QCOMPARE(replacement.firstItem(), &bar);
        QCOMPARE(replacement.firstAttribute(), A::width);
        QCOMPARE(replacement.relation(), R::equal);
        QCOMPARE(replacement.secondItem(), &container);
        QCOMPARE(replacement.secondAttribute(), A::width);
        QCOMPARE(replacement.constant(), 4.0);
        QCOMPARE(replacement.multiplier(), 0.5);
        QCOMPARE(replacement.priority(), 750.0f);
        QCOMPARE(replacement.identifier(), QStringLiteral("bar.width"));
        QVERIFY(replacement.shouldBeArchived());
        QCOMPARE(bar.width(), 104);
        QVERIFY(!C::constraints(&container).contains(width));
        QVERIFY(C::constraints(&container).contains(replacement));
    }

    void leadingAndTrailingFollowTheContainersDirection()
    {
        QWidget container;
        container.resize(300, 200);
        container.setLayoutDirection(Qt::RightToLeft);
        QWidget start(&container);
        QWidget end(&container);
        QWidget follower(&container);
        C::activate({ C(&start, A::leading, R::equal, &container, A::leading, 1, 16), C::size(&start, A::width, 40),
            C::size(&start, A::height, 10) });
        C::activate({ C(&end, A::trailing, R::equal, &container, A::trailing, 1, -10), C::size(&end, A::width, 30),
            C::size(&end, A::height, 10) });
        // Placed after the start item, reading onwards from its trailing edge.
        C::activate({ C(&follower, A::leading, R::equal, &start, A::trailing, 1, 8), C::size(&follower, A::width, 20),
            C::size(&follower, A::height, 10) });
        QCOMPARE(start.geometry(), QRect(300 - 16 - 40, 0, 40, 10));
        QCOMPARE(end.geometry(), QRect(10, 0, 30, 10));
        QCOMPARE(follower.geometry(), QRect(244 - 8 - 20, 0, 20, 10));

        // The items move across when the direction changes.
        container.setLayoutDirection(Qt::LeftToRight);
        QCOMPARE(start.geometry(), QRect(16, 0, 40, 10));
        QCOMPARE(end.geometry(), QRect(300 - 10 - 30, 0, 30, 10));
        QCOMPARE(follower.geometry(), QRect(16 + 40 + 8, 0, 20, 10));

        // Left and right stay absolute.
        QWidget pinned(&container);
        C::activate({ C(&pinned, A::left, R::equal, &container, A::left, 1, 5), C::size(&pinned, A::width, 10),
            C::size(&pinned, A::height, 10) });
        container.setLayoutDirection(Qt::RightToLeft);
        QCOMPARE(pinned.x(), 5);
        QCOMPARE(start.x(), 300 - 16 - 40);
    }

    // b hangs off the container's right edge, a off b's left edge; a's
    // constraint is activated first and must still follow b after a resize.
    void siblingsFollowEachOtherWhateverTheActivationOrder()
    {
        QWidget container;
        container.resize(300, 100);
        QWidget a(&container);
        QWidget b(&container);
        C::activate(
            { C(&a, A::right, R::equal, &b, A::left, 1, -10), C::size(&a, A::width, 40), C::size(&a, A::height, 10) });
        C::activate({ C(&b, A::right, R::equal, &container, A::right, 1, -20), C::size(&b, A::width, 50),
            C::size(&b, A::height, 10) });
        QCOMPARE(a.geometry().right() + 1, 220);
        container.show();
        container.resize(400, 100);
        QCOMPARE(b.geometry(), QRect(330, 0, 50, 10));
        QCOMPARE(a.geometry(), QRect(280, 0, 40, 10));
    }

    // A container may build itself lazily from sizeHint(); placing its items must not ask it.
    void onlyConstrainedItemsAreAskedForTheirSizeHint()
    {
        HintCounter container;
        container.resize(300, 100);
        HintCounter reference(&container);
        reference.setGeometry(10, 10, 50, 20);
        QWidget item(&container);
        C::activate({ C(&item, A::left, R::equal, &reference, A::right, 1, 5),
            C(&item, A::top, R::equal, &container, A::top), C::size(&item, A::width, 20) });
        QCOMPARE(item.geometry().topLeft(), QPoint(65, 0));
        QCOMPARE(container.hints, 0);
        QCOMPARE(reference.hints, 0);
    }

    void aCycleIsLoggedOnceAndKeepsTheLastLayout()
    {
        QWidget container;
        container.setObjectName(QStringLiteral("cyclicContainer"));
        container.resize(300, 100);
        QWidget a(&container);
        QWidget b(&container);
        a.setGeometry(1, 2, 30, 10);
        b.setGeometry(50, 2, 30, 10);
        C::activate({ C(&a, A::left, R::equal, &b, A::right, 1, 10), C(&b, A::left, R::equal, &a, A::right, 1, 10) });
        const QRect lastA = a.geometry();
        const QRect lastB = b.geometry();
        container.show();
        container.resize(350, 100);
        container.resize(360, 100);
        QCOMPARE(a.geometry(), lastA);
        QCOMPARE(b.geometry(), lastB);
        QCOMPARE(logLinesContaining(QStringLiteral("LayoutConstraint cycle in cyclicContainer")), 1);
    }

    void aWidgetWithoutParentCannotBeConstrained()
    {
        QWidget orphan;
        C c = C::size(&orphan, A::width, 10);
        c.setActive(true);
        QVERIFY(!c.isActive());
        QVERIFY(C().setMultiplier(2).isNull());
    }
};

QTEST_MAIN(LayoutConstraintTest)
#include "tst_layoutconstraint.moc"
