#pragma once

#include "MinisignKey.h"
#include "MinisignSignature.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

/**
 * Whether the archive was signed by its maker: minisign signatures checked
 * against the public keys built into the installer.
 *
 * The keys are PRISMORA_ARCHIVE_PUBLIC_KEYS, compiled in and replaced by the
 * environment variable of the same name: comma-separated base64 lines of
 * minisign ".pub" files (more than one while the maker rotates keys). Empty
 * means no signature is checked. A value with an entry that is not a key is
 * a check nothing passes, so a mistyped configuration never installs an
 * unchecked archive.
 *
 * A download host's signature is checked in two steps. accept() runs on the
 * small ".minisig" file before any archive byte is fetched: it must be a
 * prehashed signature by one of the keys, with a valid global signature over
 * its trusted comment, and a trusted comment that names no file but the
 * archive. mismatch() runs on the BLAKE2b-512 digest computed while the
 * archive arrived.
 */
class ArchiveSignatureCheck {
public:
    /// Largest signature file read; minisign's are about 300 bytes.
    static constexpr qsizetype maximumSignatureSize = 4096;

    /// A signature that passed accept(), with the key that made it.
    struct Accepted {
        MinisignSignature signature;
        MinisignKey key;
    };

    /// The configured check (build value, environment override).
    static ArchiveSignatureCheck configured();

    explicit ArchiveSignatureCheck(const QString &publicKeys);

    /// Whether signatures are checked at all.
    bool isEnabled() const { return !m_text.isEmpty(); }

    /// The signature in @p text, when it is one that may sign the archive
    /// named @p fileName; nothing, with @p error saying why, otherwise.
    std::optional<Accepted> accept(const QByteArray &text, const QString &fileName, QString *error) const;

    /// Why the archive with BLAKE2b-512 digest @p blake2b512 (hex) is not the
    /// one @p accepted signs; nothing when it is.
    static std::optional<QString> mismatch(const Accepted &accepted, const QString &blake2b512);

private:
    QString m_text;
    QList<MinisignKey> m_keys;
    /// The first entry that is not a key; empty when all are.
    QString m_unreadable;
};
