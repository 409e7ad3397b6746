#include "TrackModel.h"

namespace {
const QString linkTrackKey = QStringLiteral("LinkTrack");
const QString noYouToBePhotoKey = QStringLiteral("NoYouToBePhoto");
const QString proTrackKey = QStringLiteral("ProTrack");
const QString versionTrackKey = QStringLiteral("VersionTrack");

std::optional<QString> text(const QVariantMap &coded, const QString &key)
{
    const auto it = coded.constFind(key);
    if (it == coded.cend() || it->metaType().id() != QMetaType::QString)
        return std::nullopt;
    return it->toString();
}

std::optional<bool> boolean(const QVariantMap &coded, const QString &key)
{
    const auto it = coded.constFind(key);
    if (it == coded.cend() || it->metaType().id() != QMetaType::Bool)
        return std::nullopt;
    return it->toBool();
}
} // namespace

QStringList TrackModel::codingKeys()
{
    return { linkTrackKey, noYouToBePhotoKey, proTrackKey, versionTrackKey };
}

QVariantMap TrackModel::encode() const
{
    return {
        { linkTrackKey, linkTrack },
        { noYouToBePhotoKey, noYouToBePhoto },
        { proTrackKey, proTrack },
        { versionTrackKey, versionTrack },
    };
}

std::optional<TrackModel> TrackModel::decode(const QVariantMap &coded)
{
    const auto link = text(coded, linkTrackKey);
    const auto photo = boolean(coded, noYouToBePhotoKey);
    const auto pro = boolean(coded, proTrackKey);
    const auto version = text(coded, versionTrackKey);
    if (!link || !photo || !pro || !version)
        return std::nullopt;
    return TrackModel { *link, *photo, *pro, *version };
}
