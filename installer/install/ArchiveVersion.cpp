#include "ArchiveVersion.h"

#include "Product.h"

#include <platform/PropertyList.h>
#include <platform/ZipArchive.h>

#include <QVariantMap>

std::optional<QString> ArchiveVersion::read(const QString &archive)
{
    const auto data = platform::ZipArchive::readEntry(archive,
        Product::bundleName() + QStringLiteral("/Contents/Info.plist"), platform::PropertyList::defaultMaxBytes);
    const auto value = data ? platform::PropertyList::fromData(*data) : std::nullopt;
    const QString version
        = value ? value->toMap().value(QStringLiteral("CFBundleShortVersionString")).toString() : QString();
    if (version.isEmpty())
        return std::nullopt;
    return version;
}
