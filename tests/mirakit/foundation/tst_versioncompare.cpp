#include <mirakit/foundation/VersionCompare.h>

#include <QTest>

using mira::ComparisonResult;

Q_DECLARE_METATYPE(mira::ComparisonResult)

class VersionCompareTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void compare_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("other");
        QTest::addColumn<ComparisonResult>("expected");
        const auto asc = ComparisonResult::orderedAscending;
        const auto same = ComparisonResult::orderedSame;
        const auto desc = ComparisonResult::orderedDescending;
        QTest::newRow("numeric not textual") << QStringLiteral("2.10") << QStringLiteral("2.9") << desc;
        QTest::newRow("smaller") << QStringLiteral("1.2.3") << QStringLiteral("1.3.0") << asc;
        QTest::newRow("equal") << QStringLiteral("4.0.1") << QStringLiteral("4.0.1") << same;
        QTest::newRow("trailing component ignored") << QStringLiteral("1.0") << QStringLiteral("1.0.1") << same;
        QTest::newRow("longer trailing ignored") << QStringLiteral("1.2.0.5") << QStringLiteral("1.2") << same;
        QTest::newRow("first difference decides") << QStringLiteral("2.0.0") << QStringLiteral("1.99.99") << desc;
        QTest::newRow("leading zeros") << QStringLiteral("1.010") << QStringLiteral("1.10") << same;
        QTest::newRow("empty receiver") << QString() << QStringLiteral("3.1") << same;
        QTest::newRow("both empty") << QString() << QString() << same;
        QTest::newRow("only dots") << QStringLiteral("...") << QStringLiteral("1") << same;
        QTest::newRow("empty pieces dropped") << QStringLiteral("1..3") << QStringLiteral("1.2") << desc;
        QTest::newRow("suffix after digits") << QStringLiteral("3rc1.0") << QStringLiteral("3.1") << asc;
        QTest::newRow("word reads as zero") << QStringLiteral("beta") << QStringLiteral("0") << same;
        QTest::newRow("word below one") << QStringLiteral("1.beta") << QStringLiteral("1.1") << asc;
        QTest::newRow("sign is not a digit") << QStringLiteral("-5") << QStringLiteral("0") << same;
        QTest::newRow("beyond 64 bits") << QStringLiteral("1.99999999999999999999999")
                                        << QStringLiteral("1.18446744073709551616") << desc;
        QTest::newRow("beyond 64 bits equal") << QStringLiteral("123456789012345678901234567890")
                                              << QStringLiteral("0123456789012345678901234567890") << same;
        QTest::newRow("arabic digits are not decimal") << QStringLiteral("\u0661") << QStringLiteral("0") << same;
    }
    void compare()
    {
        QFETCH(QString, version);
        QFETCH(QString, other);
        QFETCH(ComparisonResult, expected);
        QCOMPARE(mira::versionCompare(version, other), expected);
    }

    void isAntisymmetric_data() { compare_data(); }
    void isAntisymmetric()
    {
        QFETCH(QString, version);
        QFETCH(QString, other);
        QFETCH(ComparisonResult, expected);
        QCOMPARE(int(mira::versionCompare(other, version)), -int(expected));
    }

    void hugeInput()
    {
        const QString huge = QString(200000, QLatin1Char('9')) + QStringLiteral(".1");
        QCOMPARE(mira::versionCompare(huge, QStringLiteral("9.2")), ComparisonResult::orderedDescending);
        QString manyDots;
        for (int i = 0; i < 50000; ++i)
            manyDots += QStringLiteral("1.");
        QCOMPARE(mira::versionCompare(manyDots, manyDots + QStringLiteral("2")), ComparisonResult::orderedSame);
    }
};

QTEST_GUILESS_MAIN(VersionCompareTest)
#include "tst_versioncompare.moc"
