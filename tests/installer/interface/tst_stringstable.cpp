#include <platform/StringsTable.h>

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using platform::StringsTable;

namespace {

QByteArray utf16(const QString &text, bool littleEndian)
{
    QStringEncoder encoder(
        littleEndian ? QStringEncoder::Utf16LE : QStringEncoder::Utf16BE, QStringEncoder::Flag::WriteBom);
    return encoder.encode(text);
}

const char goodTable[] = "/* A header comment\n"
                         "   over two lines */\n"
                         "\"Greeting\" = \"Hello\";\n"
                         "// a line comment\n"
                         "\"Quote\" = \"Say \\\"hi\\\" \\\\ now\";\n"
                         "\"Controls\"=\"a\\nb\\tc\\rd\\'e\\/f\";\n"
                         "\"Unicode\" = \"caf\\U00e9 \\u00E9 \\UD83D\\UDE00 \\101\";\n"
                         "Plain_Key = plain.value-1;\n"
                         "\"SameAsKey\";\n"
                         "\"Multi\" = \"first\nsecond\"; /* trailing */ \"Native\" = \"日本語 عربي\";\n";

} // namespace

class StringsTableTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsEveryFormOfEntry()
    {
        QString error;
        const auto table = StringsTable::parse(QByteArray(goodTable), &error);
        QVERIFY2(table, qPrintable(error));
        QVERIFY(error.isEmpty());
        QCOMPARE(table->size(), 8);
        QCOMPARE(table->value(QStringLiteral("Greeting")), QStringLiteral("Hello"));
        QCOMPARE(table->value(QStringLiteral("Quote")), QStringLiteral("Say \"hi\" \\ now"));
        QCOMPARE(table->value(QStringLiteral("Controls")), QStringLiteral("a\nb\tc\rd'e/f"));
        QCOMPARE(table->value(QStringLiteral("Unicode")), QStringLiteral("café é \U0001F600 A"));
        QCOMPARE(table->value(QStringLiteral("Plain_Key")), QStringLiteral("plain.value-1"));
        QCOMPARE(table->value(QStringLiteral("SameAsKey")), QStringLiteral("SameAsKey"));
        QCOMPARE(table->value(QStringLiteral("Multi")), QStringLiteral("first\nsecond"));
        QCOMPARE(table->value(QStringLiteral("Native")), QStringLiteral("日本語 عربي"));
    }

    void acceptsEveryEncodingWithItsByteOrderMark()
    {
        const QString text = QString::fromUtf8(goodTable);
        const auto reference = StringsTable::parse(text.toUtf8());
        QVERIFY(reference);
        const auto withBom = StringsTable::parse(QByteArray("\xEF\xBB\xBF") + text.toUtf8());
        const auto little = StringsTable::parse(utf16(text, true));
        const auto big = StringsTable::parse(utf16(text, false));
        QVERIFY(withBom && little && big);
        QCOMPARE(*withBom, *reference);
        QCOMPARE(*little, *reference);
        QCOMPARE(*big, *reference);
    }

    void emptyInputIsAnEmptyTable()
    {
        for (const QByteArray &data : { QByteArray(), QByteArray("  \n\t"), QByteArray("/* nothing */ // here"),
                 QByteArray("\xEF\xBB\xBF"), QByteArray("\xFF\xFE") }) {
            const auto table = StringsTable::parse(data);
            QVERIFY2(table, data.toHex().constData());
            QVERIFY(table->isEmpty());
        }
    }

    void laterDuplicateWinsWithAWarning()
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("duplicate key .*Key.* line 2")));
        const auto table = StringsTable::parse("\"Key\" = \"first\";\n\"Key\" = \"second\";\n");
        QVERIFY(table);
        QCOMPARE(table->value(QStringLiteral("Key")), QStringLiteral("second"));
    }

    void rejectsMalformedInputAsAWhole_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("message");

        QTest::newRow("unterminated string")
            << QByteArray("\"a\" = \"b\";\n\"c\" = \"never closed;\n") << QStringLiteral("line 2: unterminated string");
        QTest::newRow("backslash at end") << QByteArray("\"a\" = \"b\\") << QStringLiteral("unterminated string");
        QTest::newRow("missing final semicolon")
            << QByteArray("\"a\" = \"b\";\n\"c\" = \"d\"") << QStringLiteral("line 2: expected ';'");
        QTest::newRow("missing semicolon between entries")
            << QByteArray("\"a\" = \"b\"\n\"c\" = \"d\";") << QStringLiteral("expected ';'");
        QTest::newRow("missing equals") << QByteArray("\"a\" \"b\";") << QStringLiteral("expected '=' or ';'");
        QTest::newRow("missing value") << QByteArray("\"a\" = ;") << QStringLiteral("where a value should start");
        QTest::newRow("value cut off") << QByteArray("\"a\" =") << QStringLiteral("expected a value");
        QTest::newRow("stray equals") << QByteArray("= \"b\";") << QStringLiteral("'='");
        QTest::newRow("bad escape") << QByteArray("\"a\" = \"\\q\";") << QStringLiteral("unknown escape \\'q'");
        QTest::newRow("short unicode escape")
            << QByteArray("\"a\" = \"\\U12\";") << QStringLiteral("four hexadecimal digits");
        QTest::newRow("lone high surrogate escape")
            << QByteArray("\"a\" = \"\\UD83Dx\";") << QStringLiteral("unpaired surrogate");
        QTest::newRow("lone low surrogate escape")
            << QByteArray("\"a\" = \"\\uDE00\";") << QStringLiteral("unpaired surrogate");
        QTest::newRow("octal too large") << QByteArray("\"a\" = \"\\777\";") << QStringLiteral("octal");
        QTest::newRow("unterminated comment")
            << QByteArray("\"a\" = \"b\";\n/* open") << QStringLiteral("line 2: unterminated comment");
        QTest::newRow("truncated UTF-16")
            << utf16(QStringLiteral("\"a\" = \"b\";"), true).chopped(1) << QStringLiteral("truncated UTF-16");
        QByteArray loneSurrogate = utf16(QStringLiteral("\"a\" = \"b\";"), false);
        loneSurrogate.insert(4, QByteArray("\xD8\x00", 2));
        QTest::newRow("raw lone surrogate in UTF-16") << loneSurrogate << QStringLiteral("unpaired surrogate");
        QTest::newRow("UTF-16 without mark") << QByteArray("\"\0a\0\"\0", 6) << QStringLiteral("NUL");
        QTest::newRow("invalid UTF-8") << QByteArray("\"a\" = \"\xC3\x28\";") << QStringLiteral("invalid UTF-8");
        QTest::newRow("UTF-8 cut mid-character") << QByteArray("\"a\" = \"\xE2\x82") << QStringLiteral("invalid UTF-8");
        QTest::newRow("NUL byte") << QByteArray("\"a\" = \"b\0c\";", 11) << QStringLiteral("line 1: NUL");
        QTest::newRow("binary garbage") << QByteArray::fromHex("89504e470d0a1a0a0000000d49484452")
                                        << QStringLiteral("invalid UTF-8");
        QTest::newRow("too large") << QByteArray(StringsTable::MaximumFileSize + 1, ' ') << QStringLiteral("larger");
    }

    void rejectsMalformedInputAsAWhole()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, message);
        QString error = QStringLiteral("stale");
        const auto table = StringsTable::parse(data, &error);
        QVERIFY2(!table, "a malformed table must not be accepted");
        QVERIFY2(error.contains(message), qPrintable(error));
    }

    // Cutting a good table anywhere either fails or yields only complete,
    // correct entries: a half-read entry never gets through.
    void everyPrefixIsAllOrNothing()
    {
        const QByteArray data(goodTable);
        const auto full = StringsTable::parse(data);
        QVERIFY(full);
        for (qsizetype length = 0; length < data.size(); ++length) {
            QString error;
            const auto table = StringsTable::parse(data.left(length), &error);
            if (!table) {
                QVERIFY2(!error.isEmpty(), qPrintable(QString::number(length)));
                continue;
            }
            for (auto it = table->cbegin(); it != table->cend(); ++it)
                QCOMPARE(full->value(it.key()), it.value());
        }
    }

    void survivesRandomBytes()
    {
        QRandomGenerator random(20240611);
        int rejected = 0;
        for (int round = 0; round < 500; ++round) {
            QByteArray data(random.bounded(1, 300), Qt::Uninitialized);
            for (char &byte : data)
                byte = char(random.bounded(256));
            QString error;
            const auto table = StringsTable::parse(data, &error);
            if (!table) {
                QVERIFY(!error.isEmpty());
                ++rejected;
            }
        }
        QVERIFY(rejected > 450);
    }

    void loadCachesUntilTheFileChanges()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Localizable.strings"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\"k\" = \"one\";");
        file.close();
        const QDateTime stamp = QFileInfo(path).lastModified();

        auto table = StringsTable::load(path);
        QVERIFY(table);
        QCOMPARE(table->value(QStringLiteral("k")), QStringLiteral("one"));

        // Same size and time: answered from the cache.
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\"k\" = \"two\";");
        file.close();
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(stamp, QFileDevice::FileModificationTime));
        file.close();
        QCOMPARE(StringsTable::load(path)->value(QStringLiteral("k")), QStringLiteral("one"));

        // A changed file is read again, also when it has become malformed.
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\"k\" = \"three\"");
        file.close();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("rejected.*expected ';'")));
        QString error;
        QVERIFY(!StringsTable::load(path, &error));
        QVERIFY2(error.startsWith(path) && error.contains(QStringLiteral("line 1")), qPrintable(error));

        StringsTable::clearCache();
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\"k\" = \"four\";");
        file.close();
        QCOMPARE(StringsTable::load(path)->value(QStringLiteral("k")), QStringLiteral("four"));
    }

    void loadRefusesMissingAndOversizedFiles()
    {
        QTemporaryDir dir;
        QString error;
        QVERIFY(!StringsTable::load(dir.filePath(QStringLiteral("absent.strings")), &error));
        QVERIFY(error.contains(QStringLiteral("no such file")));
        QVERIFY(!StringsTable::load(dir.path(), &error));

        QFile big(dir.filePath(QStringLiteral("big.strings")));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(StringsTable::MaximumFileSize + 1));
        big.close();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("rejected.*larger")));
        QVERIFY(!StringsTable::load(big.fileName(), &error));
        QVERIFY(error.contains(QStringLiteral("larger")));
    }
};

QTEST_GUILESS_MAIN(StringsTableTest)
#include "tst_stringstable.moc"
