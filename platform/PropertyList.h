#pragma once

#include <platform/platform_export.h>

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <optional>

namespace platform {

/**
 * Reads and writes property lists (XML or binary on input, XML on output).
 *
 * Values map onto QVariant as: string → QString, boolean → bool,
 * integer → qint64, real → double, date → QDateTime (UTC), data →
 * QByteArray, array → QVariantList, dictionary → QVariantMap.
 * Dates are held from year 1 to 9999 (read to the nearest millisecond,
 * written to the second) and integers within qint64; a value outside these,
 * or a string or key holding a NUL, is refused rather than changed.
 * Input is untrusted: anything malformed yields std::nullopt and an error
 * text, never a partial value. Nesting of arrays and dictionaries is bounded
 * (defaultMaxDepth) and checked on the raw bytes before any tree is built, so
 * a hostile file cannot exhaust the stack; files are bounded in size
 * (defaultMaxBytes) before they are read.
 */
class PLATFORM_EXPORT PropertyList {
public:
    /// Deepest nesting of arrays and dictionaries accepted: 64.
    static constexpr int defaultMaxDepth = 64;
    /// Largest file readDictionary() reads by default: 8 MiB.
    static constexpr qint64 defaultMaxBytes = 8 * 1024 * 1024;

    /// The value held by XML or binary property-list @p data.
    static std::optional<QVariant> fromData(const QByteArray &data, QString *error = nullptr);

    /// The dictionary in the file at @p path. A file larger than @p maxBytes
    /// is refused without being read; devices and pipes are read no further.
    static std::optional<QVariantMap> readDictionary(
        const QString &path, QString *error = nullptr, qint64 maxBytes = defaultMaxBytes);

    /// Whether arrays and dictionaries in @p data nest at most @p maxDepth
    /// levels deep (a lone top-level array is one level). Scans the bytes
    /// without building a tree or recursing; false, with a reason in
    /// @p error, also for data too malformed to tell and for a string or
    /// key holding a NUL character, which the parser cannot read safely.
    static bool isNestingWithin(const QByteArray &data, int maxDepth, QString *error = nullptr);

    /// XML text of @p value; empty when the value has a type or holds a value
    /// that property lists cannot hold.
    static QByteArray toXml(const QVariant &value);

    /// Writes @p dictionary as XML to @p path atomically: readers see either
    /// the old file or the whole new one.
    static bool writeDictionary(const QVariantMap &dictionary, const QString &path, QString *error = nullptr);
};

} // namespace platform
