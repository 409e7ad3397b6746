#include <mirakit/interactive/Interactive.h>
#include <mirakit/interactive/InteractiveStateable.h>

#include <QTest>

using namespace mira;
using S = Interactive::State;

namespace {

// A conformer that records every notification, as a control would apply its look.
class Recorder : public InteractiveStateable {
public:
    QList<QPair<S, S>> calls; // (last, now)
    void interactiveStateDidChanged(S last) override { calls.append({ last, interactiveState() }); }
};

} // namespace

class InteractiveTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void membersHaveTheirRawValues()
    {
        QCOMPARE(S::normal.rawValue(), 1u);
        QCOMPARE(S::selected.rawValue(), 2u);
        QCOMPARE(S::disabled.rawValue(), 4u);
        QCOMPARE(S::clicked.rawValue(), 8u);
        QCOMPARE(S::hovered.rawValue(), 16u);
        QCOMPARE((S { S::selected, S::hovered }).rawValue(), 18u);
        // An empty member list is the empty set, not normal.
        const S empty {};
        QCOMPARE(empty.rawValue(), 0u);
        QVERIFY(empty.isEmpty());
        QVERIFY(empty != S::normal);
    }

    void setAlgebra()
    {
        const S sh = S::selected | S::hovered;
        QCOMPARE(sh.intersection(S::hovered | S::clicked), S::hovered);
        QCOMPARE(sh.symmetricDifference(S::hovered | S::clicked), S::selected | S::clicked);
        QCOMPARE(sh.subtracting(S::hovered), S::selected);
        QVERIFY(sh.contains(S::hovered));
        QVERIFY(!sh.contains(S::hovered | S::clicked));
        QVERIFY(S::hovered.isSubset(sh));
        QVERIFY(sh.isSuperset(S::selected));
        QVERIFY(sh.isDisjoint(S::disabled | S::normal));
        QVERIFY(!sh.isDisjoint(S::selected));

        S s = S::normal;
        QVERIFY(s.insert(S::hovered));
        QVERIFY(!s.insert(S::hovered));
        QCOMPARE(s.rawValue(), 17u);
        QCOMPARE(s.remove(S::hovered | S::clicked), std::optional<S>(S::hovered));
        QCOMPARE(s.remove(S::clicked), std::nullopt);
        QCOMPARE(s.update(S::normal | S::selected), std::optional<S>(S::normal));
        QCOMPARE(s, S::normal | S::selected);
        QCOMPARE(qHash(S(18)), qHash(S::selected | S::hovered));
    }

    void fallbackOrder_data()
    {
        QTest::addColumn<quint64>("raw");
        QTest::addColumn<QList<quint64>>("expected");
        const auto row = [](quint64 raw, QList<quint64> list) {
            QTest::addRow("%llu", static_cast<unsigned long long>(raw)) << raw << list;
        };
        row(1, { 1 });
        row(2, { 2, 1 });
        row(4, { 4, 1 });
        row(6, { 6, 4, 2, 1 });
        row(8, { 24, 8, 16, 1 });
        row(10, { 26, 10, 18, 2, 1 });
        row(12, { 1 });
        row(14, { 1 });
        row(16, { 16, 1 });
        row(18, { 18, 2, 1 });
        row(20, { 20, 4, 1 });
        row(22, { 22, 6, 4, 2, 1 });
        row(24, { 24, 8, 16, 1 });
        row(26, { 26, 10, 18, 2, 1 });
        row(28, { 1 });
        row(30, { 1 });
        row(0, { 1 });
        row(3, { 1 });
        row(17, { 1 });
        row(25, { 1 });
        row(31, { 1 });
        row(32, { 1 });
        row(1ull << 40, { 1 });
    }
    void fallbackOrder()
    {
        QFETCH(quint64, raw);
        QFETCH(QList<quint64>, expected);
        QList<quint64> actual;
        for (S state : statePriority(S(raw)))
            actual << state.rawValue();
        QCOMPARE(actual, expected);
        // The lists are constants: the same object for the same state.
        QCOMPARE(&statePriority(S(raw)), &statePriority(S(raw)));
    }

    void resolutionFollowsTheFallbackOrder()
    {
        StateTable<QString> table;
        QCOMPARE(adapterValue(table, statePriority(S::normal)), std::nullopt);
        table.insert(S::normal, QStringLiteral("normal"));
        table.insert(S::hovered, QStringLiteral("hovered"));
        // Selected outranks hovered: a selected, hovered control never uses the hovered entry.
        QCOMPARE(adapterValue(table, statePriority(S::selected | S::hovered)), QStringLiteral("normal"));
        // A press whose pointer left still resolves clicked+hovered, then clicked, then hovered.
        QCOMPARE(adapterValue(table, statePriority(S::clicked)), QStringLiteral("hovered"));
        table.insert(S::clicked, QStringLiteral("clicked"));
        QCOMPARE(adapterValue(table, statePriority(S::clicked)), QStringLiteral("clicked"));
        table.insert(S::clicked | S::hovered, QStringLiteral("pressed inside"));
        QCOMPARE(adapterValue(table, statePriority(S::clicked)), QStringLiteral("pressed inside"));
        // Disabled outranks selected.
        table.insert(S::selected, QStringLiteral("selected"));
        table.insert(S::disabled, QStringLiteral("disabled"));
        QCOMPARE(adapterValue(table, statePriority(S::selected | S::disabled)), QStringLiteral("disabled"));
        // A disabled control whose press flag is still set resolves only through normal.
        QCOMPARE(adapterValue(table, statePriority(S::disabled | S::clicked)), QStringLiteral("normal"));
        QCOMPARE(adapterValue(table, statePriority(S::disabled | S::clicked | S::hovered)), QStringLiteral("normal"));
        // Keys match exact combinations only.
        QCOMPARE(adapterValue(table, { S::selected | S::clicked }), std::nullopt);
    }

    void explicitNoneEndsTheSearch()
    {
        StateTable<std::optional<int>> images;
        images.insert(S::normal, 7);
        images.insert(S::hovered, std::nullopt);
        const std::optional<std::optional<int>> hovered = adapterValue(images, statePriority(S::hovered));
        QVERIFY(hovered.has_value());
        QVERIFY(!hovered->has_value());
        QCOMPARE(adapterValue(images, statePriority(S::selected)), std::optional<std::optional<int>>(7));
        QCOMPARE(adapterValue(StateTable<std::optional<int>>(), statePriority(S::hovered)),
            (std::optional<std::optional<int>>()));
    }

    void gradientDirectionDefaults()
    {
        using D = Interactive::GradientDirection;
        QCOMPARE(Interactive::info(D::horizontal).start, QPointF(0, 0.5));
        QCOMPARE(Interactive::info(D::horizontal).end, QPointF(1, 0.5));
        QCOMPARE(Interactive::info(D::vertical).start, QPointF(0.5, 1));
        QCOMPARE(Interactive::info(D::vertical).end, QPointF(0.5, 0));
        QCOMPARE(Interactive::info(D::obliqueUpward).end, QPointF(1, 1));
        QCOMPARE(Interactive::info(D::obliqueDescent).start, QPointF(0, 1));
        QCOMPARE(Interactive::info(D::obliqueDescent).locations, (QList<qreal> { 0, 1 }));
    }

    void fixStateDerivesTheStateFromTheFlags()
    {
        Recorder r;
        QCOMPARE(r.interactiveState(), S::normal);
        QVERIFY(r.isEnabled());
        r.fixState();
        // Notified on every recomputation, also without a change.
        QCOMPARE(r.calls.size(), 1);
        QCOMPARE(r.calls.last(), qMakePair(S::normal, S::normal));

        r.setEntered(true);
        QCOMPARE(r.interactiveState(), S::normal); // plain stored flag: nothing recomputed
        r.fixState();
        QCOMPARE(r.calls.last(), qMakePair(S::normal, S::hovered));
        r.setClicked(true);
        r.setSelected(true);
        r.fixState();
        QCOMPARE(r.interactiveState(), S::selected | S::clicked | S::hovered);
        r.setEnabled(false);
        r.fixState();
        QCOMPARE(r.interactiveState().rawValue(), 30u);
        QCOMPARE(r.calls.last().first.rawValue(), 26u);
    }

    void adapterStatePicksTheFirstStateOfInterest()
    {
        Recorder r;
        QCOMPARE(r.adapterState({}), S::normal);
        r.setSelected(true);
        r.setEntered(true);
        r.fixState();
        QCOMPARE(r.adapterState({ S::hovered, S::selected }), S::selected);
        QCOMPARE(r.adapterState({ S::hovered }), S::normal);
        QCOMPARE(r.adapterState({ S::selected | S::hovered, S::selected }), S::selected | S::hovered);
    }

    void eventActionsAreStoredAndRemoved()
    {
        Recorder r;
        int calls = 0;
        r.setEventAction([&calls](const QVariant &) { ++calls; }, Interactive::Event::mouseDown);
        QVERIFY(r.interactiveEventActions().contains(Interactive::Event::mouseDown));
        r.interactiveEventActions().value(Interactive::Event::mouseDown)(QVariant());
        QCOMPARE(calls, 1);
        r.setEventAction({}, Interactive::Event::mouseDown);
        QVERIFY(r.interactiveEventActions().isEmpty());
    }
};

QTEST_APPLESS_MAIN(InteractiveTest)
#include "tst_interactive.moc"
