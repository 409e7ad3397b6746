#include "ArchiveCheck.h"

#include <installer/BuildConfig.h>

#include <QRegularExpression>

namespace {

QString configuredValue(const char *name, const char *built)
{
    return qEnvironmentVariableIsSet(name) ? qEnvironmentVariable(name).trimmed() : QString::fromUtf8(built).trimmed();
}

} // namespace

ArchiveCheck ArchiveCheck::configured()
{
    return ArchiveCheck(configuredValue("PRISMORA_ARCHIVE_SIZE", buildconfig::archiveSize),
        configuredValue("PRISMORA_ARCHIVE_SHA256", buildconfig::archiveSha256));
}

ArchiveCheck::ArchiveCheck(const QString &size, const QString &sha256)
    : m_size(size)
    , m_sha256(sha256.toLower())
{
}

std::optional<std::int64_t> ArchiveCheck::expectedSize() const
{
    bool ok = false;
    const qlonglong value = m_size.toLongLong(&ok);
    return ok && value >= 0 ? std::optional<std::int64_t>(value) : std::nullopt;
}

std::optional<QString> ArchiveCheck::mismatch(std::int64_t size, const QString &sha256) const
{
    if (!m_size.isEmpty()) {
        const auto expected = expectedSize();
        if (!expected)
            return QStringLiteral("the expected size \"%1\" is not a number").arg(m_size);
        if (*expected != size)
            return QStringLiteral("size %1, expected %2").arg(size).arg(*expected);
    }
    if (!m_sha256.isEmpty()) {
        static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{64}$"));
        if (!hex.match(m_sha256).hasMatch())
            return QStringLiteral("the expected SHA-256 \"%1\" is not 64 hex digits").arg(m_sha256);
        if (sha256.toLower() != m_sha256)
            return QStringLiteral("SHA-256 %1, expected %2").arg(sha256, m_sha256);
    }
    return std::nullopt;
}
