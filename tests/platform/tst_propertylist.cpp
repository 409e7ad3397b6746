#include <platform/PropertyList.h>

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using platform::PropertyList;

class PropertyListTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void roundTripsEveryType()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("all.plist"));
        const QVariantMap original{
            {QStringLiteral("text"), QStringLiteral("Grüße \"<&>\"")},
            {QStringLiteral("yes"), true},
            {QStringLiteral("no"), false},
            {QStringLiteral("count"), qint64(-42)},
            {QStringLiteral("ratio"), 0.25},
            {QStringLiteral("bytes"), QByteArray("\x00\x01\xff", 3)},
            {QStringLiteral("when"), QDateTime::fromSecsSinceEpoch(1741564800, Qt::UTC)},
            {QStringLiteral("list"), QVariantList{QStringLiteral("a"), qint64(1)}},
            {QStringLiteral("nested"), QVariantMap{{QStringLiteral("k"), QStringLiteral("v")}}},
        };
        QVERIFY(PropertyList::writeDictionary(original, path));
        const auto read = PropertyList::readDictionary(path);
        QVERIFY(read);
        QCOMPARE(*read, original);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith("<?xml"));
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
        file.write(PropertyList::toXml(QVariantList{QStringLiteral("x")}));
        file.close();
        QVERIFY(!PropertyList::readDictionary(path));
        QVERIFY(!PropertyList::readDictionary(dir.filePath(QStringLiteral("missing.plist"))));
    }

    void failedWriteLeavesTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("keep.plist"));
        QVERIFY(PropertyList::writeDictionary({{QStringLiteral("a"), QStringLiteral("old")}}, path));
        QString error;
        QVERIFY(!PropertyList::writeDictionary({{QStringLiteral("bad"), QVariant::fromValue(QPoint(1, 2))}}, path, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(PropertyList::readDictionary(path)->value(QStringLiteral("a")).toString(), QStringLiteral("old"));
        QVERIFY(!PropertyList::writeDictionary({}, dir.filePath(QStringLiteral("no/such/folder/x.plist"))));
    }
};

QTEST_GUILESS_MAIN(PropertyListTest)
#include "tst_propertylist.moc"
