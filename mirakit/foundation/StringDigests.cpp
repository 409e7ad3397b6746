#include "StringDigests.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QStringEncoder>

#include <optional>

namespace mira {

namespace {

std::optional<QByteArray> utf8(const QString &text)
{
    QStringEncoder encoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

QString randomText(qsizetype length, QLatin1StringView alphabet, bool noLeadingZero)
{
    QString text;
    text.reserve(length);
    QRandomGenerator *generator = QRandomGenerator::system();
    for (qsizetype i = 0; i < length; ++i) {
        const QChar digit = alphabet.at(generator->bounded(int(alphabet.size())));
        if (noLeadingZero && text.isEmpty() && digit == u'0')
            continue;
        text.append(digit);
    }
    return text;
}

} // namespace

QString encryptMD5(const QString &text, MD5EncryptType type)
{
    const std::optional<QByteArray> bytes = utf8(text);
    if (!bytes)
        return text;
    QString hex = QString::fromLatin1(QCryptographicHash::hash(*bytes, QCryptographicHash::Md5).toHex());
    if (type == MD5EncryptType::uppercase32 || type == MD5EncryptType::uppercase16)
        hex = hex.toUpper();
    if (type == MD5EncryptType::lowercase16 || type == MD5EncryptType::uppercase16)
        hex = hex.mid(8, 17);
    return hex;
}

QString sha1(const QString &text)
{
    const std::optional<QByteArray> bytes = utf8(text);
    if (!bytes)
        return text;
    return QString::fromLatin1(QCryptographicHash::hash(*bytes, QCryptographicHash::Sha1).toHex());
}

QString random(qsizetype length)
{
    if (length < 0)
        qFatal("random: length %lld is negative", static_cast<long long>(length));
    return randomText(
        length, QLatin1StringView("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"), false);
}

QString randomNumberString(qsizetype length)
{
    if (length < 1)
        qFatal("randomNumberString: length %lld is less than 1", static_cast<long long>(length));
    // Every draw may be a discarded leading zero; draw again until one is not.
    QString digits;
    while (digits.isEmpty())
        digits = randomText(length, QLatin1StringView("0123456789"), true);
    return digits;
}

} // namespace mira
