#include "ArchiveSignatureCheck.h"

#include <installer/BuildConfig.h>

#include <algorithm>

namespace {

std::optional<ArchiveSignatureCheck::Accepted> refuse(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return std::nullopt;
}

} // namespace

ArchiveSignatureCheck ArchiveSignatureCheck::configured()
{
    const char name[] = "PRISMORA_ARCHIVE_PUBLIC_KEYS";
    return ArchiveSignatureCheck(qEnvironmentVariableIsSet(name) ? qEnvironmentVariable(name)
                                                                 : QString::fromUtf8(buildconfig::archivePublicKeys));
}

ArchiveSignatureCheck::ArchiveSignatureCheck(const QString &publicKeys)
    : m_text(publicKeys.trimmed())
{
    if (m_text.isEmpty())
        return;
    for (const QString &entry : m_text.split(QLatin1Char(','))) {
        if (const auto key = MinisignKey::fromBase64(entry.toLatin1()))
            m_keys << *key;
        else if (m_unreadable.isEmpty())
            m_unreadable = entry.trimmed().isEmpty() ? QStringLiteral("(empty)") : entry.trimmed();
    }
}

std::optional<ArchiveSignatureCheck::Accepted> ArchiveSignatureCheck::accept(
    const QByteArray &text, const QString &fileName, QString *error) const
{
    if (!m_unreadable.isEmpty())
        return refuse(error, QStringLiteral("the public key \"%1\" is not a minisign public key").arg(m_unreadable));
    if (text.size() > maximumSignatureSize)
        return refuse(error, QStringLiteral("the signature is larger than %1 bytes").arg(maximumSignatureSize));
    const auto signature = MinisignSignature::parse(text, error);
    if (!signature)
        return std::nullopt;
    if (signature->algorithm() == MinisignSignature::Algorithm::Legacy)
        return refuse(error,
            QStringLiteral("a legacy signature (algorithm Ed, not prehashed) is not accepted; sign with minisign 0.8 "
                           "or later without -l"));
    const auto key = std::find_if(m_keys.cbegin(), m_keys.cend(),
        [&](const MinisignKey &candidate) { return candidate.keyId() == signature->keyId(); });
    if (key == m_keys.cend())
        return refuse(error,
            QStringLiteral("made with key %1, which is not trusted").arg(MinisignKey::keyIdText(signature->keyId())));
    if (!signature->trustedCommentVerifies(*key))
        return refuse(error, QStringLiteral("the trusted comment does not match its signature"));
    for (const QString &name : signature->fileNames()) {
        if (name != fileName)
            return refuse(
                error, QStringLiteral("the signature is for the file \"%1\", not \"%2\"").arg(name, fileName));
    }
    return Accepted { *signature, *key };
}

std::optional<QString> ArchiveSignatureCheck::mismatch(const Accepted &accepted, const QString &blake2b512)
{
    if (accepted.signature.fileVerifies(accepted.key, QByteArray::fromHex(blake2b512.toLatin1())))
        return std::nullopt;
    return QStringLiteral("the signature by key %1 does not match BLAKE2b-512 %2")
        .arg(MinisignKey::keyIdText(accepted.key.keyId()), blake2b512);
}
