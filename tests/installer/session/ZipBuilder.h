#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>
#include <sys/stat.h>
#include <utility>
#include <zip.h>

/**
 * Writes real zip archives for tests with libzip: files with Unix modes,
 * folders and symbolic links, any entry name (also hostile ones).
 *
 * @code
 * ZipBuilder zip(path);
 * zip.addFile("Prismora.app/Contents/MacOS/Prismora", script, 0755);
 * QVERIFY(zip.close());
 * @endcode
 */
class ZipBuilder {
public:
    explicit ZipBuilder(const QString &path)
    {
        int error = 0;
        m_archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    }
    ~ZipBuilder()
    {
        if (m_archive)
            zip_discard(m_archive);
    }

    bool addFile(const QString &name, const QByteArray &content, mode_t mode = 0644)
    {
        return add(name, content, S_IFREG | mode);
    }
    bool addFolder(const QString &name)
    {
        const zip_int64_t index = zip_dir_add(m_archive, name.toUtf8().constData(), ZIP_FL_ENC_UTF_8);
        return index >= 0
            && zip_file_set_external_attributes(
                   m_archive, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX, (S_IFDIR | 0755u) << 16)
            == 0;
    }
    bool addLink(const QString &name, const QByteArray &target) { return add(name, target, S_IFLNK | 0777); }

    /// An archive of empty stored entries that declare the given uncompressed
    /// sizes through zip64 extra fields, as a hostile archive can.
    static QByteArray declaringSizes(const QList<std::pair<QByteArray, std::uint64_t>> &entries)
    {
        QByteArray local;
        QByteArray central;
        for (const auto &[name, declared] : entries) {
            QByteArray zip64;
            append(zip64, 0x0001, 2);
            append(zip64, 16, 2);
            append(zip64, declared, 8); // uncompressed
            append(zip64, 0, 8); // compressed
            const std::uint64_t offset = std::uint64_t(local.size());
            append(local, 0x04034b50, 4);
            append(local, 45, 2); // version needed: zip64
            append(local, 0, 8); // flags, stored, time, date
            append(local, 0, 4); // CRC-32 of nothing
            append(local, ~std::uint64_t(0), 8); // both sizes in the zip64 field
            append(local, std::uint64_t(name.size()), 2);
            append(local, std::uint64_t(zip64.size()), 2);
            local += name + zip64;
            append(central, 0x02014b50, 4);
            append(central, (3 << 8) | 45, 2); // made on Unix
            append(central, 45, 2);
            append(central, 0, 12); // flags, stored, time, date, CRC-32
            append(central, ~std::uint64_t(0), 8);
            append(central, std::uint64_t(name.size()), 2);
            append(central, std::uint64_t(zip64.size()), 2);
            append(central, 0, 6); // comment, disk, internal attributes
            append(central, std::uint64_t(S_IFREG | 0644) << 16, 4);
            append(central, offset, 4);
            central += name + zip64;
        }
        QByteArray archive = local + central;
        append(archive, 0x06054b50, 4);
        append(archive, 0, 4);
        append(archive, std::uint64_t(entries.size()), 2);
        append(archive, std::uint64_t(entries.size()), 2);
        append(archive, std::uint64_t(central.size()), 4);
        append(archive, std::uint64_t(local.size()), 4);
        append(archive, 0, 2);
        return archive;
    }

    bool close()
    {
        const bool closed = zip_close(m_archive) == 0;
        if (closed)
            m_archive = nullptr;
        return closed;
    }

private:
    bool add(const QString &name, const QByteArray &content, mode_t mode)
    {
        m_buffers.append(content); // libzip reads the bytes only when the archive is closed
        zip_source_t *source
            = zip_source_buffer(m_archive, m_buffers.last().constData(), zip_uint64_t(content.size()), 0);
        const zip_int64_t index
            = zip_file_add(m_archive, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
        if (index < 0) {
            zip_source_free(source);
            return false;
        }
        return zip_file_set_external_attributes(
                   m_archive, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX, zip_uint32_t(mode) << 16)
            == 0;
    }

    static void append(QByteArray &bytes, std::uint64_t value, int length)
    {
        for (int i = 0; i < length; ++i)
            bytes += char((value >> (8 * i)) & 0xff);
    }

    zip_t *m_archive = nullptr;
    QList<QByteArray> m_buffers;
};
