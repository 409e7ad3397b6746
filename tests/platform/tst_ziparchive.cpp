#include <platform/Folders.h>
#include <platform/ZipArchive.h>

#include "fixtures/FileSizeLimit.h"
#include "fixtures/ZipBuilder.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <thread>

using platform::ZipArchive;
using platform::ZipError;

Q_DECLARE_METATYPE(ZipError::Code)

namespace {

template <typename T> QByteArray little(T value)
{
    QByteArray bytes(sizeof(T), Qt::Uninitialized);
    qToLittleEndian(value, bytes.data());
    return bytes;
}

/// An end-of-central-directory record declaring @p onDisk and @p total entries.
QByteArray endRecord(quint16 onDisk, quint16 total, const QByteArray &comment = {}, quint16 commentLength = 0)
{
    return "PK\x05\x06" + little<quint16>(0) + little<quint16>(0) + little(onDisk) + little(total) + little<quint32>(46)
        + little<quint32>(0) + little(quint16(commentLength ? commentLength : comment.size())) + comment;
}

/// A zip64 end record declaring @p total entries, then its locator pointing at @p recordOffset.
QByteArray zip64Records(quint64 total, quint64 recordOffset)
{
    const QByteArray record = "PK\x06\x06" + little<quint64>(44) + little<quint16>(45) + little<quint16>(45)
        + little<quint32>(0) + little<quint32>(0) + little(total) + little(total) + little<quint64>(46)
        + little<quint64>(0);
    return record + "PK\x06\x07" + little<quint32>(0) + little(recordOffset) + little<quint32>(1);
}

} // namespace

class TestZipArchive : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Every case runs with the directory read whole and read in slices, so
    // that checks across entries also hold across slices.
    void initTestCase_data()
    {
        QTest::addColumn<qulonglong>("sliceEntries");
        QTest::newRow("one slice") << 4096ull;
        QTest::newRow("an entry a slice") << 1ull;
        QTest::newRow("two entries a slice") << 2ull;
    }

    void init()
    {
        QFETCH_GLOBAL(qulonglong, sliceEntries);
        m_limits.directorySliceEntries = sliceEntries;
        m_dir.reset(new QTemporaryDir);
        m_archive = m_dir->filePath(QStringLiteral("archive.zip"));
        m_destination = m_dir->filePath(QStringLiteral("work/Fetchwell"));
        QDir().mkpath(m_dir->filePath(QStringLiteral("work")));
    }

    void unpacksFilesFoldersModesAndInnerLinks()
    {
        ZipBuilder zip(m_archive);
        QVERIFY(zip.addFolder(QStringLiteral("Prismora.app/")));
        QVERIFY(zip.addFile(QStringLiteral("Prismora.app/Contents/Info.plist"), "<plist/>"));
        QVERIFY(zip.addFile(QStringLiteral("Prismora.app/Contents/MacOS/Prismora"), "#!/bin/sh\n", 04755));
        QVERIFY(zip.addFile(QStringLiteral("Prismora.app/Contents/Versions/A/lib.so"), "library"));
        QVERIFY(zip.addLink(QStringLiteral("Prismora.app/Contents/Versions/Current"), "A"));
        QVERIFY(zip.addLink(QStringLiteral("Prismora.app/Contents/lib.so"), "Versions/Current/lib.so"));
        QVERIFY(zip.addFile(QStringLiteral("./readme.txt"), "hello"));
        QVERIFY(zip.close());

        QThread *completionThread = nullptr;
        std::optional<ZipError> reported = ZipError {};
        bool succeeded = false;
        std::thread worker([&] {
            ZipArchive::unzipFileAtPath(
                m_archive, m_destination, true,
                [&](const QString &path, bool ok, const std::optional<ZipError> &error) {
                    QCOMPARE(path, m_archive);
                    completionThread = QThread::currentThread();
                    succeeded = ok;
                    reported = error;
                },
                m_limits);
        });
        worker.join();
        QVERIFY(succeeded);
        QVERIFY(!reported);
        QVERIFY(completionThread != QThread::currentThread()); // completion on the unpacking thread

        const QFileInfo executable(m_destination + QStringLiteral("/Prismora.app/Contents/MacOS/Prismora"));
        QVERIFY(executable.isExecutable());
        QCOMPARE(int(executable.permissions() & QFileDevice::ExeOther), int(QFileDevice::ExeOther));
        struct stat info { };
        QCOMPARE(::stat(QFile::encodeName(executable.filePath()).constData(), &info), 0);
        QCOMPARE(info.st_mode & 07000, 0u); // set-id bits are never taken from an archive
        const QFileInfo link(m_destination + QStringLiteral("/Prismora.app/Contents/lib.so"));
        QVERIFY(link.isSymLink());
        QFile library(link.filePath());
        QVERIFY(library.open(QIODevice::ReadOnly));
        QCOMPARE(library.readAll(), QByteArray("library"));
        QVERIFY(QFile::exists(m_destination + QStringLiteral("/readme.txt")));
    }

    // Some zip tools list a folder twice; a file listed twice stays refused.
    void repeatedNamesOnlyOfFolders_data()
    {
        QTest::addColumn<bool>("folders");
        QTest::newRow("folder") << true;
        QTest::newRow("file") << false;
    }

    void repeatedNamesOnlyOfFolders()
    {
        QFETCH(bool, folders);
        const QString first = folders ? QStringLiteral("Prismora.app/") : QStringLiteral("Prismora.app/a");
        const QString second = folders ? QStringLiteral("Prismora.apq/") : QStringLiteral("Prismora.app/b");
        ZipBuilder zip(m_archive);
        QVERIFY(folders ? zip.addFolder(first) && zip.addFolder(second)
                        : zip.addFile(first, "1") && zip.addFile(second, "2"));
        QVERIFY(zip.addFile(QStringLiteral("Prismora.app/readme.txt"), "hello"));
        QVERIFY(zip.close());
        // libzip refuses to write a name twice: the second name becomes the first in place.
        QFile file(m_archive);
        QVERIFY(file.open(QIODevice::ReadWrite));
        const QByteArray bytes = file.readAll().replace(second.toUtf8(), first.toUtf8());
        file.seek(0);
        file.write(bytes);
        file.close();
        const auto error = ZipArchive::unzip(m_archive, m_destination, true, m_limits);
        QVERIFY(folders ? !error && QFile::exists(m_destination + QStringLiteral("/Prismora.app/readme.txt"))
                        : error && error->code == ZipError::Code::CorruptEntry);
    }

    void overwriteDecidesAboutExistingFiles()
    {
        ZipBuilder zip(m_archive);
        QVERIFY(zip.addFile(QStringLiteral("a.txt"), "new"));
        QVERIFY(zip.close());
        QDir().mkpath(m_destination);
        QFile old(m_destination + QStringLiteral("/a.txt"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();

        const auto refused = ZipArchive::unzip(m_archive, m_destination, false, m_limits);
        QVERIFY(refused);
        QCOMPARE(refused->code, ZipError::Code::WriteFailed);
        QVERIFY(!ZipArchive::unzip(m_archive, m_destination, true, m_limits));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("new"));
    }

    void refusesWhatIsNotAnArchive()
    {
        QFile page(m_archive);
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<!DOCTYPE html><html><body>Service unavailable</body></html>");
        page.close();
        const auto error = ZipArchive::unzip(m_archive, m_destination, true, m_limits);
        QVERIFY(error);
        QCOMPARE(error->code, ZipError::Code::CannotOpen);
        QCOMPARE(error->localizedDescription(), QStringLiteral("The file is not a valid zip archive."));
        QVERIFY(!ZipArchive::unzip(m_dir->filePath(QStringLiteral("missing.zip")), m_destination, true, m_limits)
                     ->message.isEmpty());
    }

    void refusesADamagedEntry()
    {
        QByteArray content(256 * 1024, Qt::Uninitialized);
        QRandomGenerator(3).fillRange(reinterpret_cast<quint32 *>(content.data()), content.size() / 4);
        ZipBuilder zip(m_archive);
        QVERIFY(zip.addFile(QStringLiteral("data.bin"), content));
        QVERIFY(zip.close());
        QFile file(m_archive);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        for (int i = 1000; i < 1100; ++i)
            bytes[i] = char(~bytes[i]);
        file.seek(0);
        file.write(bytes);
        file.close();

        const auto error = ZipArchive::unzip(m_archive, m_destination, true, m_limits);
        QVERIFY(error);
        QCOMPARE(error->code, ZipError::Code::CorruptEntry);
    }

    void refusesEntriesOutsideTheFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("parent") << QStringLiteral("../escaped.txt");
        QTest::newRow("nested parent") << QStringLiteral("Prismora.app/../../escaped.txt");
        QTest::newRow("absolute") << m_outsideFile();
    }

    void refusesEntriesOutsideTheFolder()
    {
        QFETCH(QString, name);
        QVERIFY(!ZipArchive::isSafeEntryName(name));
        ZipBuilder zip(m_archive);
        QVERIFY(zip.addFile(QStringLiteral("Prismora.app/ok.txt"), "fine"));
        QVERIFY(zip.addFile(name, "escaped"));
        QVERIFY(zip.close());

        const auto error = ZipArchive::unzip(m_archive, m_destination, true, m_limits);
        QVERIFY(error);
        QCOMPARE(error->code, ZipError::Code::UnsafeEntry);
        QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("work/escaped.txt"))));
        QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("escaped.txt"))));
        QVERIFY(!QFile::exists(m_outsideFile()));
        QVERIFY(!QFileInfo::exists(m_destination)); // an escaping archive leaves nothing behind
    }

    void refusesLinksLeadingOutside_data()
    {
        QTest::addColumn<QStringList>("links"); // name=target pairs
        QTest::addColumn<QString>("fileThroughLink");
        QTest::newRow("relative escape") << QStringList { "out=../.." } << QString();
        QTest::newRow("absolute target") << QStringList { "etc=/etc" } << QString();
        QTest::newRow("write through an escaping link") << QStringList { "out=../../outside" } << "out/payload.txt";
        QTest::newRow("write through an inner link") << QStringList { "in=Prismora.app" } << "in/payload.txt";
        QTest::newRow("chain of harmless-looking links") << QStringList { "p=.", "q=p/.." } << QString();
    }

    void refusesLinksLeadingOutside()
    {
        QFETCH(QStringList, links);
        QFETCH(QString, fileThroughLink);
        QDir().mkpath(m_dir->filePath(QStringLiteral("outside")));
        ZipBuilder zip(m_archive);
        QVERIFY(zip.addFile(QStringLiteral("Prismora.app/ok.txt"), "fine"));
        for (const QString &pair : links)
            QVERIFY(zip.addLink(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1).toUtf8()));
        if (!fileThroughLink.isEmpty())
            QVERIFY(zip.addFile(fileThroughLink, "payload"));
        QVERIFY(zip.close());

        const auto error = ZipArchive::unzip(m_archive, m_destination, true, m_limits);
        QVERIFY(error);
        QCOMPARE(error->code, ZipError::Code::UnsafeEntry);
        QVERIFY(QDir(m_dir->filePath(QStringLiteral("outside"))).isEmpty());
        QVERIFY(!QFileInfo::exists(m_destination));
    }

    void refusesAZipBomb()
    {
        ZipBuilder zip(m_archive);
        QVERIFY(zip.addFile(QStringLiteral("zeros.bin"), QByteArray(4 * 1024 * 1024, '\0')));
        QVERIFY(zip.close());
        QVERIFY(QFileInfo(m_archive).size() < 64 * 1024);

        const auto error = ZipArchive::unzip(m_archive, m_destination, true, { 10, 1024 * 1024 });
        QVERIFY(error);
        QCOMPARE(error->code, ZipError::Code::ZipBomb);
        QVERIFY(!QFile::exists(m_destination + QStringLiteral("/zeros.bin")));
        // Below the size floor the same archive is ordinary.
        QVERIFY(!ZipArchive::unzip(m_archive, m_destination, true, m_limits));
    }

    void refusesDeclaredSizesNearTwoToThe64_data()
    {
        using Entries = QList<std::pair<QByteArray, std::uint64_t>>;
        QTest::addColumn<Entries>("entries");
        QTest::newRow("total wraps around") << Entries { { "huge.bin", ~std::uint64_t(0) - 4095 }, { "b.txt", 5000 } };
        QTest::newRow("one entry of 2^64 - 1") << Entries { { "huge.bin", ~std::uint64_t(0) } };
        QTest::newRow("one entry past 2^63") << Entries { { "huge.bin", (std::uint64_t(1) << 63) + 1 } };
    }

    void refusesDeclaredSizesNearTwoToThe64()
    {
        using Entries = QList<std::pair<QByteArray, std::uint64_t>>;
        QFETCH(Entries, entries);
        QFile file(m_archive);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(ZipBuilder::declaringSizes(entries));
        file.close();

        const auto error = ZipArchive::unzip(m_archive, m_destination, true, m_limits);
        QVERIFY(error);
        QCOMPARE(error->code, ZipError::Code::ZipBomb);
        QVERIFY(!QFileInfo::exists(m_destination));
    }

    void refusesTooManyEntriesBeforeWriting()
    {
        ZipBuilder zip(m_archive);
        for (int i = 0; i < 11; ++i)
            QVERIFY(zip.addFile(QStringLiteral("empty/%1").arg(i), QByteArray()));
        QVERIFY(zip.close());

        ZipArchive::Limits limits = m_limits;
        limits.maxEntries = 10;
        const auto error = ZipArchive::unzip(m_archive, m_destination, true, limits);
        QVERIFY(error);
        QCOMPARE(error->code, ZipError::Code::TooManyEntries);
        QCOMPARE(error->localizedDescription(), QStringLiteral("The archive holds too many files."));
        QVERIFY(!QFileInfo::exists(m_destination));
        limits.maxEntries = 11;
        QVERIFY(!ZipArchive::unzip(m_archive, m_destination, true, limits));
    }

    // The count is read from the end records before the directory is loaded:
    // none of these directories could be loaded at all.
    void refusesByTheDeclaredEntryCount_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qulonglong>("maxEntries");
        QTest::addColumn<ZipError::Code>("expected");
        const QByteArray directory(46, 'd');
        QTest::newRow("end record over the limit")
            << directory + endRecord(1001, 1001) << 1000ull << ZipError::Code::TooManyEntries;
        QTest::newRow("this disk's count over the limit")
            << directory + endRecord(1001, 1) << 1000ull << ZipError::Code::TooManyEntries;
        QTest::newRow("behind the longest comment")
            << directory + endRecord(1001, 1001, QByteArray(65535, 'c')) << 1000ull << ZipError::Code::TooManyEntries;
        QTest::newRow("zip64 record of 200,000 entries") << directory + zip64Records(200'000, 46)
                + endRecord(0xffff, 0xffff) << 100'000ull << ZipError::Code::TooManyEntries;
        QTest::newRow("zip64 locator past the end")
            << directory + zip64Records(200'000, 4096) + endRecord(0xffff, 0xffff) << 100'000ull
            << ZipError::Code::CannotOpen;
        QTest::newRow("zip64 locator at no zip64 record") << directory + zip64Records(200'000, 0)
                + endRecord(0xffff, 0xffff) << 100'000ull << ZipError::Code::CannotOpen;
        QTest::newRow("comment runs past the end")
            << directory + endRecord(1001, 1001, "short", 100) << 1000ull << ZipError::Code::CannotOpen;
        QTest::newRow("end record cut short")
            << directory + endRecord(1001, 1001).left(21) << 1000ull << ZipError::Code::CannotOpen;
        QTest::newRow("end record beyond the longest comment")
            << directory + endRecord(1001, 1001) + QByteArray(65536, 'c') << 1000ull << ZipError::Code::CannotOpen;
    }

    void refusesByTheDeclaredEntryCount()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qulonglong, maxEntries);
        QFETCH(ZipError::Code, expected);
        QFile file(m_archive);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
        file.close();
        ZipArchive::Limits limits = m_limits;
        limits.maxEntries = maxEntries;
        const auto error = ZipArchive::unzip(m_archive, m_destination, true, limits);
        QVERIFY(error);
        QCOMPARE(error->code, expected);
        if (expected == ZipError::Code::CannotOpen)
            QCOMPARE(error->message, m_archive + QStringLiteral(": Not a zip archive"));
        QVERIFY(!QFileInfo::exists(m_destination));
    }

    // The directory is walked record by record before libzip sees any of it.
    void refusesADirectoryUnlikeItsEndRecord_data()
    {
        QTest::addColumn<int>("offset"); // from the end record, or from the directory when negative
        QTest::addColumn<quint16>("value");
        QTest::newRow("fewer entries declared") << 10 << quint16(2);
        QTest::newRow("more entries declared") << 10 << quint16(4);
        QTest::newRow("a record cut by the directory's size") << 12 << quint16(100);
        QTest::newRow("a name running past the directory") << -28 << quint16(60000);
    }

    void refusesADirectoryUnlikeItsEndRecord()
    {
        QFETCH(int, offset);
        QFETCH(quint16, value);
        ZipBuilder zip(m_archive);
        for (const char *name : { "a", "b", "c" })
            QVERIFY(zip.addFile(QString::fromLatin1(name), name));
        QVERIFY(zip.close());
        QFile file(m_archive);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        const qsizetype end = bytes.size() - 22;
        const qsizetype at
            = offset >= 0 ? end + offset : qFromLittleEndian<quint32>(bytes.constData() + end + 16) - offset;
        qToLittleEndian(value, bytes.data() + at);
        if (offset == 10)
            qToLittleEndian(value, bytes.data() + end + 8);
        QVERIFY(file.seek(0) && file.write(bytes) == bytes.size());
        file.close();
        const auto error = ZipArchive::unzip(m_archive, m_destination, true, m_limits);
        QVERIFY(error);
        QCOMPARE(error->code, ZipError::Code::CannotOpen);
        QVERIFY(!QFileInfo::exists(m_destination));
    }

    void dropsWriteAndSpecialBitsFromModes_data()
    {
        QTest::addColumn<uint>("stored");
        QTest::addColumn<uint>("expected");
        QTest::newRow("world-writable executable") << 0777u << 0755u;
        QTest::newRow("set-user-id") << 04755u << 0755u;
        QTest::newRow("set-group-id, group-writable") << 02775u << 0755u;
        QTest::newRow("sticky") << 01777u << 0755u;
        QTest::newRow("private") << 0600u << 0600u;
        QTest::newRow("read-only") << 0444u << 0644u;
    }

    void dropsWriteAndSpecialBitsFromModes()
    {
        QFETCH(uint, stored);
        QFETCH(uint, expected);
        ZipBuilder zip(m_archive);
        QVERIFY(zip.addFile(QStringLiteral("open/file"), "x", mode_t(stored)));
        QVERIFY(zip.close());
        const mode_t originalMask = ::umask(077); // a private umask must not hide the bundle from other users
        const auto error = ZipArchive::unzip(m_archive, m_destination, true, m_limits);
        ::umask(originalMask);
        QVERIFY(!error);

        struct stat info { };
        QCOMPARE(::lstat(QFile::encodeName(m_destination + QStringLiteral("/open/file")).constData(), &info), 0);
        QCOMPARE(uint(info.st_mode & 07777), expected);
        QCOMPARE(::lstat(QFile::encodeName(m_destination + QStringLiteral("/open")).constData(), &info), 0);
        QCOMPARE(uint(info.st_mode & 07777), 0755u);
    }

    void refusesWhatDoesNotFitOnTheVolume()
    {
        const QString notYetThere = m_destination + QStringLiteral("/deeper/still");
        const qint64 free = platform::Folders::freeSpace(m_dir->path()).value();
        QVERIFY(!ZipArchive::checkDeclaredSize(1024, 1024, notYetThere));
        const auto error = ZipArchive::checkDeclaredSize(free + 1024 * 1024, free, notYetThere);
        QVERIFY(error);
        QCOMPARE(error->code, ZipError::Code::ArchiveTooLarge);
        QCOMPARE(error->fileError, platform::FileError::WriteOutOfSpace);
        QCOMPARE(error->localizedDescription(), QStringLiteral("There is not enough space to unpack the archive."));
    }

    void aFullDiskIsOutOfSpace()
    {
        QByteArray content(1024 * 1024, Qt::Uninitialized);
        QRandomGenerator(5).fillRange(reinterpret_cast<quint32 *>(content.data()), content.size() / 4);
        ZipBuilder zip(m_archive);
        QVERIFY(zip.addFile(QStringLiteral("big.bin"), content));
        QVERIFY(zip.close());

        FileSizeLimit limit(128 * 1024);
        QVERIFY(limit.isActive());
        const auto error = ZipArchive::unzip(m_archive, m_destination, true, m_limits);
        limit.restore();
        QVERIFY(error);
        QCOMPARE(error->code, ZipError::Code::WriteFailed);
        QCOMPARE(error->fileError, platform::FileError::WriteOutOfSpace);
    }

private:
    QString m_outsideFile() const { return QDir::tempPath() + QStringLiteral("/prismora-zip-escape-test.txt"); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_archive;
    QString m_destination;
    ZipArchive::Limits m_limits;
};

QTEST_GUILESS_MAIN(TestZipArchive)
#include "tst_ziparchive.moc"
