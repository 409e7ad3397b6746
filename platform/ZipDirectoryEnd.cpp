#include "ZipDirectoryEnd.h"

#include <QByteArray>
#include <QFile>
#include <QtEndian>

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

QByteArray readAt(QFile &file, qint64 offset, qint64 length)
{
    if (offset < 0 || !file.seek(offset))
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
std::optional<std::uint64_t> firstLocalHeader(QFile &file, qint64 header)
{
    const QByteArray fixed = readAt(file, header, centralHeaderSize);
    if (fixed.isEmpty() || at<quint32>(fixed, 0) != centralSignature)
        return std::nullopt;
    const quint32 offset = at<quint32>(fixed, 42);
    if (offset != 0xffffffff)
        return offset;
    // The real offset is in the zip64 extra field, after the sizes that are also too large.
    const QByteArray extra = readAt(file, header + centralHeaderSize + at<quint16>(fixed, 28), at<quint16>(fixed, 30));
    qint64 skip = (at<quint32>(fixed, 24) == 0xffffffff ? 8 : 0) + (at<quint32>(fixed, 20) == 0xffffffff ? 8 : 0);
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
    const QByteArray tail = readAt(file, size - tailSize, tailSize);
    qint64 found = -1;
    for (qint64 position = tail.size() - endRecordSize; position >= 0 && found < 0; --position) {
        if (at<quint32>(tail, position) == endSignature
            && at<quint16>(tail, position + 20) == tail.size() - position - endRecordSize)
            found = position;
    }
    if (found < 0)
        return refuse(error, QStringLiteral("no end-of-central-directory record"));

    const qint64 recordOffset = size - tailSize + found;
    const QByteArray record = tail.mid(found, endRecordSize);
    if (at<quint16>(record, 4) != 0 || at<quint16>(record, 6) != 0)
        return refuse(error, QStringLiteral("an archive spread over several disks"));
    ZipDirectoryEnd end;
    end.entryCount = at<quint16>(record, 10);
    end.directorySize = at<quint32>(record, 12);
    end.directoryOffset = at<quint32>(record, 16);
    qint64 directoryEnd = recordOffset;

    if (end.entryCount == 0xffff || end.directorySize == 0xffffffff || end.directoryOffset == 0xffffffff) {
        const QByteArray locator = readAt(file, recordOffset - zip64LocatorSize, zip64LocatorSize);
        if (locator.isEmpty() || at<quint32>(locator, 0) != zip64LocatorSignature)
            return refuse(error, QStringLiteral("no zip64 locator before a zip64 end record"));
        const quint64 zip64Offset = at<quint64>(locator, 8);
        if (zip64Offset > quint64(recordOffset - zip64LocatorSize - zip64EndRecordSize))
            return refuse(error, QStringLiteral("the zip64 end record lies after its locator"));
        const QByteArray zip64 = readAt(file, qint64(zip64Offset), zip64EndRecordSize);
        if (zip64.isEmpty() || at<quint32>(zip64, 0) != zip64EndSignature)
            return refuse(error, QStringLiteral("no zip64 end record where the locator says"));
        end.entryCount = at<quint64>(zip64, 32);
        end.directorySize = at<quint64>(zip64, 40);
        end.directoryOffset = at<quint64>(zip64, 48);
        directoryEnd = qint64(zip64Offset);
    }
    if (end.directoryOffset > quint64(directoryEnd) || end.directorySize > quint64(directoryEnd) - end.directoryOffset)
        return refuse(error, QStringLiteral("the central directory does not lie before its end record"));
    if (end.entryCount == 0)
        return end;
    const auto local = firstLocalHeader(file, qint64(end.directoryOffset));
    const QByteArray localHeader
        = local && *local < end.directoryOffset ? readAt(file, qint64(*local), 4) : QByteArray();
    if (localHeader.isEmpty() || at<quint32>(localHeader, 0) != localSignature)
        return refuse(error, QStringLiteral("the first entry's local header is not where the directory says"));
    return end;
}

} // namespace platform
