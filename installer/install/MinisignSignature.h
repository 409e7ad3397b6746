#pragma once

#include "MinisignKey.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

/**
 * A minisign signature file (".minisig"), read as untrusted input.
 *
 * The file has four lines:
 *
 * @code
 * untrusted comment: <anything>
 * <base64 of: algorithm (2 bytes) | key id (8 bytes) | signature (64 bytes)>
 * trusted comment: <text>
 * <base64 of: global signature (64 bytes)>
 * @endcode
 *
 * With algorithm "ED" the signature is Ed25519 over the BLAKE2b-512 digest
 * of the file; with the legacy "Ed" it is over the file itself. The global
 * signature covers the signature followed by the trusted comment, so the
 * comment (a time stamp and, by default, "file:<name>") cannot be edited.
 */
class MinisignSignature {
public:
    enum class Algorithm {
        Prehashed, ///< "ED": over the file's BLAKE2b-512 digest
        Legacy, ///< "Ed": over the whole file
    };

    /// Reads the text of a signature file; nothing, with @p error saying why, when it is not one.
    static std::optional<MinisignSignature> parse(const QByteArray &text, QString *error);

    Algorithm algorithm() const { return m_algorithm; }
    /// The id of the key that made the signature (8 bytes).
    QByteArray keyId() const { return m_keyId; }
    /// The trusted comment as signed.
    QByteArray trustedComment() const { return m_trustedComment; }
    /// The trusted comment for a log line: UTF-8, control characters shown as "\xNN".
    QString printableTrustedComment() const;
    /// The names of the trusted comment's tab-separated "file:" fields; empty when it has none.
    QStringList fileNames() const;
    /// The values of the trusted comment's tab-separated "<name>:" fields, in order.
    QStringList fieldValues(QByteArrayView name) const;

    /// Whether @p key made the global signature over the trusted comment.
    bool trustedCommentVerifies(const MinisignKey &key) const;
    /// Whether @p key signed the file whose BLAKE2b-512 digest (64 bytes) is
    /// @p blake2b512. A legacy signature never verifies here.
    bool fileVerifies(const MinisignKey &key, QByteArrayView blake2b512) const;

private:
    MinisignSignature() = default;

    Algorithm m_algorithm = Algorithm::Prehashed;
    QByteArray m_keyId;
    QByteArray m_signature;
    QByteArray m_trustedComment;
    QByteArray m_globalSignature;
};
