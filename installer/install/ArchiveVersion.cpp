#include "ArchiveVersion.h"

#include "Product.h"

#include <platform/PropertyList.h>
#include <platform/ZipArchive.h>
#include <platform/ZipDirectoryEnd.h>

#include <QByteArray>
#include <QFile>
#include <QVariantMap>

#include <zip.h>

std::optional<QString> ArchiveVersion::read(const QString &archive)
{
    const auto end = platform::ZipDirectoryEnd::read(archive);
    if (!end || end->entryCount > platform::ZipLimits().maxEntries)
        return std::nullopt;
    int error = 0;
    zip_t *zip = zip_open(QFile::encodeName(archive).constData(), ZIP_RDONLY, &error);
    if (!zip)
        return std::nullopt;
    const QByteArray name = (Product::bundleName() + QStringLiteral("/Contents/Info.plist")).toUtf8();
    std::optional<QString> version;
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat(zip, name.constData(), 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE)
        && stat.size <= zip_uint64_t(platform::PropertyList::defaultMaxBytes)) {
        if (zip_file_t *file = zip_fopen_index(zip, stat.index, 0)) {
            QByteArray data(qsizetype(stat.size), Qt::Uninitialized);
            if (zip_fread(file, data.data(), stat.size) == zip_int64_t(stat.size)) {
                const auto value = platform::PropertyList::fromData(data);
                const QString text
                    = value ? value->toMap().value(QStringLiteral("CFBundleShortVersionString")).toString() : QString();
                if (!text.isEmpty())
                    version = text;
            }
            zip_fclose(file);
        }
    }
    zip_discard(zip);
    return version;
}
