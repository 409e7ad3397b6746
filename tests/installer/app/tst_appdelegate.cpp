#include "TestHome.h"

#include <installer/analytics/SoftWare.h>
#include <installer/app/AppDelegate.h>
#include <platform/KSTLogManager.h>

#include <QTest>

class AppDelegateTest : public QObject {
    Q_OBJECT
private:
    TestHome m_home;

    static QStringList loggedMessages()
    {
        QFile file(platform::KSTLogManager::singleton().logFilePath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList lines;
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (!line.isEmpty())
                lines << QString::fromUtf8(line).section(QLatin1Char(' '), 2);
        }
        return lines;
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("PRISMORA_LOG_DIR", QFile::encodeName(m_home.filePath(QStringLiteral("logs"))));
        qputenv("PRISMORA_NO_ANALYTICS", "1");
    }

    void softwareFactsComeFromTheBundle()
    {
        QCOMPARE(SoftWare::appName(), QStringLiteral("Prismora_Installer"));
        QVERIFY(!SoftWare::appVersion().isEmpty());
        QCOMPARE(SoftWare::site(), 2);
        QCOMPARE(SoftWare::versionTrack(), QStringLiteral("Official-de"));
        QCOMPARE(SoftWare::linkTrack(), QStringLiteral("Official-de"));
    }

    void siteSuffixes()
    {
        QCOMPARE(SoftWare::trackValue(0), QStringLiteral("Official-com"));
        QCOMPARE(SoftWare::trackValue(5), QStringLiteral("Official-ar"));
        QCOMPARE(SoftWare::trackValue(11), QStringLiteral("Official-tr"));
        QCOMPARE(SoftWare::trackValue(12), QStringLiteral("Official-com"));
        QCOMPARE(SoftWare::trackValue(-1), QStringLiteral("Official-com"));
    }

    void missingOrMistypedEntriesGiveEmptyText()
    {
        const QVariantMap info { { QStringLiteral("CFBundleShortVersionString"), 12 },
            { QStringLiteral("CFBundleName"), QStringLiteral("X") } };
        QCOMPARE(SoftWare::textEntry(info, QStringLiteral("CFBundleShortVersionString")), QString());
        QCOMPARE(SoftWare::textEntry(info, QStringLiteral("CFBundleVersion")), QString());
        QCOMPARE(SoftWare::textEntry(info, QStringLiteral("CFBundleName")), QStringLiteral("X"));
    }

    void gigabytes_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << QStringLiteral("0");
        QTest::newRow("whole") << qint64(5'000'000'000) << QStringLiteral("5");
        QTest::newRow("one decimal") << qint64(1'500'000'000) << QStringLiteral("1.5");
        QTest::newRow("rounded") << qint64(128'419'999'999) << QStringLiteral("128.42");
        QTest::newRow("small") << qint64(4'000'000) << QStringLiteral("0");
        QTest::newRow("huge") << qint64(12'345'678'901'234) << QStringLiteral("12345.68");
    }

    void gigabytes()
    {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(AppDelegate::gigabytesText(bytes), text);
    }

    void infoBlockLines()
    {
        const QStringList lines = AppDelegate::applicationInfoLines(qint64(250'790'436'864));
        QCOMPARE(lines.size(), 9);
        QCOMPARE(lines.first(), QStringLiteral("------------------AppInfoBegin------------------"));
        QCOMPARE(lines[1], QStringLiteral("appName: Prismora_Installer"));
        QCOMPARE(lines[2], QStringLiteral("appVersion: ") + SoftWare::appVersion());
        QCOMPARE(lines[3], QStringLiteral("buildTime: 20250310"));
        QCOMPARE(lines[4], QStringLiteral("trackVersion: 1.0.0.6"));
        QCOMPARE(lines[5], QStringLiteral("VersionTrack: Official-de"));
        QCOMPARE(lines[6], QStringLiteral("LinkTrack: Official-de"));
        QCOMPARE(lines[7], QStringLiteral("Free space: [250790436864 bytes] = [250.79 GB]"));
        QCOMPARE(lines.last(), QStringLiteral("------------------AppInfoEnd------------------"));
        QCOMPARE(AppDelegate::applicationInfoLines(std::nullopt)[7], QStringLiteral("Free space: failed"));
    }

    void startupWritesTheBlockToTheLog()
    {
        // First run: a documents folder exists, so the free space is known.
        QVERIFY(QDir().mkpath(m_home.filePath(QStringLiteral("Documents"))));
        AppDelegate delegate;
        delegate.applicationDidFinishLaunching();
        QStringList logged = loggedMessages();
        QCOMPARE(logged.size(), 9);
        QVERIFY(logged[7].startsWith(QStringLiteral("Free space: [")));
        QVERIFY(logged[7].endsWith(QStringLiteral(" GB]")));

        // Second run on a machine without a documents folder.
        QVERIFY(QDir(m_home.filePath(QStringLiteral("Documents"))).removeRecursively());
        delegate.applicationDidFinishLaunching();
        logged = loggedMessages().mid(9);
        QCOMPARE(logged.size(), 9);
        QCOMPARE(logged[0], QStringLiteral("------------------AppInfoBegin------------------"));
        QCOMPARE(logged[7], QStringLiteral("Free space: failed"));
        QCOMPARE(logged[8], QStringLiteral("------------------AppInfoEnd------------------"));
    }
};

QTEST_GUILESS_MAIN(AppDelegateTest)
#include "tst_appdelegate.moc"
