#include "MinisignKey.h"

#include <openssl/evp.h>

#include <algorithm>
#include <memory>

namespace {

constexpr qsizetype publicKeySize = 32;
constexpr qsizetype signatureSize = 64;

} // namespace

MinisignKey::MinisignKey(QByteArray keyId, QByteArray publicKey)
    : m_keyId(std::move(keyId))
    , m_publicKey(std::move(publicKey))
{
}

std::optional<MinisignKey> MinisignKey::fromBase64(QByteArrayView base64)
{
    const auto decoded
        = QByteArray::fromBase64Encoding(base64.trimmed().toByteArray(), QByteArray::AbortOnBase64DecodingErrors);
    const QByteArray &bytes = decoded.decoded;
    if (!decoded || bytes.size() != 2 + keyIdSize + publicKeySize || !bytes.startsWith("Ed"))
        return std::nullopt;
    return MinisignKey(bytes.mid(2, keyIdSize), bytes.mid(2 + keyIdSize));
}

QString MinisignKey::keyIdText(const QByteArray &keyId)
{
    // Stored little-endian; minisign prints the number.
    QByteArray reversed = keyId;
    std::reverse(reversed.begin(), reversed.end());
    return QString::fromLatin1(reversed.toHex().toUpper());
}

bool MinisignKey::verifies(QByteArrayView message, QByteArrayView signature) const
{
    if (signature.size() != signatureSize)
        return false;
    const std::unique_ptr<EVP_PKEY, void (*)(EVP_PKEY *)> key(
        EVP_PKEY_new_raw_public_key(EVP_PKEY_ED25519, nullptr,
            reinterpret_cast<const unsigned char *>(m_publicKey.constData()), std::size_t(m_publicKey.size())),
        EVP_PKEY_free);
    const std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX *)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    if (!key || !context || EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1)
        return false;
    return EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char *>(signature.data()),
               std::size_t(signature.size()), reinterpret_cast<const unsigned char *>(message.data()),
               std::size_t(message.size()))
        == 1;
}
