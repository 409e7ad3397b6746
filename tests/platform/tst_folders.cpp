#include "TestHome.h"

#include <platform/FileError.h>
#include <platform/Folders.h>

#include <QTest>

#include <cerrno>

using platform::FileError;
using platform::Folders;

class FoldersTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void foldersFollowTheUsersHome()
    {
        TestHome home;
        QCOMPARE(*Folders::applicationSupport(), home.path() + QStringLiteral("/.local/share"));
        QCOMPARE(*Folders::documents(), home.path() + QStringLiteral("/Documents"));
    }

    void freeSpaceNeedsAnExistingFolder()
    {
        TestHome home;
        QVERIFY(!Folders::freeSpace(home.filePath(QStringLiteral("Documents"))));
        QVERIFY(!Folders::freeSpace(QString()));
        const auto free = Folders::freeSpace(home.path());
        QVERIFY(free);
        QVERIFY(*free > 0);
    }

    void applicationsFolderRule()
    {
        TestHome home;
        QCOMPARE(Folders::resolveApplications(QStringLiteral("/opt/apps/"), QStringLiteral("/"), home.path()),
            QStringLiteral("/opt/apps"));
        QCOMPARE(Folders::resolveApplications(QString(), home.path(), QStringLiteral("/nowhere")), home.path());
        QCOMPARE(Folders::resolveApplications(QString(), home.filePath(QStringLiteral("missing")), home.path()),
            home.path() + QStringLiteral("/Applications"));
    }

    void applicationsFolderIsResolvedOnce()
    {
        TestHome home;
        qputenv("PRISMORA_APPLICATIONS_DIR", QFile::encodeName(home.filePath(QStringLiteral("Apps"))));
        const QString first = Folders::applications();
        qputenv("PRISMORA_APPLICATIONS_DIR", "/elsewhere");
        QCOMPARE(Folders::applications(), first);
        QVERIFY(QFileInfo(first).isDir());
    }

    void fileErrorNumbers_data()
    {
        QTest::addColumn<int>("errorNumber");
        QTest::addColumn<bool>("writing");
        QTest::addColumn<int>("expected");
        QTest::newRow("no such file") << ENOENT << false << 4;
        QTest::newRow("write permission") << EACCES << true << 513;
        QTest::newRow("read permission") << EACCES << false << 257;
        QTest::newRow("disk full") << ENOSPC << true << 640;
        QTest::newRow("quota") << EDQUOT << true << 640;
        QTest::newRow("other write") << EIO << true << 512;
    }

    void fileErrorNumbers()
    {
        QFETCH(int, errorNumber);
        QFETCH(bool, writing);
        QFETCH(int, expected);
        QCOMPARE(int(platform::fileErrorFromErrno(errorNumber, writing)), expected);
    }
};

QTEST_GUILESS_MAIN(FoldersTest)
#include "tst_folders.moc"
