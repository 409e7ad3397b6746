#include "TrackingRecord.h"

#include "Product.h"
#include <installer/analytics/SoftWare.h>

#include <platform/FileSync.h>
#include <platform/Folders.h>
#include <platform/PropertyList.h>

#include <QDir>
#include <QFileInfo>

namespace {
const QString trackingFolderName = QStringLiteral("kestrumTrack");
} // namespace

std::optional<QString> trackingRecordPath()
{
    const auto support = platform::Folders::applicationSupport();
    if (!support)
        return std::nullopt;
    const QString recordName = QFileInfo(Product::bundleName()).completeBaseName() + QStringLiteral(".plist");
    return *support + QLatin1Char('/') + trackingFolderName + QLatin1Char('/') + recordName;
}

void writeTrackingRecord()
{
    const auto path = trackingRecordPath();
    if (!path)
        return;
    QDir().mkpath(QFileInfo(*path).path());
    // Replaced in one rename: a crash leaves the old record or the new one, never none.
    platform::FileSync::writeAtomically(*path,
        platform::PropertyList::toXml(QVariantMap {
            { QStringLiteral("VersionTrack"), SoftWare::versionTrack() },
            { QStringLiteral("LinkTrack"), SoftWare::linkTrack() },
        }));
}
