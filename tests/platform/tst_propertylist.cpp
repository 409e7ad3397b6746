#include <platform/PropertyList.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using platform::PropertyList;

namespace {

void appendBigEndian(QByteArray &bytes, quint64 value, int length)
{
    for (int i = length - 1; i >= 0; --i)
        bytes += char((value >> (8 * i)) & 0xff);
}

/// A binary property list of arrays only: arrays[i] lists the objects array i holds.
QByteArray binaryArrays(const QList<QList<quint32>> &arrays, quint64 top = 0)
{
    QByteArray bytes = "bplist00";
    QList<quint64> offsets;
    for (const auto &references : arrays) {
        offsets.append(quint64(bytes.size()));
        if (references.size() < 15) {
            bytes += char(0xa0 | references.size());
        } else {
            bytes += "\xaf\x12";
            appendBigEndian(bytes, quint64(references.size()), 4);
        }
        for (quint32 reference : references)
            appendBigEndian(bytes, reference, 4);
    }
    const quint64 table = quint64(bytes.size());
    for (quint64 offset : offsets)
        appendBigEndian(bytes, offset, 4);
    bytes += QByteArray(6, '\0');
    bytes += "\x04\x04"; // offset and reference sizes
    appendBigEndian(bytes, quint64(arrays.size()), 8);
    appendBigEndian(bytes, top, 8);
    appendBigEndian(bytes, table, 8);
    return bytes;
}

/// @p depth arrays, each holding the next, repeated @p width times.
QByteArray binaryNested(int depth, int width = 1)
{
    QList<QList<quint32>> arrays;
    for (int i = 0; i + 1 < depth; ++i)
        arrays.append(QList<quint32>(width, quint32(i + 1)));
    arrays.append(QList<quint32>());
    return binaryArrays(arrays);
}

QByteArray xmlNested(int depth, const QByteArray &open = "<array>", const QByteArray &close = "</array>")
{
    return "<?xml version=\"1.0\"?><plist version=\"1.0\">" + open.repeated(depth) + close.repeated(depth) + "</plist>";
}

} // namespace

class PropertyListTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundTripsEveryType()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("all.plist"));
        const QVariantMap original {
            { QStringLiteral("text"), QStringLiteral("Grüße \"<&>\"") },
            { QStringLiteral("yes"), true },
            { QStringLiteral("no"), false },
            { QStringLiteral("count"), qint64(-42) },
            { QStringLiteral("ratio"), 0.25 },
            { QStringLiteral("bytes"), QByteArray("\x00\x01\xff", 3) },
            { QStringLiteral("when"), QDateTime::fromSecsSinceEpoch(1741564800, Qt::UTC) },
            { QStringLiteral("list"), QVariantList { QStringLiteral("a"), qint64(1) } },
            { QStringLiteral("nested"), QVariantMap { { QStringLiteral("k"), QStringLiteral("v") } } },
        };
        QVERIFY(PropertyList::writeDictionary(original, path));
        const auto read = PropertyList::readDictionary(path);
        QVERIFY(read);
        QCOMPARE(*read, original);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith("<?xml"));
    }

    // A value is written and read back exactly, or refused; never changed.
    void roundTripsEdgeValuesOrRefusesThem_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("held");
        const auto utc = [](int year, int month, int day, QTime time = QTime(0, 0)) {
            return QVariant(QDateTime(QDate(year, month, day), time, Qt::UTC));
        };
        QTest::newRow("date past 2069") << utc(2070, 1, 1) << true;
        QTest::newRow("date before 1932") << utc(1901, 1, 1) << true;
        QTest::newRow("year 9999") << utc(9999, 12, 31, QTime(23, 59, 59)) << true;
        QTest::newRow("a second before the epoch") << utc(2000, 12, 31, QTime(23, 59, 59)) << true;
        QTest::newRow("half a second before the epoch") << utc(2000, 12, 31, QTime(23, 59, 59, 500)) << false;
        QTest::newRow("year 10000") << utc(10000, 1, 1) << false;
        QTest::newRow("invalid date") << QVariant(QDateTime()) << false;
        QTest::newRow("smallest integer") << QVariant(std::numeric_limits<qint64>::min()) << true;
        QTest::newRow("largest integer") << QVariant(std::numeric_limits<qint64>::max()) << true;
        QTest::newRow("unsigned past 2^63") << QVariant(std::numeric_limits<quint64>::max()) << false;
        QTest::newRow("string holding a NUL") << QVariant(QStringLiteral("a\0b")) << false;
        QTest::newRow("key holding a NUL") << QVariant(QVariantMap { { QStringLiteral("a\0b"), 1 } }) << false;
        QTest::newRow("data holding NULs") << QVariant(QByteArray("\0\0x\0", 4)) << true;
    }

    void roundTripsEdgeValuesOrRefusesThem()
    {
        QFETCH(QVariant, value);
        QFETCH(bool, held);
        const QByteArray xml = PropertyList::toXml(value);
        QCOMPARE(!xml.isEmpty(), held);
        if (held)
            QCOMPARE(PropertyList::fromData(xml).value_or(QVariant()), value);
    }

    void readsDatesAndIntegersExactlyOrRefusesThem_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QVariant>("expected"); // invalid: refused
        const auto xml = [](const QByteArray &body) { return "<plist version=\"1.0\">" + body + "</plist>"; };
        QTest::newRow("xml date in 2070")
            << xml("<date>2070-01-01T00:00:00Z</date>") << QVariant(QDateTime(QDate(2070, 1, 1), QTime(0, 0), Qt::UTC));
        QTest::newRow("xml integer 2^64 - 1") << xml("<integer>18446744073709551615</integer>") << QVariant();
        QTest::newRow("xml integer -1") << xml("<integer>-1</integer>") << QVariant(qint64(-1));
        // One date object holding a double: infinity, then 1e300 seconds.
        const QByteArray trailer("\x08\0\0\0\0\0\0\x01\x01\0\0\0\0\0\0\0\x01\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x11", 33);
        QTest::newRow("binary date at infinity")
            << QByteArray("bplist00\x33\x7f\xf0\0\0\0\0\0\0", 17) + trailer << QVariant();
        QTest::newRow("binary date 1e300 s away")
            << QByteArray("bplist00\x33\x7e\x37\xe4\x3c\x88\x00\x75\x9c", 17) + trailer << QVariant();
    }

    void readsDatesAndIntegersExactlyOrRefusesThem()
    {
        QFETCH(QByteArray, data);
        QFETCH(QVariant, expected);
        QString error;
        QCOMPARE(PropertyList::fromData(data, &error).value_or(QVariant()), expected);
        QCOMPARE(error.isEmpty(), expected.isValid());
    }

    void rejectsHostileInput_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("garbage") << QByteArray("definitely not a plist");
        QTest::newRow("truncated xml") << QByteArray("<?xml version=\"1.0\"?><plist><dict><key>a</key>");
        QTest::newRow("truncated binary") << QByteArray("bplist00\xd1\x01\x02", 10);
        QByteArray deep = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
        for (int i = 0; i < 200; ++i)
            deep += "<array>";
        for (int i = 0; i < 200; ++i)
            deep += "</array>";
        deep += "</plist>";
        QTest::newRow("too deep") << deep;
        QTest::newRow("300,000 nested arrays") << xmlNested(300'000);
        QTest::newRow("300,000 nested dictionaries") << xmlNested(300'000, "<dict><key>k</key>", "</dict>");
        QTest::newRow("binary, 300,000 nested arrays") << binaryNested(300'000);
        QTest::newRow("binary array holding itself") << binaryArrays({ { 0 } });
        QTest::newRow("binary reference out of range") << binaryArrays({ { 7 } });
        QTest::newRow("binary top object out of range") << binaryArrays({ {} }, 1);
        QByteArray badTable = binaryArrays({ {} });
        badTable[badTable.size() - 1] = char(0xff);
        QTest::newRow("binary offset table out of range") << badTable;
        // A NUL inside a string or key made the parser's own length check abort the process.
        const auto bytes = [](const auto &literal) { return QByteArray(literal, sizeof literal - 1); };
        QTest::newRow("xml string holding a NUL")
            << bytes("<?xml version=\"1.0\"?><plist version=\"1.0\"><string>Pri\0sm</string></plist>");
        QTest::newRow("binary UTF-16 key holding a NUL")
            << bytes("bplist00\xd1\x01\x02\x62\0a\0\0\x10\x01\x08\x0b\x10"
                     "\0\0\0\0\0\0\x01\x01\0\0\0\0\0\0\0\x03\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x12");
        QTest::newRow("binary UTF-16 string holding a NUL") << bytes("bplist00\x62\0a\0\0\x08"
                                                                     "\0\0\0\0\0\0\x01\x01\0\0\0\0\0\0\0\x01"
                                                                     "\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x0d");
    }

    void measuresNestingWithoutParsing_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("maxDepth");
        QTest::addColumn<bool>("within");
        QTest::newRow("at the limit") << xmlNested(3) << 3 << true;
        QTest::newRow("past the limit") << xmlNested(4) << 3 << false;
        QTest::newRow("dictionaries count") << xmlNested(2, "<dict><key>k</key>", "</dict>") << 1 << false;
        QTest::newRow("empty containers do not nest")
            << xmlNested(1, "<array><array/><dict /><array/>", "</array>") << 1 << true;
        QTest::newRow("comment") << xmlNested(1, "<array><!-- <array><array> -->", "</array>") << 1 << true;
        QTest::newRow("CDATA") << xmlNested(1, "<array><string><![CDATA[<array><dict>]]></string>", "</array>") << 1
                               << true;
        QTest::newRow("upper-case opening counts") << xmlNested(2, "<ARRAY>", "</array>") << 1 << false;
        QTest::newRow("closing before opening") << QByteArray("</array><array><array></array>") << 1 << false;
        QTest::newRow("quoted '>' in a tag") << xmlNested(2, "<array a=\">\"/>", "") << 5 << false;
        QTest::newRow("unterminated comment") << QByteArray("<array><!-- <array>") << 5 << false;
        QTest::newRow("binary at the limit") << binaryNested(3) << 3 << true;
        QTest::newRow("binary past the limit") << binaryNested(4) << 3 << false;
        QTest::newRow("binary shared array") << binaryArrays({ { 1, 1 }, {} }) << 2 << true;
        QTest::newRow("binary shared arrays doubling") << binaryNested(60, 2) << 64 << false;
        QTest::newRow("binary cut short") << binaryNested(3).left(30) << 64 << false;
    }

    void measuresNestingWithoutParsing()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, maxDepth);
        QFETCH(bool, within);
        QString error;
        QCOMPARE(PropertyList::isNestingWithin(data, maxDepth, &error), within);
        QCOMPARE(error.isEmpty(), within);
    }

    void readDictionaryRefusesLargeFilesUnread()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Info.plist"));
        QVERIFY(PropertyList::writeDictionary({ { QStringLiteral("a"), QStringLiteral("b") } }, path));
        const qint64 size = QFileInfo(path).size();
        QVERIFY(PropertyList::readDictionary(path, nullptr, size));
        QString error;
        QVERIFY(!PropertyList::readDictionary(path, &error, size - 1));
        QVERIFY(!error.isEmpty());

        QFile sparse(path);
        QVERIFY(sparse.resize(64 * 1024 * 1024)); // a 64 MiB hole costs nothing until read
        QVERIFY(!PropertyList::readDictionary(path));
        QVERIFY(!PropertyList::readDictionary(QStringLiteral("/dev/zero"))); // no size, no end
    }

    void rejectsHostileInput()
    {
        QFETCH(QByteArray, data);
        QString error;
        QVERIFY(!PropertyList::fromData(data, &error));
        QVERIFY(!error.isEmpty());
    }

    void readDictionaryRefusesOtherRootsAndMissingFiles()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("array.plist"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(PropertyList::toXml(QVariantList { QStringLiteral("x") }));
        file.close();
        QVERIFY(!PropertyList::readDictionary(path));
        QVERIFY(!PropertyList::readDictionary(dir.filePath(QStringLiteral("missing.plist"))));
    }

    void failedWriteLeavesTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("keep.plist"));
        QVERIFY(PropertyList::writeDictionary({ { QStringLiteral("a"), QStringLiteral("old") } }, path));
        QString error;
        QVERIFY(!PropertyList::writeDictionary(
            { { QStringLiteral("bad"), QVariant::fromValue(QPoint(1, 2)) } }, path, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(PropertyList::readDictionary(path)->value(QStringLiteral("a")).toString(), QStringLiteral("old"));
        QVERIFY(!PropertyList::writeDictionary({}, dir.filePath(QStringLiteral("no/such/folder/x.plist"))));
    }
};

QTEST_GUILESS_MAIN(PropertyListTest)
#include "tst_propertylist.moc"
