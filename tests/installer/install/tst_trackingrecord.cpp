#include "TestHome.h"

#include <installer/analytics/TrackModel.h>
#include <installer/install/TrackingRecord.h>
#include <platform/PropertyList.h>

#include <QFile>
#include <QTest>

class TrackingRecordTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writesAFreshRecordCreatingMissingFolders()
    {
        TestHome home;
        const QString expected = home.path() + QStringLiteral("/.local/share/kestrumTrack/Prismora.plist");
        QCOMPARE(*trackingRecordPath(), expected);
        QVERIFY(!QFileInfo::exists(home.path() + QStringLiteral("/.local")));
        writeTrackingRecord();
        const auto record = platform::PropertyList::readDictionary(expected);
        QVERIFY(record);
        QCOMPARE(*record,
            (QVariantMap { { QStringLiteral("VersionTrack"), QStringLiteral("Official-de") },
                { QStringLiteral("LinkTrack"), QStringLiteral("Official-de") } }));
    }

    void replacesARecordWithOtherKeys()
    {
        TestHome home;
        const QString path = *trackingRecordPath();
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QVERIFY(platform::PropertyList::writeDictionary(
            { { QStringLiteral("ProTrack"), true }, { QStringLiteral("VersionTrack"), QStringLiteral("old") } }, path));
        writeTrackingRecord();
        const auto record = platform::PropertyList::readDictionary(path);
        QVERIFY(record);
        QCOMPARE(record->keys(), (QStringList { QStringLiteral("LinkTrack"), QStringLiteral("VersionTrack") }));
        QCOMPARE(record->value(QStringLiteral("VersionTrack")).toString(), QStringLiteral("Official-de"));
    }

    void anUncreatableFolderIsIgnored()
    {
        TestHome home;
        const QString path = *trackingRecordPath();
        const QString support = QFileInfo(QFileInfo(path).path()).path();
        QVERIFY(QDir().mkpath(support));
        QFile blocker(support + QStringLiteral("/kestrumTrack")); // a file where the folder should be
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        writeTrackingRecord();
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY(QFileInfo(blocker.fileName()).isFile());
    }

    void modelEncodesByKeyName()
    {
        const TrackModel model { QStringLiteral("Official-de"), true, false, QStringLiteral("Official-jp") };
        const QVariantMap coded = model.encode();
        QCOMPARE(coded.keys(), TrackModel::codingKeys());
        QCOMPARE(coded.value(QStringLiteral("NoYouToBePhoto")).toBool(), true);
        QCOMPARE(TrackModel::decode(coded), model);

        // Through a real property-list file and back.
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("m.plist"));
        QVERIFY(platform::PropertyList::writeDictionary(coded, file));
        QCOMPARE(TrackModel::decode(*platform::PropertyList::readDictionary(file)), model);
    }

    void decodingIsAllOrNothing_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("missing ProTrack") << QStringLiteral("ProTrack") << QVariant();
        QTest::newRow("missing LinkTrack") << QStringLiteral("LinkTrack") << QVariant();
        QTest::newRow("Boolean as text") << QStringLiteral("ProTrack") << QVariant(QStringLiteral("true"));
        QTest::newRow("Boolean as number") << QStringLiteral("NoYouToBePhoto") << QVariant(qint64(1));
        QTest::newRow("text as Boolean") << QStringLiteral("VersionTrack") << QVariant(true);
    }

    void decodingIsAllOrNothing()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QVariantMap coded = TrackModel { QStringLiteral("a"), false, true, QStringLiteral("b") }.encode();
        if (value.isValid())
            coded.insert(key, value);
        else
            coded.remove(key);
        QVERIFY(!TrackModel::decode(coded));
    }
};

QTEST_GUILESS_MAIN(TrackingRecordTest)
#include "tst_trackingrecord.moc"
