#pragma once

#include <mirakit/mirakit_export.h>

#include <QString>

/**
 * @file
 * Digests of text and random text.
 *
 * The digests hash the UTF-8 bytes of the text. They are meant for short
 * texts (identifiers, file names, tokens); hash files with
 * QCryptographicHash directly.
 *
 * @code
 * mira::encryptMD5(QStringLiteral("abc"), mira::MD5EncryptType::lowercase32); // "900150983cd24fb0d6963f7d28e17f72"
 * mira::sha1(QStringLiteral("abc"));             // "a9993e364706816aba3e25717850c26c9cd0d89d"
 * mira::random(8);                               // e.g. "x0TqA9bZ"
 * mira::randomNumberString(6);                   // e.g. "40719", never starts with "0"
 * @endcode
 */
namespace mira {

/// How encryptMD5() renders the digest.
enum class MD5EncryptType {
    lowercase32, ///< 32 lowercase hexadecimal digits
    uppercase32, ///< 32 uppercase hexadecimal digits
    /// Digits 8 up to but not including 25 of the lowercase form. That is 17
    /// digits, not 16: stored values were made this way, so it stays.
    lowercase16,
    uppercase16, ///< Digits 8 up to but not including 25 of the uppercase form (17 digits).
};

/// The MD5 digest of @p text in the form @p type. Text that cannot be
/// encoded as UTF-8 (a lone surrogate) is returned unchanged.
MIRAKIT_EXPORT QString encryptMD5(const QString &text, MD5EncryptType type);

/// The SHA-1 digest of @p text as 40 lowercase hexadecimal digits. Text that
/// cannot be encoded as UTF-8 is returned unchanged.
MIRAKIT_EXPORT QString sha1(const QString &text);

/// @p length characters, each drawn uniformly from a-z, A-Z and 0-9 by the
/// system's cryptographic generator. Zero gives an empty text; a negative
/// length is a programming error and stops the process.
MIRAKIT_EXPORT QString random(qsizetype length);

/// A decimal number of 1 to @p length digits that never starts with "0":
/// @p length digits are drawn and leading zeros are dropped (the draw still
/// counts), so the text is shorter when the first draws were zeros. A length
/// below 1 is a programming error and stops the process.
MIRAKIT_EXPORT QString randomNumberString(qsizetype length);

} // namespace mira
