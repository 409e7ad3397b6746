#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <sys/stat.h>
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

    zip_t *m_archive = nullptr;
    QList<QByteArray> m_buffers;
};
