#include "InstallerHarness.h"
#include "TestHome.h"
#include "fixtures/FileSizeLimit.h"
#include "fixtures/LocalMirror.h"
#include "fixtures/ZipBuilder.h"

#include <installer/install/Launcher.h>
#include <installer/install/TrackingRecord.h>
#include <installer/interface/LocalizedString.h>

#include <platform/Folders.h>
#include <platform/Workspace.h>

#include <QRandomGenerator>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThreadPool>

namespace {

class FakeWorkspace : public platform::Workspace {
public:
    bool openUrl(const QUrl &url) override
    {
        calls << QStringLiteral("openUrl ") + url.toString();
        return true;
    }
    void openApplication(const QString &bundlePath, const OpenCompletion &completion) override
    {
        calls << QStringLiteral("openApplication ") + bundlePath;
        completion(answer);
    }
    QStringList calls;
    std::optional<QString> answer;
};

QByteArray infoPlist(const QString &executable)
{
    return QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\"><dict>\n"
        "<key>CFBundleIdentifier</key><string>com.kestrum.prismora</string>\n"
        "<key>CFBundleExecutable</key><string>%1</string>\n"
        "</dict></plist>\n")
        .arg(executable)
        .toUtf8();
}

/// A product bundle whose executable writes "started" into $PRISMORA_TEST_MARKER.
void addProduct(ZipBuilder &zip, const QString &executable = QStringLiteral("Prismora"))
{
    zip.addFile(QStringLiteral("Prismora.app/Contents/Info.plist"), infoPlist(executable));
    zip.addFile(QStringLiteral("Prismora.app/Contents/MacOS/Prismora"),
        "#!/bin/sh\nprintf 'started\\n' > \"$PRISMORA_TEST_MARKER\"\n", 0755);
}

} // namespace

class TestPackageInstaller : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("TMPDIR", QFile::encodeName(m_temp.path()));
        qputenv("PRISMORA_LOG_DIR", QFile::encodeName(m_home.filePath(QStringLiteral("logs"))));
        qputenv("PRISMORA_TEST_MARKER", QFile::encodeName(marker()));
        // A deep applications folder: paths that fit below the temporary folder
        // become too long here, which makes one chosen entry fail to copy.
        QString applications = m_home.filePath(QStringLiteral("apps"));
        while (applications.size() < 2600)
            applications += QLatin1Char('/') + QString(200, QLatin1Char('a'));
        QVERIFY(QDir().mkpath(applications));
        qputenv("PRISMORA_APPLICATIONS_DIR", QFile::encodeName(applications));
        QCOMPARE(platform::Folders::applications(), applications);

        QVERIFY(m_mirror.start(m_home.filePath(QStringLiteral("none.zip"))));
        qputenv("PRISMORA_CA_FILE", QFile::encodeName(m_mirror.caFile()));
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        m_refused = QStringLiteral("127.0.0.1:%1").arg(closed.serverPort());
        platform::Workspace::setShared(&m_workspace);
    }

    void cleanupTestCase() { platform::Workspace::setShared(nullptr); }

    void init()
    {
        m_workspace.calls.clear();
        m_workspace.answer.reset();
        QFile::remove(marker());
        if (const auto record = trackingRecordPath())
            QFile::remove(*record);
        QFile::remove(desktopEntry());
    }

    void installWithoutADownloadDoesNothing()
    {
        InstallerHarness harness;
        DownLoader::shared().install();
        harness.scheduler.runPending();
        QVERIFY(harness.posted.isEmpty());
        QVERIFY(InstallerHarness::logText().contains(QStringLiteral("DownLoader install")));
    }

    void installsOnlyTheBundleAndStartsTheProduct()
    {
        const QString stale = applications() + QStringLiteral("/Prismora.app/stale.txt");
        QVERIFY(QDir().mkpath(QFileInfo(stale).absolutePath()));
        QFile(stale).open(QIODevice::WriteOnly);

        ZipBuilder zip(served(QStringLiteral("good.zip")));
        addProduct(zip);
        zip.addFile(QStringLiteral("Extra Folder/readme.txt"), "extra");
        zip.addFile(QStringLiteral("notes.txt"), "notes");
        QVERIFY(zip.close());

        // Another local user's planted unpack folder in the shared temporary folder is never used.
        const QString planted = m_temp.filePath(QStringLiteral("Fetchwell"));
        QVERIFY(QDir().mkpath(planted + QStringLiteral("/Backdoor.app")));
        QVERIFY(QDir().mkpath(planted + QStringLiteral("/Prismora.app/Contents/PlugIns/planted.so")));

        InstallerHarness harness;
        QVERIFY(download(harness, QStringLiteral("good.zip")));
        const QString archive = DownLoader::shared().zipDownLoadedUrl()->toLocalFile();
        DownLoader::shared().install();
        QVERIFY(harness.pump([&] { return harness.count(InstallerNotification::installerFinish) == 1; }));

        QCOMPARE(harness.count(InstallerNotification::installerFailed), 0);
        QVERIFY(!QFile::exists(stale)); // the old copy is replaced, not merged
        QVERIFY(!QFileInfo::exists(applications() + QStringLiteral("/Backdoor.app")));
        QVERIFY(!QFileInfo::exists(applications() + QStringLiteral("/Prismora.app/Contents/PlugIns")));
        QVERIFY(QFileInfo::exists(planted + QStringLiteral("/Backdoor.app"))); // nor removed
        QVERIFY(QFileInfo(applications() + QStringLiteral("/Prismora.app/Contents/MacOS/Prismora")).isExecutable());
        // Other top-level entries are left out (and logged), never placed beside the user's items.
        QVERIFY(!QFileInfo::exists(applications() + QStringLiteral("/Extra Folder")));
        QVERIFY(!QFile::exists(applications() + QStringLiteral("/notes.txt")));
        QVERIFY(InstallerHarness::logText().contains(QStringLiteral("DownLoader install ignored entry: notes.txt")));
        QVERIFY(QDir(applications())
                    .entryList({ QStringLiteral(".prismora-install-*") }, QDir::AllEntries | QDir::Hidden)
                    .isEmpty());
        // Nothing of the run stays behind: archive, unpack folder and work folder are gone.
        QTRY_VERIFY(!QFileInfo::exists(QFileInfo(archive).absolutePath()));
        QVERIFY(QFile::exists(trackingRecordPath().value()));
        QCOMPARE(InstallerHarness::logText().count(QStringLiteral("DownLoader install install success")), 2);
        // Menus and launchers see the installed product.
        QFile entry(desktopEntry());
        QVERIFY(entry.open(QIODevice::ReadOnly));
        QVERIFY(
            entry.readAll().contains("Exec=\"" + QFile::encodeName(productPath()) + "/Contents/MacOS/Prismora\"\n"));

        // The product starts one second later, by the shell-free launcher.
        QCOMPARE(harness.count(InstallerNotification::launchedFinish), 0);
        harness.scheduler.advanceBy(std::chrono::seconds(1));
        QCOMPARE(harness.count(InstallerNotification::launchedFinish), 1);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker()), 10000);
        // The page that follows an installation opens first; the workspace is not asked to start anything.
        QCOMPARE(m_workspace.calls, QStringList { QStringLiteral("openUrl ") + installCompletePage() });
    }

    void anHtmlPageIsNeverTakenForTheArchive()
    {
        InstallerHarness harness;
        const QString html = m_mirror.base(QStringLiteral("html"));
        qputenv("PRISMORA_DOWNLOAD_HOSTS", InstallerHarness::hostsForAttempts({ html, html, html, html }).toUtf8());
        DownLoader::shared().startDownload(DownloadType::first);
        QVERIFY(harness.pump([&] { return harness.count(InstallerNotification::downloaderFailed) == 1; }));
        QCOMPARE(harness.count(InstallerNotification::downloaderFinished), 0);
        QCOMPARE(DownLoader::shared().zip()->failed.load(), FailedReason::server);
        QCOMPARE(harness.events.back().action, QStringLiteral("Download_Failed"));
        QVERIFY(InstallerHarness::logText().contains(
            QStringLiteral("DownLoader download rejected: not a zip archive: no end-of-central-directory record")));
        QVERIFY(!QFile::exists(trackingRecordPath().value()));
    }

    void anEscapingArchiveFailsWithoutWritingOutside()
    {
        ZipBuilder zip(served(QStringLiteral("slip.zip")));
        addProduct(zip);
        zip.addFile(QStringLiteral("../../slipped.txt"), "outside");
        QVERIFY(zip.close());

        InstallerHarness harness;
        QVERIFY(download(harness, QStringLiteral("slip.zip")));
        DownLoader::shared().install();
        QVERIFY(harness.pump([&] { return harness.count(InstallerNotification::installerFailed) == 1; }));
        QCOMPARE(DownLoader::shared().zip()->failed.load(), FailedReason::install);
        QVERIFY(!QFile::exists(QFileInfo(m_temp.path()).absolutePath() + QStringLiteral("/slipped.txt")));
        QVERIFY(!QFile::exists(m_temp.filePath(QStringLiteral("slipped.txt"))));
    }

    void aBundleFailingValidationGetsNoDesktopEntry()
    {
        ZipBuilder zip(served(QStringLiteral("invalid.zip")));
        addProduct(zip, QStringLiteral("../../../bin/sh"));
        QVERIFY(zip.close());

        InstallerHarness harness;
        QVERIFY(download(harness, QStringLiteral("invalid.zip")));
        DownLoader::shared().install();
        QVERIFY(harness.pump([&] { return harness.count(InstallerNotification::installerFailed) == 1; }));
        QVERIFY(!QFile::exists(desktopEntry()));
    }

    void anArchiveWithoutTheBundleInstallsNothing()
    {
        const QString other = applications() + QStringLiteral("/A-first.txt");
        QFile::remove(other);
        ZipBuilder zip(served(QStringLiteral("three.zip")));
        zip.addFile(QStringLiteral("A-first.txt"), "first");
        zip.addFile(QStringLiteral("C-third.txt"), "third");
        QVERIFY(zip.close());

        InstallerHarness harness;
        QVERIFY(download(harness, QStringLiteral("three.zip")));
        DownLoader::shared().install();
        QVERIFY(harness.pump([&] { return harness.count(InstallerNotification::installerFailed) == 1; }));
        harness.scheduler.runPending();

        QCOMPARE(harness.count(InstallerNotification::installerFailed), 1);
        QCOMPARE(harness.count(InstallerNotification::installerFinish), 0);
        QVERIFY(!QFile::exists(other));
        QVERIFY(QDir(applications())
                    .entryList({ QStringLiteral(".prismora-install*") }, QDir::AllEntries | QDir::Hidden)
                    .isEmpty());
        QVERIFY(!QFile::exists(trackingRecordPath().value()));
        QCOMPARE(DownLoader::shared().zip()->failed.load(), FailedReason::install);
        QCOMPARE(harness.events.back().label, QStringLiteral("The archive does not contain Prismora.app."));
        QCOMPARE(harness.actions().count(QStringLiteral("Install_Failed")), 1);
    }

    void aFullDiskWhileUnpackingIsReportedAsWrite()
    {
        QByteArray content(1024 * 1024, Qt::Uninitialized);
        QRandomGenerator(9).fillRange(reinterpret_cast<quint32 *>(content.data()), content.size() / 4);
        ZipBuilder zip(served(QStringLiteral("big.zip")));
        addProduct(zip);
        zip.addFile(QStringLiteral("Prismora.app/Contents/Resources/big.bin"), content);
        QVERIFY(zip.close());

        InstallerHarness harness;
        QVERIFY(download(harness, QStringLiteral("big.zip")));
        FileSizeLimit limit(256 * 1024);
        QVERIFY(limit.isActive());
        DownLoader::shared().install();
        const bool failed = harness.pump([&] { return harness.count(InstallerNotification::installerFailed) == 1; });
        limit.restore();
        QVERIFY(failed);
        QCOMPARE(DownLoader::shared().zip()->failed.load(), FailedReason::write);
    }

    void restartWithoutTheBundleFailsToLaunch()
    {
        QVERIFY(QDir(productPath()).removeRecursively());
        InstallerHarness harness;
        DownLoader::shared().restart();
        harness.scheduler.runPending();
        QCOMPARE(harness.count(InstallerNotification::launchedFailed), 1);
        QCOMPARE(DownLoader::shared().zip()->failed.load(), FailedReason::launch);
        QCOMPARE(harness.events.back().action, QStringLiteral("Start_Application_Failed"));
        QCOMPARE(harness.events.back().label, QStringLiteral("appNotExit"));
        QVERIFY(InstallerHarness::logText().contains(QStringLiteral("DownLoader restart bundle not exists")));
        QVERIFY(m_workspace.calls.isEmpty());
    }

    void restartFallsBackToTheWorkspace_data()
    {
        QTest::addColumn<bool>("workspaceStarts");
        QTest::newRow("workspace starts it") << true;
        QTest::newRow("workspace fails too") << false;
    }

    void restartFallsBackToTheWorkspace()
    {
        QFETCH(bool, workspaceStarts);
        // A bundle whose executable is missing: the launcher cannot start it.
        QDir(productPath()).removeRecursively();
        QVERIFY(QDir().mkpath(productPath() + QStringLiteral("/Contents")));
        QFile plist(productPath() + QStringLiteral("/Contents/Info.plist"));
        QVERIFY(plist.open(QIODevice::WriteOnly));
        plist.write(infoPlist(QStringLiteral("Missing")));
        plist.close();
        if (!workspaceStarts)
            m_workspace.answer = QStringLiteral("no application");

        InstallerHarness harness;
        DownLoader::shared().restart();
        harness.scheduler.runPending();
        QCOMPARE(m_workspace.calls,
            (QStringList { QStringLiteral("openUrl ") + installCompletePage(),
                QStringLiteral("openApplication ") + productPath() }));
        QCOMPARE(harness.count(InstallerNotification::launchedFinish), workspaceStarts ? 1 : 0);
        QCOMPARE(harness.count(InstallerNotification::launchedFailed), workspaceStarts ? 0 : 1);
        const QString log = InstallerHarness::logText();
        QVERIFY(log.contains(QStringLiteral("DownLoader restart failed macOS 10.15 result: ")
            + (workspaceStarts ? QStringLiteral("nil") : QStringLiteral("no application"))));
    }

    void launcherPassesThePathAsAnArgument()
    {
        // Characters a shell would act on must reach the file system unchanged.
        const QString folder = m_home.filePath(QStringLiteral("odd \"name\" $(touch pwned) 'x'"));
        const QString bundle = folder + QStringLiteral("/Prismora.app");
        QVERIFY(QDir().mkpath(bundle + QStringLiteral("/Contents/MacOS")));
        QFile plist(bundle + QStringLiteral("/Contents/Info.plist"));
        QVERIFY(plist.open(QIODevice::WriteOnly));
        plist.write(infoPlist(QStringLiteral("Prismora")));
        plist.close();
        QFile script(bundle + QStringLiteral("/Contents/MacOS/Prismora"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nprintf 'started\\n' > \"$PRISMORA_TEST_MARKER\"\n");
        script.close();
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);

        QVERIFY(Launcher::launchApp(bundle));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker()), 10000);
        QVERIFY(!QFile::exists(QStringLiteral("pwned")));
        QVERIFY(!QFile::exists(m_home.filePath(QStringLiteral("pwned"))));
        QVERIFY(!Launcher::launchApp(m_home.filePath(QStringLiteral("Nothing.app"))));
    }

private:
    QString applications() const { return platform::Folders::applications(); }
    QString productPath() const { return applications() + QStringLiteral("/Prismora.app"); }
    QString marker() const { return m_home.filePath(QStringLiteral("started.marker")); }
    QString desktopEntry() const
    {
        return m_home.filePath(QStringLiteral(".local/share/applications/com.kestrum.prismora.desktop"));
    }
    static QString installCompletePage() { return localizedString(QStringLiteral("URL_Install_Complete")); }
    QString served(const QString &name) const { return m_mirror.root() + QLatin1Char('/') + name; }

    /// Downloads /files/<name> (or the fault @p name) through the shared downloader.
    bool download(InstallerHarness &harness, const QString &name, bool file = true)
    {
        const QString base = m_mirror.base(file ? QStringLiteral("files/") + name : name);
        qputenv("PRISMORA_DOWNLOAD_HOSTS",
            InstallerHarness::hostsForAttempts({ base, m_refused, m_refused, m_refused }).toUtf8());
        DownLoader::shared().startDownload(DownloadType::first);
        return harness.pump([&] { return harness.count(InstallerNotification::downloaderFinished) == 1; });
    }

    TestHome m_home;
    QTemporaryDir m_temp;
    FakeWorkspace m_workspace;
    QString m_refused;
    LocalMirror m_mirror;
};

QTEST_GUILESS_MAIN(TestPackageInstaller)
#include "tst_packageinstaller.moc"
