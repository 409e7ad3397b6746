#include "ZipDirectoryEnd.h"

#include <QByteArray>
#include <QFile>
#include <QtEndian>

#include <algorithm>

namespace platform {

namespace {

constexpr qint64 endRecordSize = 22;
constexpr qint64 longestComment = 0xffff;
constexpr qint64 zip64LocatorSize = 20;
constexpr qint64 zip64EndRecordSize = 56;
constexpr qint64 centralHeaderSize = 46;
constexpr quint32 endSignature = 0x06054b50;
constexpr quint32 zip64LocatorSignature = 0x07064b50;
constexpr quint32 zip64EndSignature = 0x06064b50;
constexpr quint32 centralSignature = 0x02014b50;
constexpr quint32 localSignature = 0x04034b50;

template <typename T> T at(const QByteArray &bytes, qint64 offset)
{
    return qFromLittleEndian<T>(bytes.constData() + offset);
}

QByteArray readAt(QFile &file, std::uint64_t offset, qint64 length)
{
    if (offset > std::uint64_t(file.size()) || !file.seek(qint64(offset)))
        return {};
    QByteArray bytes = file.read(length);
    return bytes.size() == length ? bytes : QByteArray();
}

std::optional<ZipDirectoryEnd> refuse(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return std::nullopt;
}

/// Where the first entry's local header is, from its central header at @p header (zip64 extra field included).
std::optional<std::uint64_t> firstLocalHeader(QFile &file, std::uint64_t header)
{
    const QByteArray fixed = readAt(file, header, centralHeaderSize);
    if (fixed.isEmpty() || at<quint32>(fixed, 0) != centralSignature)
        return std::nullopt;
    const quint32 offset = at<quint32>(fixed, 42);
    if (offset != 0xffffffff)
        return offset;
    // The real offset is in the zip64 extra field, after the sizes that are also too large.
    const QByteArray extra = readAt(file, header + centralHeaderSize + at<quint16>(fixed, 28), at<quint16>(fixed, 30));
    const qint64 skip = (at<quint32>(fixed, 24) == 0xffffffff ? 8 : 0) + (at<quint32>(fixed, 20) == 0xffffffff ? 8 : 0);
    for (qint64 field = 0; field + 4 <= extra.size(); field += 4 + at<quint16>(extra, field + 2)) {
        if (at<quint16>(extra, field) == 0x0001 && field + 4 + skip + 8 <= extra.size())
            return at<quint64>(extra, field + 4 + skip);
    }
    return std::nullopt;
}

} // namespace

std::optional<ZipDirectoryEnd> ZipDirectoryEnd::read(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(error, file.errorString());
    const qint64 size = file.size();
    const qint64 tailSize = std::min(size, endRecordSize + longestComment);
    const QByteArray tail = readAt(file, std::uint64_t(size - tailSize), tailSize);
    qint64 found = -1;
    for (qint64 position = tail.size() - endRecordSize; position >= 0 && found < 0; --position) {
        if (at<quint32>(tail, position) == endSignature
            && at<quint16>(tail, position + 20) <= tail.size() - position - endRecordSize)
            found = position;
    }
    if (found < 0)
        return refuse(error, QStringLiteral("no end-of-central-directory record"));

    const QByteArray record = tail.mid(found, endRecordSize);
    ZipDirectoryEnd end;
    end.m_fileSize = std::uint64_t(size);
    end.m_recordOffset = std::uint64_t(size - tailSize + found);
    end.m_commentEnd = end.m_recordOffset + endRecordSize + at<quint16>(record, 20);
    end.m_oneDisk = at<quint16>(record, 4) == 0 && at<quint16>(record, 6) == 0;
    end.entryCount = std::max(at<quint16>(record, 8), at<quint16>(record, 10));
    end.directorySize = at<quint32>(record, 12);
    end.directoryOffset = at<quint32>(record, 16);

    const QByteArray locator = end.m_recordOffset >= std::uint64_t(zip64LocatorSize)
        ? readAt(file, end.m_recordOffset - zip64LocatorSize, zip64LocatorSize)
        : QByteArray();
    if (!locator.isEmpty() && at<quint32>(locator, 0) == zip64LocatorSignature) {
        // The zip64 record lies before its locator.
        const quint64 zip64Offset = at<quint64>(locator, 8);
        const std::uint64_t locatorOffset = end.m_recordOffset - zip64LocatorSize;
        const QByteArray zip64 = zip64Offset <= locatorOffset && locatorOffset - zip64Offset >= zip64EndRecordSize
            ? readAt(file, zip64Offset, zip64EndRecordSize)
            : QByteArray();
        if (zip64.isEmpty() || at<quint32>(zip64, 0) != zip64EndSignature)
            return refuse(error, QStringLiteral("no zip64 end record where its locator says"));
        end.entryCount = std::max(at<quint64>(zip64, 24), at<quint64>(zip64, 32));
        end.directorySize = at<quint64>(zip64, 40);
        end.directoryOffset = at<quint64>(zip64, 48);
        end.m_recordOffset = zip64Offset;
        end.zip64 = true;
    }
    return end;
}

bool ZipDirectoryEnd::directoryLiesBeforeEnd() const
{
    return directoryOffset <= m_recordOffset && directorySize <= m_recordOffset - directoryOffset;
}

std::optional<ZipDirectoryEnd> ZipDirectoryEnd::readChecked(const QString &path, QString *error)
{
    const auto end = read(path, error);
    if (!end)
        return std::nullopt;
    if (end->m_commentEnd != end->m_fileSize)
        return refuse(error, QStringLiteral("%1 bytes after the end record").arg(end->m_fileSize - end->m_commentEnd));
    if (!end->m_oneDisk)
        return refuse(error, QStringLiteral("an archive spread over several disks"));
    if (!end->directoryLiesBeforeEnd())
        return refuse(error, QStringLiteral("the central directory does not lie before its end record"));
    if (end->entryCount == 0)
        return end;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(error, file.errorString());
    const auto local = firstLocalHeader(file, end->directoryOffset);
    const QByteArray header = local && *local < end->directoryOffset ? readAt(file, *local, 4) : QByteArray();
    if (header.isEmpty() || at<quint32>(header, 0) != localSignature)
        return refuse(error, QStringLiteral("the first entry's local header is not where the directory says"));
    return end;
}

} // namespace platform
