#pragma once

#include <QString>

#include <cstdint>
#include <optional>

/**
 * What the downloaded archive must be: an expected size and SHA-256 digest.
 *
 * Both are optional. They are compiled in (PRISMORA_ARCHIVE_SIZE,
 * PRISMORA_ARCHIVE_SHA256) and each is replaced by the environment variable
 * of the same name; an empty value means "not checked". A value that cannot
 * be read (not a number, not 64 hex digits) is treated as a check nothing
 * passes, so a mistyped configuration never installs an unchecked archive.
 */
class ArchiveCheck {
public:
    /// The configured check (build values, environment overrides).
    static ArchiveCheck configured();

    ArchiveCheck(const QString &size, const QString &sha256);

    /// Why an archive of @p size bytes with digest @p sha256 (hex) is not the
    /// expected one; nothing when it is (or nothing is checked).
    std::optional<QString> mismatch(std::int64_t size, const QString &sha256) const;

    /// The expected size, when one is configured and readable.
    std::optional<std::int64_t> expectedSize() const;

private:
    QString m_size;
    QString m_sha256;
};
