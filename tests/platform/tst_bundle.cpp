#include <platform/Bundle.h>
#include <platform/PropertyList.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using platform::Bundle;

class BundleTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsAnApplicationBundle()
    {
        QTemporaryDir dir;
        const QString root = dir.filePath(QStringLiteral("Prismora.app"));
        QVERIFY(QDir().mkpath(root + QStringLiteral("/Contents/Resources/de.lproj")));
        QVERIFY(QDir().mkpath(root + QStringLiteral("/Contents/Resources/ja.lproj")));
        QVERIFY(platform::PropertyList::writeDictionary(
            { { QStringLiteral("CFBundleIdentifier"), QStringLiteral("com.kestrum.prismora") },
                { QStringLiteral("CFBundleExecutable"), QStringLiteral("Prismora") } },
            root + QStringLiteral("/Contents/Info.plist")));
        const Bundle bundle(root);
        QVERIFY(bundle.isValid());
        QCOMPARE(bundle.bundleIdentifier(), QStringLiteral("com.kestrum.prismora"));
        QCOMPARE(bundle.executablePath(), root + QStringLiteral("/Contents/MacOS/Prismora"));
        QCOMPARE(bundle.localizations(), (QStringList { QStringLiteral("de"), QStringLiteral("ja") }));
        QCOMPARE(bundle.pathForResource(QStringLiteral("de"), QStringLiteral("lproj")),
            root + QStringLiteral("/Contents/Resources/de.lproj"));
        QVERIFY(bundle.pathForResource(QStringLiteral("fr"), QStringLiteral("lproj")).isEmpty());
        QVERIFY(bundle.pathForResource(QStringLiteral("../Info"), QStringLiteral("plist")).isEmpty());
    }

    void executableNameCannotLeaveTheBundle()
    {
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("Evil.app/Contents"))));
        QVERIFY(platform::PropertyList::writeDictionary(
            { { QStringLiteral("CFBundleExecutable"), QStringLiteral("../../../bin/sh") } },
            dir.filePath(QStringLiteral("Evil.app/Contents/Info.plist"))));
        QVERIFY(Bundle(dir.filePath(QStringLiteral("Evil.app"))).executablePath().isEmpty());
    }

    void folderWithoutInformationIsEmpty()
    {
        QTemporaryDir dir;
        const Bundle bundle(dir.path());
        QVERIFY(!bundle.isValid());
        QVERIFY(bundle.infoDictionary().isEmpty());
        QVERIFY(bundle.bundleIdentifier().isEmpty());
    }

    void preferredLocalizations_data()
    {
        QTest::addColumn<QStringList>("preferred");
        QTest::addColumn<QString>("expected");
        const QStringList none;
        QTest::newRow("exact") << QStringList { QStringLiteral("de") } << QStringLiteral("de");
        QTest::newRow("region") << QStringList { QStringLiteral("pt-BR") } << QStringLiteral("pt");
        QTest::newRow("underscore") << QStringList { QStringLiteral("ja_JP") } << QStringLiteral("ja");
        QTest::newRow("second choice") << QStringList { QStringLiteral("ko"), QStringLiteral("fr-CA") }
                                       << QStringLiteral("fr");
        QTest::newRow("nothing") << none << QStringLiteral("en");
    }

    void preferredLocalizations()
    {
        QFETCH(QStringList, preferred);
        QFETCH(QString, expected);
        const QStringList available { QStringLiteral("de"), QStringLiteral("en"), QStringLiteral("fr"),
            QStringLiteral("ja"), QStringLiteral("pt") };
        QCOMPARE(Bundle::preferredLocalizations(available, preferred), QStringList { expected });
    }
};

QTEST_GUILESS_MAIN(BundleTest)
#include "tst_bundle.moc"
