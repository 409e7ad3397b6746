#include "TestHome.h"
#include "fixtures/LocalMirror.h"
#include "fixtures/SmallVolume.h"
#include "fixtures/ZipBuilder.h"

#include <installer/install/FolderLock.h>
#include <installer/install/InstallTransaction.h>
#include <installer/install/SwapJournal.h>
#include <installer/install/WorkFolder.h>

#include <platform/KSTLogManager.h>
#include <platform/PrivilegedRemoval.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <optional>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using Outcome = InstallTransaction::Outcome;
using Phase = InstallTransaction::Phase;

Q_DECLARE_METATYPE(Outcome)
Q_DECLARE_METATYPE(FailedReason)
Q_DECLARE_METATYPE(Phase)

namespace {

QByteArray infoPlist(const QByteArray &executable = "Prismora")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>\n"
           "<key>CFBundleIdentifier</key><string>com.kestrum.prismora</string>\n"
           "<key>CFBundleExecutable</key><string>"
        + executable + "</string>\n</dict></plist>\n";
}

/// Writes a product bundle whose Resources/version.txt holds @p version.
void addBundle(ZipBuilder &zip, const QByteArray &version, mode_t executableMode = 0755)
{
    zip.addFile(QStringLiteral("Prismora.app/Contents/Info.plist"), infoPlist());
    zip.addFile(QStringLiteral("Prismora.app/Contents/MacOS/Prismora"), "#!/bin/sh\n", executableMode);
    zip.addFile(QStringLiteral("Prismora.app/Contents/Resources/version.txt"), version);
}

QString strerrorText(int errorNumber)
{
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QStringLiteral("<missing>");
}

/// Everything in @p folder whose name starts with a dot.
QStringList hiddenEntries(const QString &folder)
{
    QStringList hidden = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    hidden.removeIf([](const QString &name) { return !name.startsWith(QLatin1Char('.')); });
    return hidden;
}

} // namespace

class TestInstallTransaction : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_mirror.start(m_home.filePath(QStringLiteral("served.zip"))));
        qputenv("PRISMORA_CA_FILE", QFile::encodeName(m_mirror.caFile()));
    }

    void init()
    {
        QDir(apps()).removeRecursively();
        QVERIFY(QDir().mkpath(apps() + QStringLiteral("/Prismora.app/Contents/Resources")));
        QVERIFY(QDir().mkpath(apps() + QStringLiteral("/Other.app")));
        writeFile(apps() + QStringLiteral("/Prismora.app/Contents/Resources/version.txt"), "old");
        writeFile(apps() + QStringLiteral("/Other.app/mine.txt"), "the user's own");
    }

    void archivesThatMustNotReplaceTheInstalledCopy_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<FailedReason>("reason");
        QTest::newRow("truncated archive") << "truncated" << FailedReason::install;
        QTest::newRow("a web page") << "html" << FailedReason::install;
        QTest::newRow("no Prismora.app") << "nobundle" << FailedReason::install;
        QTest::newRow("Prismora.app is a file") << "bundlefile" << FailedReason::install;
        QTest::newRow("no Info.plist") << "noplist" << FailedReason::install;
        QTest::newRow("executable missing") << "noexecutable" << FailedReason::install;
        QTest::newRow("executable named by a path") << "pathexecutable" << FailedReason::install;
        QTest::newRow("link out of the bundle") << "escapinglink" << FailedReason::install;
    }

    void archivesThatMustNotReplaceTheInstalledCopy()
    {
        QFETCH(QString, kind);
        QFETCH(FailedReason, reason);
        const QString archive = m_home.filePath(kind + QStringLiteral(".zip"));
        {
            ZipBuilder zip(archive);
            if (kind == QLatin1String("truncated") || kind == QLatin1String("escapinglink"))
                addBundle(zip, QByteArray(256 * 1024, 'n'));
            if (kind == QLatin1String("nobundle"))
                zip.addFile(QStringLiteral("Backdoor.app/Contents/Info.plist"), infoPlist());
            if (kind == QLatin1String("bundlefile"))
                zip.addFile(QStringLiteral("Prismora.app"), "not a folder");
            if (kind == QLatin1String("noplist"))
                zip.addFile(QStringLiteral("Prismora.app/Contents/MacOS/Prismora"), "#!/bin/sh\n", 0755);
            if (kind == QLatin1String("noexecutable"))
                zip.addFile(QStringLiteral("Prismora.app/Contents/Info.plist"), infoPlist());
            if (kind == QLatin1String("pathexecutable")) {
                zip.addFile(QStringLiteral("Prismora.app/Contents/Info.plist"), infoPlist("../../../Other.app/x"));
                zip.addFile(QStringLiteral("Prismora.app/Contents/MacOS/Prismora"), "#!/bin/sh\n", 0755);
            }
            if (kind == QLatin1String("escapinglink"))
                zip.addLink(QStringLiteral("Prismora.app/Contents/Resources/user"), "../../../Other.app");
            QVERIFY(zip.close());
        }
        if (kind == QLatin1String("truncated"))
            QVERIFY(QFile::resize(archive, QFileInfo(archive).size() / 2));
        if (kind == QLatin1String("html"))
            writeFile(archive, "<!DOCTYPE html><html><body>Not found</body></html>");

        const auto result = run(archive);
        QCOMPARE(result.outcome, Outcome::Failed);
        QCOMPARE(result.reason, reason);
        QVERIFY(!result.localizedDescription.isEmpty());
        QCOMPARE(
            readAll(apps() + QStringLiteral("/Prismora.app/Contents/Resources/version.txt")), QStringLiteral("old"));
        QVERIFY(!QFileInfo::exists(apps() + QStringLiteral("/Backdoor.app")));
        QCOMPARE(hiddenEntries(apps()), QStringList());
        QVERIFY(!QFileInfo::exists(m_unpack));
    }

    void onlyTheBundleReplacesTheInstalledCopy_data()
    {
        QTest::addColumn<bool>("exchange");
        QTest::newRow("exchanged in one rename") << true;
        QTest::newRow("moved aside first") << false;
    }

    void onlyTheBundleReplacesTheInstalledCopy()
    {
        QFETCH(bool, exchange);
        const QString archive = newArchive(QStringLiteral("good.zip"),
            { { QStringLiteral("Other.app/mine.txt"), "overwritten" }, { QStringLiteral("notes.txt"), "notes" } },
            04777);
        QVERIFY(!archive.isEmpty());
        InstallTransaction::Options options;
        options.exchange = exchange;
        const auto result = run(archive, options);
        QCOMPARE(result.outcome, Outcome::Installed);
        QCOMPARE(
            readAll(apps() + QStringLiteral("/Prismora.app/Contents/Resources/version.txt")), QStringLiteral("new"));
        QCOMPARE(readAll(apps() + QStringLiteral("/Other.app/mine.txt")), QStringLiteral("the user's own"));
        QVERIFY(!QFileInfo::exists(apps() + QStringLiteral("/notes.txt")));
        QCOMPARE(result.ignoredEntries, (QStringList { "notes.txt", "Other.app" }));
        QCOMPARE(hiddenEntries(apps()), QStringList());
        QVERIFY(!QFileInfo::exists(m_unpack));
        // Nobody but the user may change the program; set-id bits never survive.
        struct stat info { };
        QCOMPARE(::stat(QFile::encodeName(apps() + QStringLiteral("/Prismora.app/Contents/MacOS/Prismora")).constData(),
                     &info),
            0);
        QCOMPARE(info.st_mode & 07777, mode_t(0755));
    }

    void anUnusableApplicationsFolderChangesNothing_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::newRow("another installer holds it") << true;
        QTest::newRow("it does not exist") << false;
    }

    void anUnusableApplicationsFolderChangesNothing()
    {
        QFETCH(bool, locked);
        const QString archive = newArchive(QStringLiteral("good.zip"));
        QVERIFY(!archive.isEmpty());
        const FolderLock otherInstaller(apps());
        QVERIFY(otherInstaller.isHeld());
        const QString applications = locked ? apps() : m_home.filePath(QStringLiteral("missing"));
        const auto result = InstallTransaction(archive, m_unpack, applications).run();
        QCOMPARE(result.outcome, Outcome::Failed);
        QCOMPARE(result.reason, FailedReason::install);
        QCOMPARE(
            readAll(apps() + QStringLiteral("/Prismora.app/Contents/Resources/version.txt")), QStringLiteral("old"));
        QCOMPARE(hiddenEntries(apps()), QStringList());
        QVERIFY(!QFileInfo::exists(m_unpack));
        // Recovery leaves a transaction in progress alone.
        InstallTransaction::recover(apps());
        QVERIFY(QFileInfo::exists(apps() + QStringLiteral("/Prismora.app")));
    }

    // Root cannot be kept out of a folder, nor can anyone else make a file immutable.
    void aLeftoverOfTheOldCopyIsLoggedAndSweptLater_data()
    {
        QTest::addColumn<bool>("immutable");
        QTest::addColumn<int>("expected");
        QTest::newRow("immutable file (root)") << true << EPERM;
        QTest::newRow("folder without write permission (not root)") << false << EACCES;
    }

    void aLeftoverOfTheOldCopyIsLoggedAndSweptLater()
    {
        QFETCH(bool, immutable);
        QFETCH(int, expected);
        if (immutable != (::geteuid() == 0))
            QSKIP(immutable ? "needs root to make a file immutable" : "root may write in any folder");
        const QString oldFolder = QStringLiteral("/Prismora.app/Contents/Resources");
        const QString oldFile = oldFolder + QStringLiteral("/version.txt");
        if (immutable && QProcess::execute(QStringLiteral("chattr"), { QStringLiteral("+i"), apps() + oldFile }) != 0)
            QSKIP("this file system cannot make a file immutable");
        if (!immutable)
            QVERIFY(QFile::setPermissions(apps() + oldFolder, QFile::ReadOwner | QFile::ExeOwner));
        platform::PrivilegedRemoval refusing(QStringLiteral("/bin/false"));
        platform::PrivilegedRemoval::setShared(&refusing);
        const auto makeRemovable = [&] {
            platform::PrivilegedRemoval::setShared(nullptr);
            for (const QString &staging : hiddenEntries(apps())) {
                const QString old = apps() + u'/' + staging;
                QProcess::execute(QStringLiteral("chattr"), { QStringLiteral("-i"), old + oldFile });
                QFile::setPermissions(old + oldFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            }
        };
        const auto restore = qScopeGuard(makeRemovable);
        const QString archive = newArchive(QStringLiteral("good.zip"));
        QVERIFY(!archive.isEmpty());

        QCOMPARE(run(archive).outcome, Outcome::Installed);
        QCOMPARE(
            readAll(apps() + QStringLiteral("/Prismora.app/Contents/Resources/version.txt")), QStringLiteral("new"));
        const QStringList left = hiddenEntries(apps());
        QCOMPARE(left.size(), 1);
        const QString line
            = QStringLiteral("could not remove %1/%2%3: %4").arg(apps(), left.first(), oldFile, strerrorText(expected));
        QVERIFY2(logText().contains(line), qPrintable(line));
        makeRemovable();
        InstallTransaction::recover(apps());
        QCOMPARE(hiddenEntries(apps()), QStringList());
    }

    // The cause is the folder's, not that of whatever ran after the failure.
    void aReadOnlyApplicationsFolderNamesTheRealCause_data()
    {
        QTest::addColumn<bool>("readOnlyVolume");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("read-only volume (root)") << true << EROFS << "“readonly” is on a read-only volume.";
        QTest::newRow("folder without write permission (not root)")
            << false << EACCES << "You don’t have permission to change “readonly”.";
    }

    void aReadOnlyApplicationsFolderNamesTheRealCause()
    {
        QFETCH(bool, readOnlyVolume);
        QFETCH(int, expected);
        QFETCH(QString, sentence);
        if (readOnlyVolume != (::geteuid() == 0))
            QSKIP(readOnlyVolume ? "needs root to mount a read-only volume" : "root may write in any folder");
        const QString applications = m_home.filePath(QStringLiteral("readonly"));
        std::optional<SmallVolume> volume;
        if (readOnlyVolume) {
            volume.emplace(applications, "1m", MS_RDONLY);
            if (!volume->isMounted())
                QSKIP("cannot mount a read-only volume here");
        } else {
            QVERIFY(QDir().mkpath(applications));
            QVERIFY(QFile::setPermissions(applications, QFile::ReadOwner | QFile::ExeOwner));
        }
        const QString archive = newArchive(QStringLiteral("good.zip"));
        QVERIFY(!archive.isEmpty());

        const auto result = InstallTransaction(archive, m_unpack, applications).run();
        QCOMPARE(result.outcome, Outcome::Failed);
        QCOMPARE(result.reason, FailedReason::install);
        QCOMPARE(result.localizedDescription, sentence);
        const QString cause = QStringLiteral("path: %1 (%2)").arg(applications, strerrorText(expected));
        QVERIFY2(result.description.contains(cause), qPrintable(result.description));
        QVERIFY(!QFileInfo::exists(m_unpack));
    }

    void aKilledRunLeavesTheOldOrTheNewCopy_data()
    {
        QTest::addColumn<Phase>("phase");
        QTest::addColumn<bool>("exchange");
        QTest::addColumn<QString>("expected");
        QTest::newRow("unpacked") << Phase::Unpacked << true << "old";
        QTest::newRow("staged") << Phase::Staged << true << "old";
        QTest::newRow("validated") << Phase::Validated << true << "old";
        QTest::newRow("journaled") << Phase::Swapping << true << "old";
        QTest::newRow("exchanged") << Phase::Swapped << true << "new";
        QTest::newRow("journaled, no exchange") << Phase::Swapping << false << "old";
        QTest::newRow("old copy moved aside") << Phase::MovedAside << false << "old";
        QTest::newRow("moved in, no exchange") << Phase::Swapped << false << "new";
    }

    void aKilledRunLeavesTheOldOrTheNewCopy()
    {
        QFETCH(Phase, phase);
        QFETCH(bool, exchange);
        QFETCH(QString, expected);
        QList<std::pair<QString, QByteArray>> parts;
        for (int i = 0; i < 200; ++i)
            parts.push_back(
                { QStringLiteral("Prismora.app/Contents/Resources/part-%1").arg(i), QByteArray(4096, 'p') });
        const QString archive = newArchive(QStringLiteral("killed.zip"), parts);
        QVERIFY(!archive.isEmpty());
        QProcess child;
        child.start(QStringLiteral(TRANSACTION_CHILD),
            { archive, apps(), QString::number(int(phase)), exchange ? QStringLiteral("1") : QStringLiteral("0") });
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        // The next start finishes or rolls back what the killed run left.
        InstallTransaction::recover(apps());
        QVERIFY(WorkFolder::sweepStale() >= 1);
        QCOMPARE(readAll(apps() + QStringLiteral("/Prismora.app/Contents/Resources/version.txt")), expected);
        if (expected == QLatin1String("new"))
            QCOMPARE(QDir(apps() + QStringLiteral("/Prismora.app/Contents/Resources")).count(), 203u);
        QCOMPARE(hiddenEntries(apps()), QStringList());
        QCOMPARE(QDir(cacheBase()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    }

    void aRunKilledWhileDownloadingLeavesNothing()
    {
        QVERIFY(!newArchive(QStringLiteral("served.zip"),
            { { QStringLiteral("Prismora.app/Contents/Resources/media.bin"), QByteArray(8 * 1024 * 1024, 'm') } })
                     .isEmpty());
        QProcess child;
        child.start(QStringLiteral(TRANSACTION_CHILD),
            { m_mirror.url(QStringLiteral("slow/prismora.zip")), apps(), QStringLiteral("-1"), QStringLiteral("1") });
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QCOMPARE(QDir(cacheBase()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1); // the partial download

        InstallTransaction::recover(apps());
        QCOMPARE(WorkFolder::sweepStale(), 1);
        QCOMPARE(QDir(cacheBase()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
        QCOMPARE(
            readAll(apps() + QStringLiteral("/Prismora.app/Contents/Resources/version.txt")), QStringLiteral("old"));
        QCOMPARE(hiddenEntries(apps()), QStringList());
    }

    void aForgedJournalIsNotFollowed()
    {
        QDir().mkpath(m_home.filePath(QStringLiteral("victim/previous.app")));
        QFile::remove(apps() + QStringLiteral("/Prismora.app/Contents/Resources/version.txt"));
        QDir(apps() + QStringLiteral("/Prismora.app")).removeRecursively();
        writeFile(SwapJournal::path(apps()), R"({"staging":"../victim","device":"1","inode":"2"})");
        InstallTransaction::recover(apps());
        QVERIFY(QFileInfo::exists(m_home.filePath(QStringLiteral("victim/previous.app"))));
        QVERIFY(!QFileInfo::exists(apps() + QStringLiteral("/Prismora.app")));
        QCOMPARE(hiddenEntries(apps()), QStringList());
    }

    void aFullDiskNamesTheFolderThatIsFull_data()
    {
        QTest::addColumn<bool>("fullApplications");
        QTest::newRow("applications folder full") << true;
        QTest::newRow("work folder full") << false;
    }

    void aFullDiskNamesTheFolderThatIsFull()
    {
        QFETCH(bool, fullApplications);
        const QString full = m_home.filePath(QStringLiteral("small"));
        SmallVolume volume(full);
        if (!volume.isMounted())
            QSKIP("needs root to mount a small volume");
        QByteArray noise(3 * 1024 * 1024, Qt::Uninitialized);
        for (qsizetype i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919) ^ (i >> 7));
        const QString archive = newArchive(
            QStringLiteral("large.zip"), { { QStringLiteral("Prismora.app/Contents/Resources/large.bin"), noise } });
        QVERIFY(!archive.isEmpty());
        const QString applications = fullApplications ? full : apps();
        const QString unpack = fullApplications ? m_unpack : full + QStringLiteral("/Fetchwell");
        const auto result = InstallTransaction(archive, unpack, applications).run();
        QCOMPARE(result.outcome, Outcome::Failed);
        QCOMPARE(result.reason, FailedReason::write);
        QCOMPARE(result.fullFolder, full);
        QCOMPARE(hiddenEntries(applications), QStringList());
        if (!fullApplications)
            QCOMPARE(readAll(apps() + QStringLiteral("/Prismora.app/Contents/Resources/version.txt")),
                QStringLiteral("old"));
    }

private:
    QString apps() const { return m_home.filePath(QStringLiteral("Applications")); }
    QString cacheBase() const { return m_home.filePath(QStringLiteral(".cache/Prismora_Installer")); }

    static QString logText()
    {
        QFile file(platform::KSTLogManager::singleton().logFilePath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    static void writeFile(const QString &path, const QByteArray &content)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    /// An archive of the new bundle plus @p extra entries; empty when it cannot be written.
    QString newArchive(const QString &name, const QList<std::pair<QString, QByteArray>> &extra = {},
        mode_t executableMode = 0755) const
    {
        const QString archive = m_home.filePath(name);
        ZipBuilder zip(archive);
        addBundle(zip, "new", executableMode);
        for (const auto &[entry, content] : extra)
            zip.addFile(entry, content);
        return zip.close() ? archive : QString();
    }

    InstallTransaction::Result run(const QString &archive, const InstallTransaction::Options &options = {})
    {
        return InstallTransaction(archive, m_unpack, apps(), options).run();
    }

    TestHome m_home;
    LocalMirror m_mirror;
    QString m_unpack = m_home.filePath(QStringLiteral("work/Fetchwell"));
};

QTEST_GUILESS_MAIN(TestInstallTransaction)
#include "tst_installtransaction.moc"
