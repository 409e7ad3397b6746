#include <mirakit/windows/LayoutAxisSolver_p.h>

#include <QTest>

#include <limits>

using namespace mira;
using S = LayoutAxisSolver;
using Anchor = LayoutAxisSolver::Anchor;
using Relation = LayoutAxisSolver::Relation;

namespace {

S::Rule rule(int item, Anchor anchor, int other, Anchor otherAnchor, qreal constant,
    Relation relation = Relation::equal, float priority = 1000)
{
    S::Rule r;
    r.item = item;
    r.anchor = anchor;
    r.relation = relation;
    r.other = other;
    r.otherAnchor = otherAnchor;
    r.constant = constant;
    r.priority = priority;
    return r;
}

S::Rule fixedLength(int item, qreal length, Relation relation = Relation::equal, float priority = 1000)
{
    return rule(item, Anchor::length, S::noItem, Anchor::start, length, relation, priority);
}

} // namespace

class LayoutAxisSolverTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A chain container ← c ← b ← a: c hangs off the container's end, b off
    // c's start, a off b's start. Every activation order must give one answer.
    void chainsSettleInEveryOrder_data()
    {
        QTest::addColumn<QList<int>>("order");
        QList<int> order { 0, 1, 2 };
        do {
            QTest::addRow("%d%d%d", order[0], order[1], order[2]) << order;
        } while (std::next_permutation(order.begin(), order.end()));
    }

    void chainsSettleInEveryOrder()
    {
        QFETCH(QList<int>, order);
        S solver;
        const int container = solver.addItem(0, 400, 400);
        const int a = solver.addItem(5, 10, 40);
        const int b = solver.addItem(5, 10, 50);
        const int c = solver.addItem(5, 10, 60);
        const QList<QList<S::Rule>> links {
            { rule(a, Anchor::end, b, Anchor::start, -10) },
            { rule(b, Anchor::end, c, Anchor::start, -10) },
            { rule(c, Anchor::end, container, Anchor::end, -20) },
        };
        for (int link : order) {
            for (const S::Rule &r : links[link])
                solver.addRule(r);
        }
        QVERIFY(solver.solve());
        QCOMPARE(solver.position(c), 320.0);
        QCOMPARE(solver.length(c), 60.0);
        QCOMPARE(solver.position(b), 260.0);
        QCOMPARE(solver.position(a), 210.0);
        QCOMPARE(solver.length(a), 40.0);
        QCOMPARE(solver.position(container), 0.0);
        QCOMPARE(solver.length(container), 400.0);
    }

    void lengthsAndBounds_data()
    {
        QTest::addColumn<QList<S::Rule>>("rules");
        QTest::addColumn<qreal>("position");
        QTest::addColumn<qreal>("length");

        QTest::newRow("no rules: left alone") << QList<S::Rule> {} << 7.0 << 1.0;
        QTest::newRow("start alone: preferred length")
            << QList<S::Rule> { rule(1, Anchor::start, 0, Anchor::start, 3) } << 3.0 << 30.0;
        QTest::newRow("start and end give the length") << QList<S::Rule> { rule(1, Anchor::start, 0, Anchor::start, 10),
            rule(1, Anchor::end, 0, Anchor::end, -10) } << 10.0
                                                       << 180.0;
        QTest::newRow("higher priority wins")
            << QList<S::Rule> { fixedLength(1, 80, Relation::equal, 750), fixedLength(1, 50, Relation::equal, 250) }
            << 7.0 << 80.0;
        QTest::newRow("later rule wins a tie")
            << QList<S::Rule> { fixedLength(1, 80), fixedLength(1, 50) } << 7.0 << 50.0;
        QTest::newRow("minimum raises") << QList<S::Rule> { fixedLength(1, 10),
            fixedLength(1, 40, Relation::greaterThanOrEqual) }
                                        << 7.0 << 40.0;
        QTest::newRow("maximum lowers") << QList<S::Rule> { fixedLength(1, 500),
            fixedLength(1, 120, Relation::lessThanOrEqual) }
                                        << 7.0 << 120.0;
        QTest::newRow("minimum beats a smaller maximum") << QList<S::Rule> {
            fixedLength(1, 40, Relation::greaterThanOrEqual), fixedLength(1, 20, Relation::lessThanOrEqual)
        } << 7.0 << 40.0;
        QTest::newRow("maximum relative to the container")
            << QList<S::Rule> { rule(1, Anchor::length, 0, Anchor::length, -190, Relation::lessThanOrEqual) } << 7.0
            << 10.0;
        QTest::newRow("centred on the container")
            << QList<S::Rule> { rule(1, Anchor::center, 0, Anchor::center, 0) } << 85.0 << 30.0;
        QTest::newRow("end and length") << QList<S::Rule> { rule(1, Anchor::end, 0, Anchor::end, 0),
            fixedLength(1, 50) } << 150.0
                                        << 50.0;
        QTest::newRow("NaN and infinite values are ignored")
            << QList<S::Rule> { rule(1, Anchor::start, 0, Anchor::start, std::numeric_limits<qreal>::quiet_NaN()),
                   rule(1, Anchor::length, 0, Anchor::length, std::numeric_limits<qreal>::infinity()) }
            << 7.0 << 30.0;
        QTest::newRow("negative preferred length is clamped to 0")
            << QList<S::Rule> { rule(1, Anchor::start, 0, Anchor::end, 0), rule(1, Anchor::end, 0, Anchor::start, 0) }
            << 200.0 << 0.0;
    }

    void lengthsAndBounds()
    {
        QFETCH(QList<S::Rule>, rules);
        QFETCH(qreal, position);
        QFETCH(qreal, length);
        S solver;
        solver.addItem(0, 200, 200);
        solver.addItem(7, 1, 30);
        for (const S::Rule &r : rules)
            solver.addRule(r);
        QVERIFY(solver.solve());
        QCOMPARE(solver.position(1), position);
        QCOMPARE(solver.length(1), length);
    }

    void aCycleIsReportedAndMovesNothing()
    {
        S solver;
        solver.addItem(0, 200, 200);
        const int a = solver.addItem(1, 10, 10);
        const int b = solver.addItem(2, 20, 20);
        solver.addRule(rule(a, Anchor::start, b, Anchor::end, 10));
        solver.addRule(rule(b, Anchor::start, a, Anchor::end, 10));
        QVERIFY(!solver.solve());
        QCOMPARE(solver.position(a), 1.0);
        QCOMPARE(solver.length(a), 10.0);
        QCOMPARE(solver.position(b), 2.0);
        QCOMPARE(solver.length(b), 20.0);
    }

    void rulesNamingUnknownItemsAreIgnored()
    {
        S solver;
        solver.addItem(0, 200, 200);
        solver.addRule(rule(1, Anchor::start, 0, Anchor::start, 10));
        solver.addRule(rule(0, Anchor::start, 5, Anchor::start, 10));
        solver.addRule(rule(0, Anchor::start, -7, Anchor::start, 10));
        QVERIFY(solver.solve());
        QCOMPARE(solver.position(0), 0.0);
    }
};

QTEST_GUILESS_MAIN(LayoutAxisSolverTest)
#include "tst_layoutaxissolver.moc"
