#include "StringExtensions.h"

#include <QRegularExpression>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <limits>

namespace mira {

namespace {

// UTF-16 position of the character at @p offset, walking grapheme
// boundaries. Offsets past the end answer the text's size.
qsizetype utf16Position(const QString &text, qsizetype offset)
{
    if (offset <= 0)
        return 0;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() != -1) {
        if (++count == offset)
            return finder.position();
    }
    return text.size();
}

Utf16Range clampedRange(const QString &text, CharacterRange range)
{
    const qsizetype start = std::max<qsizetype>(range.start, 0);
    if (range.end <= start) {
        const qsizetype at = utf16Position(text, start);
        return { at, 0 };
    }
    const qsizetype from = utf16Position(text, start);
    const qsizetype to = utf16Position(text, range.end);
    return { from, to - from };
}

} // namespace

qsizetype characterCount(const QString &text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() != -1)
        ++count;
    return count;
}

QString characterAt(const QString &text, qsizetype offset)
{
    if (offset < 0 || offset == std::numeric_limits<qsizetype>::max())
        return {};
    return substring(text, CharacterRange { offset, offset + 1 });
}

QString substring(const QString &text, CharacterRange range)
{
    const Utf16Range utf16 = clampedRange(text, range);
    return text.mid(utf16.location, utf16.length);
}

QString substring(const QString &text, qsizetype start, qsizetype length)
{
    if (length <= 0)
        return {};
    // Saturate so a huge length cannot overflow the end offset.
    const qsizetype end = start > std::numeric_limits<qsizetype>::max() - length ? std::numeric_limits<qsizetype>::max()
                                                                                 : start + length;
    return substring(text, CharacterRange { start, end });
}

Utf16Range nsRange(const QString &text, CharacterRange range)
{
    return clampedRange(text, range);
}

bool verification(const QString &text, const QString &pattern)
{
    const QRegularExpression expression(pattern);
    if (!expression.isValid())
        return false;
    return expression.match(text).hasMatch();
}

} // namespace mira
