#include <platform/FileManager.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using platform::FileError;
using platform::FileManager;

class FileManagerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void removesFoldersAndLinksNotTheirTargets()
    {
        QTemporaryDir dir;
        const QString bundle = dir.filePath(QStringLiteral("Prismora.app"));
        QVERIFY(QDir().mkpath(bundle + QStringLiteral("/Contents/MacOS")));
        QFile file(bundle + QStringLiteral("/Contents/MacOS/Prismora"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const QString target = dir.filePath(QStringLiteral("kept.txt"));
        QFile kept(target);
        QVERIFY(kept.open(QIODevice::WriteOnly));
        kept.close();
        const QString link = dir.filePath(QStringLiteral("link"));
        QVERIFY(QFile::link(target, link));

        QCOMPARE(FileManager::shared().removeItem(bundle), FileError::None);
        QVERIFY(!QFileInfo::exists(bundle));
        QCOMPARE(FileManager::shared().removeItem(link), FileError::None);
        QVERIFY(!QFileInfo(link).isSymLink());
        QVERIFY(QFileInfo::exists(target));
        QCOMPARE(FileManager::shared().removeItem(bundle), FileError::NoSuchFile);
    }

    // A path that cannot be looked at is a failure, never "already gone".
    void anUnreadablePathIsNotReportedAsMissing()
    {
        QTemporaryDir dir;
        const QString loop = dir.filePath(QStringLiteral("loop"));
        QVERIFY(QFile::link(loop, loop));
        const FileError error = FileManager::shared().removeItem(loop + QStringLiteral("/Prismora.app"));
        QVERIFY(error != FileError::None);
        QVERIFY(error != FileError::NoSuchFile);
    }
};

QTEST_GUILESS_MAIN(FileManagerTest)
#include "tst_filemanager.moc"
