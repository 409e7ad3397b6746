#include "TestHome.h"

#include <installer/install/WorkFolder.h>

#include <QDir>
#include <QFile>
#include <QTest>

#include <unistd.h>

class TestWorkFolder : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_home.filePath(QStringLiteral(".cache"))));
        qputenv("TMPDIR", QFile::encodeName(m_home.filePath(QStringLiteral("tmp"))));
        QDir().mkpath(m_home.filePath(QStringLiteral("tmp")));
    }

    void isPrivateAndGoesAway()
    {
        QString path;
        {
            const auto work = WorkFolder::create();
            QVERIFY(work);
            path = work->path();
            QVERIFY(path.startsWith(m_home.filePath(QStringLiteral(".cache/Prismora_Installer/run-"))));
            QCOMPARE(QFileInfo(path).permissions() & 0x0077, QFileDevice::Permissions());
            QCOMPARE(work->unpackPath(), path + QStringLiteral("/Fetchwell"));
            QVERIFY(QDir().mkpath(work->unpackPath() + QStringLiteral("/Prismora.app")));
            QCOMPARE(WorkFolder::sweepStale(), 0); // held: never swept
        }
        QVERIFY(!QFileInfo::exists(path));
    }

    void anUnsafeCacheFolderIsNotUsed_data()
    {
        QTest::addColumn<QString>("cache");
        QTest::addColumn<QString>("temporary");
        QTest::addColumn<QString>("expectedParent");
        QTest::newRow("cache folder is another's link") << "link"
                                                        << "tmp"
                                                        << "tmp";
        QTest::newRow("cache is a file, TMPDIR missing") << "file"
                                                         << "missing"
                                                         << "/tmp";
        QTest::newRow("cache group-writable, TMPDIR relative") << "shared"
                                                               << "relative"
                                                               << "/tmp";
    }

    void anUnsafeCacheFolderIsNotUsed()
    {
        QFETCH(QString, cache);
        QFETCH(QString, temporary);
        QFETCH(QString, expectedParent);
        const QString root = m_home.filePath(cache);
        const QString base = root + QStringLiteral("/Prismora_Installer");
        QVERIFY(QDir().mkpath(root));
        QDir(base).removeRecursively();
        QFile::remove(base);
        if (cache == QLatin1String("link")) {
            QVERIFY(QDir().mkpath(m_home.filePath(QStringLiteral("attacker"))));
            QVERIFY(QFile::link(m_home.filePath(QStringLiteral("attacker")), base));
        } else if (cache == QLatin1String("file")) {
            QFile file(base);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else {
            QVERIFY(QDir().mkpath(base));
            QVERIFY(QFile::setPermissions(base, QFileDevice::Permissions(0x7770)));
        }
        qputenv("XDG_CACHE_HOME", QFile::encodeName(root));
        if (temporary == QLatin1String("missing"))
            qputenv("TMPDIR", QFile::encodeName(m_home.filePath(QStringLiteral("no/such/folder"))));
        else if (temporary == QLatin1String("relative"))
            qputenv("TMPDIR", "tmp");

        const auto work = WorkFolder::create();
        QVERIFY(work);
        const QString parent
            = expectedParent.startsWith(QLatin1Char('/')) ? expectedParent : m_home.filePath(expectedParent);
        QCOMPARE(QFileInfo(work->path()).absolutePath(), parent);
        QVERIFY(QFileInfo(work->path()).fileName().startsWith(QStringLiteral("Prismora_Installer-")));
        QVERIFY(QDir(m_home.filePath(QStringLiteral("attacker"))).isEmpty());
    }

    void sweepingRemovesOnlyUnheldFoldersOfOurOwn()
    {
        const auto held = WorkFolder::create();
        QVERIFY(held);
        const QString base = QFileInfo(held->path()).absolutePath();
        QVERIFY(QDir().mkpath(base + QStringLiteral("/run-killed/Fetchwell/Prismora.app")));
        QVERIFY(QDir().mkpath(m_home.filePath(QStringLiteral("victim/keep"))));
        QVERIFY(QFile::link(m_home.filePath(QStringLiteral("victim")), base + QStringLiteral("/run-link")));

        QCOMPARE(WorkFolder::sweepStale(), 1);
        QVERIFY(!QFileInfo::exists(base + QStringLiteral("/run-killed")));
        QVERIFY(QFileInfo::exists(held->path()));
        QVERIFY(QFileInfo::exists(m_home.filePath(QStringLiteral("victim/keep"))));
    }

private:
    TestHome m_home;
};

QTEST_GUILESS_MAIN(TestWorkFolder)
#include "tst_workfolder.moc"
