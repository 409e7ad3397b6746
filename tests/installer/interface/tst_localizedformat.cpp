#include <installer/interface/LocalizedFormat.h>

#include <QTest>

class LocalizedFormatTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fillsPlaceholders_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("expected");

        const QStringList ab { QStringLiteral("a"), QStringLiteral("b") };
        QTest::newRow("in order") << QStringLiteral("%@ and %@") << ab << QStringLiteral("a and b");
        QTest::newRow("fewer arguments") << QStringLiteral("%@ and %@") << QStringList { QStringLiteral("a") }
                                         << QStringLiteral("a and ");
        QTest::newRow("no arguments") << QStringLiteral("in %@.") << QStringList() << QStringLiteral("in .");
        QTest::newRow("extra arguments") << QStringLiteral("%@!") << ab << QStringLiteral("a!");
        QTest::newRow("positional") << QStringLiteral("%2$@ before %1$@") << ab << QStringLiteral("b before a");
        QTest::newRow("positional twice") << QStringLiteral("%1$@%1$@") << ab << QStringLiteral("aa");
        QTest::newRow("positional out of range") << QStringLiteral("[%3$@]") << ab << QStringLiteral("[]");
        QTest::newRow("positional 99") << QStringLiteral("[%99$@]") << ab << QStringLiteral("[]");
        QTest::newRow("positional zero") << QStringLiteral("%0$@") << ab << QStringLiteral("%0$@");
        QTest::newRow("positional three digits") << QStringLiteral("%100$@") << ab << QStringLiteral("%100$@");
        QTest::newRow("positional keeps the sequence") << QStringLiteral("%@ %2$@ %@") << ab << QStringLiteral("a b b");
        QTest::newRow("percent") << QStringLiteral("100%% done") << ab << QStringLiteral("100% done");
        QTest::newRow("escaped placeholder") << QStringLiteral("%%@") << ab << QStringLiteral("%@");
        QTest::newRow("printf directives stay")
            << QStringLiteral("%d of %s, %.2f %ld") << ab << QStringLiteral("%d of %s, %.2f %ld");
        QTest::newRow("positional other directive") << QStringLiteral("%1$d %1$") << ab << QStringLiteral("%1$d %1$");
        QTest::newRow("trailing percent") << QStringLiteral("50%") << ab << QStringLiteral("50%");
        QTest::newRow("placeholder then percent") << QStringLiteral("%@%") << ab << QStringLiteral("a%");
        QTest::newRow("lone percent") << QStringLiteral("%") << QStringList() << QStringLiteral("%");
        QTest::newRow("empty") << QString() << ab << QString();
        QTest::newRow("arguments are not rescanned")
            << QStringLiteral("<%@|%@>") << QStringList { QStringLiteral("%@%%"), QStringLiteral("%1$@") }
            << QStringLiteral("<%@%%|%1$@>");
        QTest::newRow("right-to-left text")
            << QStringLiteral("لا توجد مساحة في %@.") << QStringList { QStringLiteral("/Applications") }
            << QStringLiteral("لا توجد مساحة في /Applications.");
    }

    void fillsPlaceholders()
    {
        QFETCH(QString, format);
        QFETCH(QStringList, args);
        QFETCH(QString, expected);
        QCOMPARE(formatLocalized(format, args), expected);
    }

    // Many placeholders against no arguments must neither read past the
    // list nor grow without bound.
    void manyPlaceholdersWithoutArguments()
    {
        const QString format = QStringLiteral("%@%99$@% ").repeated(10000);
        const QString result = formatLocalized(format, {});
        QCOMPARE(result, QStringLiteral("% ").repeated(10000));
    }
};

QTEST_GUILESS_MAIN(LocalizedFormatTest)
#include "tst_localizedformat.moc"
