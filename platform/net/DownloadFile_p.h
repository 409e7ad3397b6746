#pragma once

// Internal to DownloadSession: the file a download task writes its body to.

#include "DownloadDigester_p.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>

namespace platform::net {

/**
 * The file one download writes into, with the digests of everything in it.
 *
 * Either a temporary file, removed by close(), or a destination the caller
 * named, which close() leaves in place. Bytes go through a 1 MiB stdio
 * buffer; the digests follow every byte written, so the file is never read
 * back except for a kept prefix, once, when it is opened.
 */
class DownloadFile {
public:
    DownloadFile() = default;
    ~DownloadFile();
    DownloadFile(const DownloadFile &) = delete;
    DownloadFile &operator=(const DownloadFile &) = delete;

    /// Creates an empty file in the system's temporary folder.
    bool openTemporary();
    /// Opens @p path (created 0600 when missing; no symbolic link, regular
    /// files only). The first @p keep bytes stay when the file holds that
    /// many; otherwise it is emptied. size() tells which happened.
    bool openDestination(const QString &path, std::int64_t keep);

    bool isOpen() const { return m_file != nullptr; }
    /// Bytes in the file, written and kept.
    std::int64_t size() const { return m_size; }
    QString path() const;
    /// The folder holding the file: where free space counts.
    QString folder() const;
    /// errno of the last failure; ENOSPC for a short write that set none.
    int errorNumber() const { return m_errno; }

    /// Empties the file and starts the digests again.
    bool restart();
    bool write(const char *data, std::size_t length);
    /// Writes the buffered bytes out.
    bool flush();
    /// Flushes what it can and tells how many bytes really are in the file.
    std::int64_t sizeOnDisk();
    /// Flushes, closes, and removes the file if it is a temporary one.
    void close();

    DownloadDigests digests() { return m_digester.result(); }

private:
    bool attach(int fd);
    bool fail(int errorNumber);
    bool hashPrefix(int fd, std::int64_t length);

    std::FILE *m_file = nullptr;
    QByteArray m_path;
    bool m_temporary = false;
    std::int64_t m_size = 0;
    int m_errno = 0;
    DownloadDigester m_digester;
};

} // namespace platform::net
