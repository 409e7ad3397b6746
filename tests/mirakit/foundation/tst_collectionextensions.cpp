#include <mirakit/foundation/CollectionExtensions.h>

#include <QHash>
#include <QMap>
#include <QSet>
#include <QStringList>
#include <QTest>
#include <QVariant>

#include <map>
#include <random>
#include <vector>

using mira::operator+;

namespace {
// Equality without ordering, to exercise the quadratic paths.
struct Tag {
    int id;
    friend bool operator==(const Tag &, const Tag &) = default;
};
} // namespace

class CollectionExtensionsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void merge_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty skipped") << QStringList { QStringLiteral("a"), QString(), QStringLiteral("b") }
                                       << QStringLiteral("a, b");
        QTest::newRow("leading and trailing empty")
            << QStringList { QString(), QStringLiteral("a"), QString() } << QStringLiteral("a");
        QTest::newRow("only empty") << QStringList { QString(), QString() } << QString();
        QTest::newRow("nothing") << QStringList {} << QString();
        QTest::newRow("spaces are not empty")
            << QStringList { QStringLiteral(" "), QStringLiteral("b") } << QStringLiteral(" , b");
    }
    void merge()
    {
        QFETCH(QStringList, texts);
        QFETCH(QString, expected);
        QCOMPARE(mira::merge(texts, QStringLiteral(", ")), expected);
        const std::vector<QString> vector(texts.begin(), texts.end());
        QCOMPARE(mira::merge(vector, QStringLiteral(", ")), expected);
    }

    void firstNotEmpty()
    {
        QCOMPARE(mira::firstNotEmpty(QStringList { QString(), QStringLiteral("x"), QStringLiteral("y") }),
            std::optional<QString>(QStringLiteral("x")));
        QCOMPARE(mira::firstNotEmpty(QStringList { QString(), QString() }), std::nullopt);
        QCOMPARE(mira::firstNotEmpty(QStringList {}), std::nullopt);
    }

    void randomPicksDistinctPositions_data()
    {
        QTest::addColumn<qsizetype>("n");
        QTest::addColumn<qsizetype>("expectedCount");
        QTest::newRow("some") << qsizetype(3) << qsizetype(3);
        QTest::newRow("all") << qsizetype(10) << qsizetype(10);
        QTest::newRow("more than there are") << qsizetype(25) << qsizetype(10);
        QTest::newRow("none") << qsizetype(0) << qsizetype(0);
        QTest::newRow("negative") << qsizetype(-4) << qsizetype(0);
    }
    void randomPicksDistinctPositions()
    {
        QFETCH(qsizetype, n);
        QFETCH(qsizetype, expectedCount);
        const QList<int> numbers { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 };
        for (unsigned seed = 1; seed <= 50; ++seed) {
            std::mt19937 generator(seed);
            const QList<int> picked = mira::random(numbers, n, generator);
            QCOMPARE(picked.size(), expectedCount);
            QCOMPARE(mira::removeDuplicates(picked).size(), picked.size());
            for (int value : picked)
                QVERIFY(numbers.contains(value));
        }
    }

    void randomKeepsRepeatedValuesAsSeparatePicks()
    {
        // Distinct positions, not distinct values: both 7s can be picked.
        const QList<int> sevens { 7, 7 };
        QCOMPARE(mira::random(sevens, 2), (QList<int> { 7, 7 }));
    }

    void randomReachesEveryElement()
    {
        const std::vector<int> numbers { 0, 1, 2, 3, 4 };
        std::mt19937 generator(7);
        QSet<int> firstPicks;
        for (int round = 0; round < 200; ++round)
            firstPicks.insert(mira::random(numbers, 1, generator).front());
        QCOMPARE(firstPicks.size(), 5);
        QVERIFY(mira::random(std::vector<int> {}, 3).empty());
    }

    void sameElement_data()
    {
        QTest::addColumn<QList<int>>("a");
        QTest::addColumn<QList<int>>("b");
        QTest::addColumn<bool>("expected");
        QTest::newRow("same set, repeats and order ignored") << QList<int> { 1, 2, 2 } << QList<int> { 2, 1 } << false;
        QTest::newRow("different element") << QList<int> { 1, 2 } << QList<int> { 1, 3 } << true;
        QTest::newRow("subset differs") << QList<int> { 1, 2 } << QList<int> { 1 } << true;
        QTest::newRow("superset differs") << QList<int> { 1 } << QList<int> { 1, 2 } << true;
        QTest::newRow("both empty") << QList<int> {} << QList<int> {} << false;
        QTest::newRow("one empty") << QList<int> {} << QList<int> { 4 } << true;
    }
    void sameElement()
    {
        QFETCH(QList<int>, a);
        QFETCH(QList<int>, b);
        QFETCH(bool, expected);
        QCOMPARE(mira::sameElement(a, b), expected);

        // The equality-only path answers the same.
        std::vector<Tag> tagsA, tagsB;
        for (int id : a)
            tagsA.push_back({ id });
        for (int id : b)
            tagsB.push_back({ id });
        QCOMPARE(mira::sameElement(tagsA, tagsB), expected);
    }

    void removeDuplicates()
    {
        QCOMPARE(mira::removeDuplicates(QList<int> { 3, 1, 3, 2, 1 }), (QList<int> { 3, 1, 2 }));
        QCOMPARE(mira::removeDuplicates(QStringList { QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("b") }),
            (QStringList { QStringLiteral("b"), QStringLiteral("a") }));
        QCOMPARE(mira::removeDuplicates(QList<int> {}), QList<int> {});
        const std::vector<Tag> tags = mira::removeDuplicates(std::vector<Tag> { { 5 }, { 4 }, { 5 }, { 5 } });
        QCOMPARE(tags.size(), size_t(2));
        QCOMPARE(tags[0].id, 5);
        QCOMPARE(tags[1].id, 4);
        const QVariantList variants = mira::removeDuplicates(QVariantList { 1, QStringLiteral("x"), 1 });
        QCOMPARE(variants, (QVariantList { 1, QStringLiteral("x") }));
    }

    void dictionaryPlus()
    {
        const QVariantMap left { { QStringLiteral("a"), 1 }, { QStringLiteral("b"), 2 } };
        const QVariantMap right { { QStringLiteral("b"), 20 }, { QStringLiteral("c"), 30 } };
        const QVariantMap expected { { QStringLiteral("a"), 1 }, { QStringLiteral("b"), 20 },
            { QStringLiteral("c"), 30 } };
        QCOMPARE(left + right, expected);
        QCOMPARE(left + std::optional<QVariantMap>(right), expected);
        QCOMPARE(left + std::optional<QVariantMap>(), left);

        const QHash<QString, int> hash
            = QHash<QString, int> { { QStringLiteral("k"), 1 } } + QHash<QString, int> { { QStringLiteral("k"), 2 } };
        QCOMPARE(hash.value(QStringLiteral("k")), 2);
        QCOMPARE(hash.size(), 1);

        const std::map<int, QString> standard = std::map<int, QString> { { 1, QStringLiteral("one") } }
            + std::map<int, QString> { { 1, QStringLiteral("uno") }, { 2, QStringLiteral("dos") } };
        QCOMPARE(standard.size(), size_t(2));
        QCOMPARE(standard.at(1), QStringLiteral("uno"));
    }

    void safeIndex_data()
    {
        QTest::addColumn<qsizetype>("index");
        QTest::addColumn<std::optional<int>>("expected");
        QTest::newRow("first") << qsizetype(0) << std::optional<int>(10);
        QTest::newRow("last") << qsizetype(2) << std::optional<int>(30);
        QTest::newRow("one past") << qsizetype(3) << std::optional<int>();
        QTest::newRow("negative") << qsizetype(-1) << std::optional<int>();
        QTest::newRow("huge") << std::numeric_limits<qsizetype>::max() << std::optional<int>();
    }
    void safeIndex()
    {
        QFETCH(qsizetype, index);
        QFETCH(std::optional<int>, expected);
        QCOMPARE(mira::safe(QList<int> { 10, 20, 30 }, index), expected);
        QCOMPARE(mira::safe(std::vector<int> { 10, 20, 30 }, index), expected);
    }
};

QTEST_GUILESS_MAIN(CollectionExtensionsTest)
#include "tst_collectionextensions.moc"
