#pragma once

#include <mirakit/mirakit_export.h>

#include <QString>

/**
 * @file
 * Character access, ranges and pattern checks on text.
 *
 * A "character" here is what a reader sees as one: a grapheme cluster, so an
 * emoji with a skin-tone modifier or a letter with a combining accent is one
 * character even though it takes several UTF-16 units. Offsets and ranges in
 * this file count such characters; Utf16Range converts them to QString
 * positions.
 *
 * Offsets never fail: out-of-range offsets are clamped to the text or give
 * an empty answer, as each function states.
 *
 * @code
 * mira::characterAt(QStringLiteral("héllo"), 1);                  // "é"
 * mira::substring(QStringLiteral("installer"), {2, 7});            // "stall"
 * mira::substring(QStringLiteral("installer"), 2, 3);              // "sta"
 * mira::verification(email, QStringLiteral("^[^@\\s]+@[^@\\s]+$"));
 * @endcode
 */
namespace mira {

/// A half-open range of character offsets: [start, end).
struct CharacterRange {
    qsizetype start = 0;
    qsizetype end = 0;
};

/// A range of UTF-16 positions, as QString indexes them.
struct Utf16Range {
    qsizetype location = 0;
    qsizetype length = 0;

    friend bool operator==(const Utf16Range &, const Utf16Range &) = default;
};

/// Number of characters (grapheme clusters) in @p text.
MIRAKIT_EXPORT qsizetype characterCount(const QString &text);

/// The character at @p offset; an empty string when @p offset is negative
/// or not less than characterCount().
MIRAKIT_EXPORT QString characterAt(const QString &text, qsizetype offset);

/// The characters in @p range. The range is clamped to the text; a range
/// whose end is not after its start gives an empty string.
MIRAKIT_EXPORT QString substring(const QString &text, CharacterRange range);

/// The @p length characters from @p start, clamped like the range form; a
/// negative length gives an empty string.
MIRAKIT_EXPORT QString substring(const QString &text, qsizetype start, qsizetype length);

/// The UTF-16 positions covered by the characters in @p range, clamped like
/// substring(); an empty range answers a zero length at its clamped start.
MIRAKIT_EXPORT Utf16Range nsRange(const QString &text, CharacterRange range);

/// True when the regular expression @p pattern matches somewhere in
/// @p text; false when it does not, when the pattern is invalid, or when
/// matching gives up on a pathological pattern.
MIRAKIT_EXPORT bool verification(const QString &text, const QString &pattern);

} // namespace mira
