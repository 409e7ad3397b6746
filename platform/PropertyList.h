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
 * Input is untrusted: anything malformed yields std::nullopt and an error
 * text, never a partial value.
 */
class PLATFORM_EXPORT PropertyList
{
public:
    static std::optional<QVariant> fromData(const QByteArray &data, QString *error = nullptr);
    static std::optional<QVariantMap> readDictionary(const QString &path, QString *error = nullptr);

    /// XML text of @p value; empty when the value has a type that property
    /// lists cannot hold.
    static QByteArray toXml(const QVariant &value);

    /// Writes @p dictionary as XML to @p path atomically: readers see either
    /// the old file or the whole new one.
    static bool writeDictionary(const QVariantMap &dictionary, const QString &path, QString *error = nullptr);
};

} // namespace platform
