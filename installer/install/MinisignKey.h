#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

/**
 * A minisign public key, as the second line of a minisign ".pub" file holds it.
 *
 * The base64 text decodes to 42 bytes: the algorithm "Ed", an 8-byte key id
 * and the 32-byte Ed25519 public key. Signatures name the key that made them
 * by that id. Ed25519 itself is OpenSSL's.
 */
class MinisignKey {
public:
    /// Bytes in a key id.
    static constexpr qsizetype keyIdSize = 8;

    /// The key in @p base64 (surrounding spaces allowed); nothing when it is not one.
    static std::optional<MinisignKey> fromBase64(QByteArrayView base64);

    /// The key id as the 8 bytes signatures carry.
    QByteArray keyId() const { return m_keyId; }

    /// @p keyId as minisign prints it: 16 upper-case hex digits.
    static QString keyIdText(const QByteArray &keyId);

    /// Whether @p signature (64 bytes) is this key's Ed25519 signature of @p message.
    bool verifies(QByteArrayView message, QByteArrayView signature) const;

private:
    MinisignKey(QByteArray keyId, QByteArray publicKey);

    QByteArray m_keyId;
    QByteArray m_publicKey;
};
