#include <mirakit/foundation/BundleExtensions.h>

#include <platform/PropertyList.h>

#include "TestHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <cstdio>
#include <unistd.h>

namespace {

QVariantMap prismoraInfo()
{
    return { { QStringLiteral("CFBundleIdentifier"), QStringLiteral("com.kestrum.installer") },
        { QStringLiteral("CFBundleName"), QStringLiteral("Prismora_Installer") },
        { QStringLiteral("CFBundleDevelopmentRegion"), QStringLiteral("en") },
        { QStringLiteral("CFBundleShortVersionString"), QStringLiteral("2.4.1") },
        { QStringLiteral("CFBundleVersion"), QStringLiteral("241") },
        { QStringLiteral("LSMinimumSystemVersion"), QStringLiteral("10.13") } };
}

// Runs @p call with standard output sent to a file and answers what it wrote.
template <typename Call> QByteArray capturedStdout(const QString &path, Call call)
{
    std::fflush(stdout);
    const int saved = dup(fileno(stdout));
    FILE *file = std::fopen(QFile::encodeName(path).constData(), "w");
    dup2(fileno(file), fileno(stdout));
    call();
    std::fflush(stdout);
    dup2(saved, fileno(stdout));
    close(saved);
    std::fclose(file);
    QFile written(path);
    written.open(QIODevice::ReadOnly);
    return written.readAll();
}

} // namespace

class BundleExtensionsTest : public QObject {
    Q_OBJECT
private:
    platform::Bundle makeBundle(const QVariantMap &info)
    {
        const QString root = m_bundles.filePath(QString::number(++m_count) + QStringLiteral(".app"));
        [&] {
            QVERIFY(QDir().mkpath(root + QStringLiteral("/Contents")));
            QVERIFY(platform::PropertyList::writeDictionary(info, root + QStringLiteral("/Contents/Info.plist")));
        }();
        return platform::Bundle(root);
    }

    QTemporaryDir m_bundles;
    int m_count = 0;

private Q_SLOTS:
    void readsInformationValues()
    {
        const platform::Bundle bundle = makeBundle(prismoraInfo());
        QCOMPARE(mira::bundleIdentifier(bundle), std::optional<QString>(QStringLiteral("com.kestrum.installer")));
        QCOMPARE(mira::bundleName(bundle), std::optional<QString>(QStringLiteral("Prismora_Installer")));
        QCOMPARE(mira::bundleRegion(bundle), std::optional<QString>(QStringLiteral("en")));
        QCOMPARE(mira::bundleVersion(bundle), std::optional<QString>(QStringLiteral("2.4.1")));
        QCOMPARE(mira::buildVersion(bundle), std::optional<QString>(QStringLiteral("241")));
        QCOMPARE(mira::bundleMinSysRequire(bundle), std::optional<QString>(QStringLiteral("10.13")));
    }

    void missingOrNonTextValuesAreAbsent()
    {
        const platform::Bundle bundle
            = makeBundle({ { QStringLiteral("CFBundleVersion"), 241 }, { QStringLiteral("CFBundleName"), QString() },
                { QStringLiteral("LSMinimumSystemVersion"), QVariantList { 10, 13 } } });
        QCOMPARE(mira::buildVersion(bundle), std::nullopt);
        QCOMPARE(mira::bundleName(bundle), std::nullopt);
        QCOMPARE(mira::bundleMinSysRequire(bundle), std::nullopt);
        QCOMPARE(mira::bundleIdentifier(bundle), std::nullopt);

        QTemporaryDir empty;
        QCOMPARE(mira::bundleVersion(platform::Bundle(empty.path())), std::nullopt);
        // The library's own tests carry no embedded bundle: still no failure.
        QCOMPARE(mira::bundleIdentifier(), std::nullopt);
    }

    void sandboxMarkInHomePath()
    {
        TestHome home;
        const platform::Bundle bundle = makeBundle(prismoraInfo());
        QVERIFY(!mira::isOpenedSandBox(bundle));

        const QString contained = home.filePath(QStringLiteral("Library/Containers/com.kestrum.installer/Data"));
        QVERIFY(QDir().mkpath(contained));
        qputenv("HOME", QFile::encodeName(contained));
        QVERIFY(mira::isOpenedSandBox(bundle));
        QVERIFY(!mira::isOpenedSandBox(makeBundle({ { QStringLiteral("CFBundleName"), QStringLiteral("x") } })));
        QVERIFY(!mira::isOpenedSandBox(
            makeBundle({ { QStringLiteral("CFBundleIdentifier"), QStringLiteral("com.other") } })));
    }

    void documentFolders()
    {
        TestHome home;
        QCOMPARE(mira::sandboxDocument(), std::optional<QString>(home.filePath(QStringLiteral("Documents"))));
        QCOMPARE(mira::sysDocument(), mira::sandboxDocument());
    }

    void createsPerApplicationFolders()
    {
        TestHome home;
        const platform::Bundle bundle = makeBundle(prismoraInfo());
        const QString support = home.filePath(QStringLiteral(".local/share/com.kestrum.installer/Prismora_Installer"));
        QCOMPARE(mira::sandboxSupport(bundle), std::optional<QString>(support));
        QVERIFY(QFileInfo(support).isDir());
        QCOMPARE(mira::sandboxTmp(bundle), std::optional<QString>(support + QStringLiteral("/tmp")));
        QVERIFY(QFileInfo(support + QStringLiteral("/tmp")).isDir());

        const QString documents = home.filePath(QStringLiteral("Documents/Prismora_Installer"));
        QCOMPARE(mira::sysDocumentApp(bundle), std::optional<QString>(documents));
        QVERIFY(QFileInfo(documents).isDir());
        // Asking again finds the existing folders.
        QCOMPARE(mira::sandboxTmp(bundle), std::optional<QString>(support + QStringLiteral("/tmp")));
    }

    void namesThatWouldLeaveTheFolderAreRefused_data()
    {
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<QString>("name");
        QTest::newRow("parent identifier") << QStringLiteral("..") << QStringLiteral("App");
        QTest::newRow("climbing identifier") << QStringLiteral("../../escape") << QStringLiteral("App");
        QTest::newRow("absolute name") << QStringLiteral("com.x") << QStringLiteral("/tmp/escape");
        QTest::newRow("dot name") << QStringLiteral("com.x") << QStringLiteral(".");
        QTest::newRow("missing name") << QStringLiteral("com.x") << QString();
    }
    void namesThatWouldLeaveTheFolderAreRefused()
    {
        QFETCH(QString, identifier);
        QFETCH(QString, name);
        TestHome home;
        const platform::Bundle bundle = makeBundle(
            { { QStringLiteral("CFBundleIdentifier"), identifier }, { QStringLiteral("CFBundleName"), name } });
        QCOMPARE(mira::sandboxSupport(bundle), std::nullopt);
        QCOMPARE(mira::sandboxTmp(bundle), std::nullopt);
        if (name != QStringLiteral("App"))
            QCOMPARE(mira::sysDocumentApp(bundle), std::nullopt);
        QVERIFY(!QFileInfo::exists(home.filePath(QStringLiteral("escape"))));
        QVERIFY(!QFileInfo::exists(home.filePath(QStringLiteral(".local/escape"))));
    }

    void failedCreationIsReported()
    {
        TestHome home;
        const platform::Bundle bundle = makeBundle(prismoraInfo());
        // Files where the folders should go make creation fail.
        QFile blockSupport(home.filePath(QStringLiteral("support-file")));
        QVERIFY(blockSupport.open(QIODevice::WriteOnly));
        blockSupport.close();
        qputenv("XDG_DATA_HOME", QFile::encodeName(blockSupport.fileName()));
        QFile blockDocuments(home.filePath(QStringLiteral("Documents")));
        QVERIFY(blockDocuments.open(QIODevice::WriteOnly));
        blockDocuments.close();

        const QString support = blockSupport.fileName() + QStringLiteral("/com.kestrum.installer/Prismora_Installer");
        std::optional<QString> answer = QStringLiteral("unset");
        QByteArray out
            = capturedStdout(home.filePath(QStringLiteral("out1")), [&] { answer = mira::sandboxSupport(bundle); });
        QCOMPARE(answer, std::nullopt);
        QCOMPARE(out, "create directory at:" + support.toUtf8() + " failed\n");

        out = capturedStdout(home.filePath(QStringLiteral("out2")), [&] { answer = mira::sandboxTmp(bundle); });
        QCOMPARE(answer, std::nullopt);
        QCOMPARE(out, "create directory at:" + support.toUtf8() + " failed\n");

        out = capturedStdout(home.filePath(QStringLiteral("out3")), [&] { answer = mira::sysDocumentApp(bundle); });
        QCOMPARE(answer, std::nullopt);
        QCOMPARE(out,
            "[RVDebug] create directory at:" + home.filePath(QStringLiteral("Documents/Prismora_Installer")).toUtf8()
                + " failed\n");
    }
};

QTEST_GUILESS_MAIN(BundleExtensionsTest)
#include "tst_bundleextensions.moc"
