#include "MinisignSignature.h"

#include <QList>

namespace {

constexpr qsizetype signatureSize = 64;
const QByteArray untrustedPrefix = QByteArrayLiteral("untrusted comment: ");
const QByteArray trustedPrefix = QByteArrayLiteral("trusted comment: ");

std::optional<QByteArray> decodeBase64(const QByteArray &line)
{
    auto decoded = QByteArray::fromBase64Encoding(line, QByteArray::AbortOnBase64DecodingErrors);
    return decoded ? std::optional<QByteArray>(std::move(decoded.decoded)) : std::nullopt;
}

std::optional<MinisignSignature> refuse(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return std::nullopt;
}

} // namespace

std::optional<MinisignSignature> MinisignSignature::parse(const QByteArray &text, QString *error)
{
    QList<QByteArray> lines = text.split('\n');
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    while (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    if (lines.size() != 4)
        return refuse(error, QStringLiteral("not a minisign signature: %1 lines, expected 4").arg(lines.size()));
    if (!lines[0].startsWith(untrustedPrefix) || !lines[2].startsWith(trustedPrefix))
        return refuse(error, QStringLiteral("not a minisign signature: the comment lines are missing"));

    const auto signature = decodeBase64(lines[1]);
    if (!signature || signature->size() != 2 + MinisignKey::keyIdSize + signatureSize)
        return refuse(error, QStringLiteral("not a minisign signature: the signature line is not 74 bytes of base64"));
    const auto global = decodeBase64(lines[3]);
    if (!global || global->size() != signatureSize)
        return refuse(
            error, QStringLiteral("not a minisign signature: the global signature is not 64 bytes of base64"));

    MinisignSignature result;
    const QByteArray algorithm = signature->left(2);
    if (algorithm == "ED")
        result.m_algorithm = Algorithm::Prehashed;
    else if (algorithm == "Ed")
        result.m_algorithm = Algorithm::Legacy;
    else
        return refuse(
            error, QStringLiteral("unknown signature algorithm \"%1\"").arg(QString::fromLatin1(algorithm.toHex())));
    result.m_keyId = signature->mid(2, MinisignKey::keyIdSize);
    result.m_signature = signature->mid(2 + MinisignKey::keyIdSize);
    result.m_trustedComment = lines[2].mid(trustedPrefix.size());
    result.m_globalSignature = *global;
    return result;
}

QString MinisignSignature::printableTrustedComment() const
{
    QString printable;
    for (const QChar c : QString::fromUtf8(m_trustedComment)) {
        if (c == QLatin1Char('\t'))
            printable += QLatin1Char(' ');
        else if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            printable += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            printable += c;
    }
    return printable;
}

QStringList MinisignSignature::fileNames() const
{
    return fieldValues("file");
}

QStringList MinisignSignature::fieldValues(QByteArrayView name) const
{
    QStringList values;
    for (const QByteArray &field : m_trustedComment.split('\t')) {
        if (field.size() > name.size() && field.startsWith(name) && field.at(name.size()) == ':')
            values << QString::fromUtf8(field.mid(name.size() + 1));
    }
    return values;
}

bool MinisignSignature::trustedCommentVerifies(const MinisignKey &key) const
{
    return key.keyId() == m_keyId && key.verifies(m_signature + m_trustedComment, m_globalSignature);
}

bool MinisignSignature::fileVerifies(const MinisignKey &key, QByteArrayView blake2b512) const
{
    return m_algorithm == Algorithm::Prehashed && blake2b512.size() == 64 && key.keyId() == m_keyId
        && key.verifies(blake2b512, m_signature);
}
