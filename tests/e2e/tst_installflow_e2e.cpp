#include "LocalCollector.h"
#include "LocalMirror.h"
#include "MinisignTool.h"
#include "PageDriver.h"
#include "TestHome.h"
#include "ZipBuilder.h"

#include <installer/analytics/Analytics.h>
#include <installer/analytics/AnalyticsSteps.h>
#include <installer/app/AppDelegate.h>
#include <installer/app/RootWindowController.h>
#include <installer/install/DownLoader.h>
#include <installer/install/TrackingRecord.h>
#include <installer/interface/LocalizedFormat.h>
#include <installer/interface/LocalizedString.h>
#include <installer/pages/FailedViewController.h>
#include <installer/pages/LoadingViewController.h>
#include <installer/pages/Storyboard.h>
#include <installer/pages/ViewController.h>
#include <mirakit/interactive/InteractiveButton.h>
#include <mirakit/interactive/InteractiveLabel.h>
#include <platform/FileManager.h>
#include <platform/KSTLogManager.h>
#include <platform/NotificationCenter.h>
#include <platform/PrivilegedRemoval.h>
#include <platform/PropertyList.h>
#include <platform/Workspace.h>

#include <QDirIterator>

#include <QLabel>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <condition_variable>
#include <mutex>

using namespace std::chrono_literals;

namespace {

/// An administrator who always declines.
class DecliningAdministrator : public platform::PrivilegedRemoval {
public:
    std::optional<QString> remove(const QString &path) override
    {
        requests << path;
        return QStringLiteral("the user cancelled");
    }
    QStringList requests;
};

/// Refuses to move one path the way a folder owned by someone else in a shared folder does.
class ProtectiveFileManager : public platform::FileManager {
public:
    explicit ProtectiveFileManager(QString protectedPath)
        : m_protected(std::move(protectedPath))
    {
    }
    int moveItem(const QString &from, const QString &to, MoveMode mode) override
    {
        return from == m_protected || to == m_protected ? EPERM : FileManager::moveItem(from, to, mode);
    }

private:
    QString m_protected;
};

/// An administrator who has not answered yet: remove() waits until cancel().
class PendingAdministrator : public platform::PrivilegedRemoval {
public:
    std::optional<QString> remove(const QString &path) override
    {
        std::unique_lock lock(m_mutex);
        m_asked = path;
        m_changed.wait(lock, [this] { return m_cancelled; });
        return QStringLiteral("cancelled");
    }
    void cancel() override
    {
        std::lock_guard lock(m_mutex);
        m_cancelled = true;
        m_changed.notify_all();
    }
    QString asked()
    {
        std::lock_guard lock(m_mutex);
        return m_asked;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    QString m_asked;
    bool m_cancelled = false;
};

} // namespace

// One installation per process (the downloader is one per process, and the
// end of a flow ends the installer): CTest runs each test function alone.
class InstallFlowEndToEndTest : public QObject {
    Q_OBJECT
private:
    TestHome m_home;
    LocalMirror m_mirror;
    LocalCollector m_collector;
    QuietWorkspace m_workspace;
    DecliningAdministrator m_administrator;
    std::unique_ptr<PageDriver> m_driver;
    std::unique_ptr<RootWindowController> m_window;

    QString applications() const { return m_home.filePath(QStringLiteral("Applications")); }
    QString installed() const { return applications() + QStringLiteral("/Prismora.app"); }
    QString marker() const { return m_home.filePath(QStringLiteral("demo-started")); }
    /// What the mirror's hosts in "files" mode serve.
    QString served() const { return m_mirror.root() + QStringLiteral("/prismora.zip"); }
    /// What the mirror's hosts in the other modes ("slow", ...) serve.
    QString pacedArchive() const { return m_home.filePath(QStringLiteral("paced.zip")); }

    /// The demo product, zipped; @p padding bytes of noise make the download take a while.
    bool buildArchive(const QString &path, int padding = 0) const
    {
        ZipBuilder zip(path);
        const QString source = QStringLiteral(DEMO_PRODUCT);
        QDirIterator files(source, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString file = files.next();
            QFile in(file);
            if (!in.open(QIODevice::ReadOnly))
                return false;
            const QFileInfo info(file);
            zip.addFile(
                QDir(QFileInfo(source).path()).relativeFilePath(file), in.readAll(), info.isExecutable() ? 0755 : 0644);
        }
        if (padding > 0) {
            QByteArray noise(padding, Qt::Uninitialized);
            QRandomGenerator generator(7);
            generator.fillRange(reinterpret_cast<quint32 *>(noise.data()), padding / 4);
            zip.addFile(QStringLiteral("Prismora.app/Contents/Resources/media.bin"), noise);
        }
        return zip.close();
    }

    /// Every mirror host serves what lies at served().
    void serveFromRoot()
    {
        const QString base = m_mirror.base(QStringLiteral("files"));
        qputenv("PRISMORA_DOWNLOAD_HOSTS", QStringList(4, base).join(QLatin1Char(',')).toUtf8());
    }

    /// With an installed copy of the product holding old.txt (its path in
    /// @p old) and an archive to install, presses Install: the replace prompt shows.
    bool openReplacePrompt(QString *old)
    {
        QDir().mkpath(installed());
        QFile file(installed() + QStringLiteral("/old.txt"));
        if (!buildArchive(served()) || !file.open(QIODevice::WriteOnly))
            return false;
        *old = file.fileName();
        showWindow();
        clickInstall();
        return m_driver->pump([] { return PageDriver::notice() != nullptr; }, 5000);
    }

    void showWindow()
    {
        m_window.reset(Storyboard::instantiateInitialController());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    template <typename Page> Page *page() const { return qobject_cast<Page *>(m_window->contentViewController()); }

    void clickInstall()
    {
        auto *welcome = page<ViewController>();
        QVERIFY(welcome);
        QTest::mouseClick(welcome->installBtn(), Qt::LeftButton, {}, welcome->installBtn()->rect().center());
    }

    static QStringList queuedActions()
    {
        QStringList actions;
        for (const Analytics::Record &event : Analytics::eventQueue())
            actions << event->params.value(QStringLiteral("ea")).toString() + QLatin1Char('/')
                    + event->params.value(QStringLiteral("el")).toString();
        return actions;
    }

    /// Whether @p action reached the collector; a request in flight is waited for.
    bool reported(const QString &action)
    {
        return m_driver->pump([this, action] { return collectedActions().contains(action); });
    }

    QStringList collectedActions() const
    {
        QStringList actions;
        for (const QJsonObject &request : m_collector.requests()) {
            const QJsonArray events
                = request.value(QStringLiteral("body")).toObject().value(QStringLiteral("events")).toArray();
            for (const QJsonValue &event : events) {
                const QString action = event.toObject()
                                           .value(QStringLiteral("params"))
                                           .toObject()
                                           .value(QStringLiteral("ea"))
                                           .toString();
                if (!action.isEmpty())
                    actions << action;
            }
        }
        return actions;
    }

    static QString logText()
    {
        QFile file(platform::KSTLogManager::singleton().logFilePath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("PRISMORA_APPLICATIONS_DIR", QFile::encodeName(applications()));
        qputenv("PRISMORA_LOG_DIR", QFile::encodeName(m_home.filePath(QStringLiteral("logs"))));
        qputenv("PRISMORA_DEMO_MARKER", QFile::encodeName(marker()));
        qputenv("TMPDIR", QFile::encodeName(m_home.filePath(QStringLiteral("tmp"))));
        qunsetenv("DISPLAY");
        qunsetenv("WAYLAND_DISPLAY");
        QDir().mkpath(applications());
        QDir().mkpath(m_home.filePath(QStringLiteral("tmp")));

        QVERIFY(m_mirror.start(pacedArchive()));
        QVERIFY(m_collector.start());
        // One file of authorities for both local servers.
        QFile authorities(m_home.filePath(QStringLiteral("authorities.pem")));
        QVERIFY(authorities.open(QIODevice::WriteOnly));
        for (const QString &file : { m_mirror.caFile(), m_collector.caFile() }) {
            QFile ca(file);
            QVERIFY(ca.open(QIODevice::ReadOnly));
            authorities.write(ca.readAll());
        }
        authorities.close();
        qputenv("PRISMORA_CA_FILE", QFile::encodeName(authorities.fileName()));
        qputenv("PRISMORA_ANALYTICS_ENDPOINT", m_collector.endpoint().toUtf8());
        serveFromRoot();

        platform::Workspace::setShared(&m_workspace);
        platform::PrivilegedRemoval::setShared(&m_administrator);
        AnalyticsSteps::setTerminationPause(0ms);
        m_driver = std::make_unique<PageDriver>();
        AppDelegate().applicationDidFinishLaunching();
    }

    void cleanupTestCase()
    {
        m_window.reset();
        DownLoader::shared().stopTransfers();
        platform::Workspace::setShared(nullptr);
        platform::PrivilegedRemoval::setShared(nullptr);
        m_driver.reset();
    }

    void success()
    {
        std::optional<platform::Scheduler::TimePoint> launchedAt;
        auto &center = platform::NotificationCenter::defaultCenter();
        const auto observer = center.addObserver(InstallerNotification::launchedFinish, this,
            [this, &launchedAt](const platform::Notification &) { launchedAt = m_driver->scheduler.now(); });
        const auto stopObserving = qScopeGuard([&center, observer] { center.removeObserver(observer); });
        QVERIFY(buildArchive(served()));
        showWindow();
        clickInstall();
        QVERIFY(m_driver->pump([this] { return page<LoadingViewController>() != nullptr; }));

        // The installer asks to quit two seconds (of virtual time) after the product started.
        QVERIFY2(m_driver->pump([&launchedAt] { return launchedAt.has_value(); }), qPrintable(logText()));
        m_driver->scheduler.advanceBy(
            std::chrono::duration_cast<std::chrono::milliseconds>(*launchedAt + 1900ms - m_driver->scheduler.now()));
        QVERIFY(!AppDelegate::isTerminating());
        m_driver->scheduler.advanceBy(100ms);
        QVERIFY(AppDelegate::isTerminating());

        // Installed, tracked and really started.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker()), 20000);
        QVERIFY(QFileInfo(installed() + QStringLiteral("/Contents/MacOS/Prismora")).isExecutable());
        const auto record = platform::PropertyList::readDictionary(*trackingRecordPath());
        QVERIFY(record);
        QCOMPARE(record->size(), 2);
        // Menus list the product: its desktop entry is valid.
        const QString entry = m_home.filePath(QStringLiteral(".local/share/applications/com.kestrum.prismora.desktop"));
        QVERIFY(QFile::exists(entry));
        if (const QString validate = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
            !validate.isEmpty())
            QCOMPARE(QProcess::execute(validate, { entry }), 0);

        // The flush carried the whole story to the collector.
        QVERIFY(m_driver->pump([this] { return collectedActions().contains(QStringLiteral("Start_Application")); }));
        QStringList expected { QStringLiteral("Launch_App"), QStringLiteral("Start_Download"),
            QStringLiteral("Download_Successful"), QStringLiteral("Install_Finished"),
            QStringLiteral("Start_Application") };
        QStringList seen;
        for (const QString &action : collectedActions()) {
            if (expected.contains(action))
                seen << action;
        }
        QCOMPARE(seen, expected);
        QCOMPARE(m_collector.problems(), QStringList());

        const QString log = logText();
        for (const char *line : { "user action: start_download", "DownLoader zip status: nil", "DownLoader to download",
                 "LoadingViewController notifyDownloadFinish", "LoadingViewController notifyInstalled",
                 "LoadingViewController notifyLaunched" })
            QVERIFY2(log.contains(QLatin1String(line)), line);
    }

    void retryAfterEveryMirrorFailed()
    {
        QFile::remove(served());
        showWindow();
        clickInstall();
        QVERIFY(m_driver->pump([this] { return page<FailedViewController>() != nullptr; }));
        auto *failed = page<FailedViewController>();
        QCOMPARE(failed->step(), QStringLiteral("download_result"));
        QCOMPARE(failed->reason(), FailedReason::server);
        QCOMPARE(failed->descriptionLabel()->stringValue(), localizedString(QStringLiteral("Install_Error_Unknown")));
        QCOMPARE(m_mirror.requests().size(), 4);

        QVERIFY(buildArchive(served()));
        QTest::keyClick(failed, Qt::Key_Return);
        QVERIFY(m_driver->pump([this] { return page<LoadingViewController>() != nullptr; }));
        QCOMPARE(page<LoadingViewController>()->downType(), DownloadType::retry);
        QVERIFY2(m_driver->pump([this] { return QFile::exists(marker()); }), qPrintable(logText()));
        QVERIFY(reported(QStringLiteral("Download_Try_Again")));
    }

    void replacePromptCancelKeepsTheCopy()
    {
        QString old;
        QVERIFY(openReplacePrompt(&old));
        QVERIFY(m_driver->choose(0)); // Cancel
        QVERIFY(page<ViewController>());
        QVERIFY(QFile::exists(old));
        QVERIFY(queuedActions().contains(QStringLiteral("NO_Support/software_exist")));
        QCOMPARE(m_mirror.requests().size(), 0);
    }

    void replacePromptReplaceInstalls()
    {
        QString old;
        QVERIFY(openReplacePrompt(&old));
        QVERIFY(m_driver->choose(1)); // Replace
        QVERIFY2(m_driver->pump([this] { return QFile::exists(marker()); }), qPrintable(logText()));
        QVERIFY(!QFile::exists(old));
        QVERIFY(m_administrator.requests.isEmpty());
    }

    void protectedCopyNeedsTheAdministrator()
    {
        QString old;
        QVERIFY(openReplacePrompt(&old));
        ProtectiveFileManager fileManager(installed());
        platform::FileManager::setShared(&fileManager);
        const auto restore = qScopeGuard([] { platform::FileManager::setShared(nullptr); });
        QVERIFY(m_driver->choose(1)); // Replace
        QVERIFY(m_driver->pump([] { return PageDriver::notice() != nullptr; }));
        const QString product = localizedString(QStringLiteral("Application_Name"));
        QCOMPARE(PageDriver::notice()->descLabel()->text(),
            localizedFormat(QStringLiteral("Alert_Existed_Delete_Manually"), { product, product }));
        QCOMPARE(m_administrator.requests, QStringList { installed() });
        QVERIFY(page<LoadingViewController>());
        QVERIFY(QFile::exists(old));
        QVERIFY(!QFile::exists(installed() + QStringLiteral("/Contents/Info.plist")));
        // The new copy was checked before anyone was asked, and nothing of it stays.
        QVERIFY(logText().contains(QLatin1String("DownLoader install blocked: ")));
        QVERIFY(!logText().contains(QLatin1String("DownLoader install install success")));
        QCOMPARE(QDir(applications()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList { QStringLiteral("Prismora.app") });
    }

    void theWindowStaysLiveWhileTheAdministratorIsAsked()
    {
        QString old;
        QVERIFY(openReplacePrompt(&old));
        ProtectiveFileManager fileManager(installed());
        PendingAdministrator administrator;
        platform::FileManager::setShared(&fileManager);
        platform::PrivilegedRemoval::setShared(&administrator);
        const auto restore = qScopeGuard([this] {
            platform::FileManager::setShared(nullptr);
            platform::PrivilegedRemoval::setShared(&m_administrator);
        });
        QVERIFY(m_driver->choose(1)); // Replace
        QVERIFY(m_driver->pump([&administrator] { return !administrator.asked().isEmpty(); }));

        // The password prompt is up; the window still answers its close button.
        m_window->close();
        QVERIFY(m_driver->pump([] { return PageDriver::notice() != nullptr; }, 5000));
        QVERIFY(m_window->isVisible());

        // Quitting ends the pending request instead of waiting for it, and changes nothing.
        DownLoader::shared().stopTransfers();
        QVERIFY(QFile::exists(old));
        QCOMPARE(QDir(applications()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList { QStringLiteral("Prismora.app") });
    }

    void closingDuringTheDownloadPauses()
    {
        QVERIFY(buildArchive(pacedArchive(), 6 * 1024 * 1024));
        qputenv("PRISMORA_DOWNLOAD_HOSTS",
            QStringList(4, m_mirror.base(QStringLiteral("slow"))).join(QLatin1Char(',')).toUtf8());
        showWindow();
        clickInstall();
        QVERIFY(m_driver->pump([] {
            const auto zip = DownLoader::shared().zip();
            return zip && zip->currentSize > 0;
        }));
        m_window->close();
        QVERIFY(m_window->isVisible());
        QVERIFY(m_driver->pump([] { return PageDriver::notice() != nullptr; }, 5000));
        const auto task = DownLoader::shared().zip()->task.load();
        QVERIFY(task);
        QCOMPARE(task->state(), platform::net::DownloadTask::State::Suspended);
        QVERIFY(m_driver->choose(1)); // Cancel: go on
        QCOMPARE(task->state(), platform::net::DownloadTask::State::Running);
        QVERIFY2(m_driver->pump([this] { return QFile::exists(marker()); }), qPrintable(logText()));
        QVERIFY(reported(QStringLiteral("Cancel_Download_Close")));
    }

    void hostileArchivesKeepTheInstalledCopy_data()
    {
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<QString>("step");
        QTest::addColumn<FailedReason>("reason");
        const auto bundleWith = [](const QByteArray &plist, bool executable) {
            QTemporaryDir folder;
            const QString path = folder.filePath(QStringLiteral("a.zip"));
            ZipBuilder zip(path);
            zip.addFile(QStringLiteral("Prismora.app/Contents/Info.plist"), plist);
            if (executable)
                zip.addFile(QStringLiteral("Prismora.app/Contents/MacOS/Prismora"), "#!/bin/sh\n", 0755);
            zip.addFile(QStringLiteral("Backdoor.app/Contents/MacOS/Backdoor"), "#!/bin/sh\n", 0755);
            zip.close();
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        const QByteArray plist = "<plist version=\"1.0\"><dict><key>CFBundleExecutable</key><string>Prismora</string>"
                                 "</dict></plist>";
        const QByteArray deep = "<plist version=\"1.0\">" + QByteArray("<array>").repeated(300000)
            + QByteArray("</array>").repeated(300000) + "</plist>";
        // Under the size limit: only the nesting check stops it.
        const QByteArray deepButSmall = "<plist version=\"1.0\">" + QByteArray("<array>").repeated(100000);
        const QString install = QStringLiteral("install_finished");
        // Not even shaped like a zip archive: every host failed, nothing was unpacked.
        QTest::newRow("not a zip") << QByteArray(4096, 'x') << QStringLiteral("download_result")
                                   << FailedReason::server;
        QTest::newRow("sizes wrapping past 2^64") << ZipBuilder::declaringSizes(
            { { "Prismora.app/Contents/a", ~std::uint64_t(0) }, { "Prismora.app/Contents/b", 2 } })
                                                  << install << FailedReason::install;
        QTest::newRow("Info.plist nested 300,000 deep") << bundleWith(deep, true) << install << FailedReason::install;
        QTest::newRow("Info.plist nested 100,000 deep in 700 KB")
            << bundleWith(deepButSmall, true) << install << FailedReason::install;
        QTest::newRow("no executable") << bundleWith(plist, false) << install << FailedReason::install;
    }

    void hostileArchivesKeepTheInstalledCopy()
    {
        QFETCH(QByteArray, archive);
        QFETCH(QString, step);
        QFETCH(FailedReason, reason);
        QDir().mkpath(installed());
        const QString old = installed() + QStringLiteral("/old.txt");
        QFile oldFile(old);
        QVERIFY(oldFile.open(QIODevice::WriteOnly));
        oldFile.close();
        QFile served(this->served());
        QVERIFY(served.open(QIODevice::WriteOnly));
        served.write(archive);
        served.close();

        showWindow();
        clickInstall();
        QVERIFY(m_driver->pump([] { return PageDriver::notice() != nullptr; }, 5000));
        QVERIFY(m_driver->choose(1)); // Replace
        QVERIFY2(m_driver->pump([this] { return page<FailedViewController>() != nullptr; }), qPrintable(logText()));
        QCOMPARE(page<FailedViewController>()->step(), step);
        QCOMPARE(page<FailedViewController>()->reason(), reason);
        QVERIFY(QFile::exists(old));
        QCOMPARE(QDir(applications()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList { QStringLiteral("Prismora.app") });
        QVERIFY(!QFile::exists(*trackingRecordPath()));
        // A failed download keeps its work folder for Retry; an install leaves nothing.
        QVERIFY(step != QLatin1String("install_finished") || m_driver->pump([this] {
            return QDir(m_home.filePath(QStringLiteral(".cache/Prismora_Installer")))
                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
                .isEmpty();
        }));
    }

    void brokenArchiveShowsTheInstallFailure()
    {
        // A zip archive whose first entry's data is damaged: only unpacking finds out.
        QVERIFY(buildArchive(served(), 64 * 1024));
        QFile broken(served());
        QVERIFY(broken.open(QIODevice::ReadWrite));
        QByteArray bytes = broken.readAll();
        for (qsizetype at = 200; at < 4096; ++at)
            bytes[at] = char(~bytes[at]);
        QVERIFY(broken.seek(0) && broken.write(bytes) == bytes.size());
        broken.close();
        showWindow();
        clickInstall();
        QVERIFY(m_driver->pump([this] { return page<FailedViewController>() != nullptr; }));
        QCOMPARE(page<FailedViewController>()->step(), QStringLiteral("install_finished"));
        QCOMPARE(page<FailedViewController>()->reason(), FailedReason::install);
        QVERIFY(!QFile::exists(installed()));
    }

    void aSignedArchiveInstalls()
    {
        QVERIFY(buildArchive(served()));
        const QString key = MinisignTool::makeKey(m_home.filePath(QStringLiteral("maker")));
        // Every mirror host serves the signature beside served().
        QVERIFY(!key.isEmpty() && MinisignTool::sign(m_home.filePath(QStringLiteral("maker")), served()));
        qputenv("PRISMORA_ARCHIVE_PUBLIC_KEYS", key.toLatin1());
        showWindow();
        clickInstall();
        QVERIFY2(m_driver->pump([this] { return QFile::exists(marker()); }), qPrintable(logText()));
        QVERIFY(logText().contains(QStringLiteral("DownLoader signature trusted comment: timestamp:")));
    }

    void anArchiveSignedByAnotherKeyIsRefused()
    {
        QVERIFY(buildArchive(served()));
        const QString key = MinisignTool::makeKey(m_home.filePath(QStringLiteral("maker")));
        const QString impostor = m_home.filePath(QStringLiteral("impostor"));
        QVERIFY(!key.isEmpty() && !MinisignTool::makeKey(impostor).isEmpty() && MinisignTool::sign(impostor, served()));
        qputenv("PRISMORA_ARCHIVE_PUBLIC_KEYS", key.toLatin1());
        showWindow();
        clickInstall();
        QVERIFY(m_driver->pump([this] { return page<FailedViewController>() != nullptr; }));
        QCOMPARE(page<FailedViewController>()->step(), QStringLiteral("download_result"));
        QCOMPARE(page<FailedViewController>()->reason(), FailedReason::server);
        // Each host was asked for its signature only, never for the archive.
        QCOMPARE(m_mirror.requests().size(), 4);
        QCOMPARE(m_mirror.requests().filter(QStringLiteral(".minisig")).size(), 4);
        QVERIFY(!QFile::exists(installed()));
    }
};

QTEST_MAIN(InstallFlowEndToEndTest)
#include "tst_installflow_e2e.moc"
