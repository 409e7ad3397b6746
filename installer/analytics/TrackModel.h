#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

/**
 * The full tracking record, coded by key name.
 *
 * Encoding writes "LinkTrack", "NoYouToBePhoto", "ProTrack" and
 * "VersionTrack"; decoding needs all four with the right types (text,
 * Boolean, Boolean, text) and fails as a whole otherwise. A QVariantMap is
 * the keyed coder: it round-trips through property lists and JSON.
 */
struct TrackModel {
    QString linkTrack;
    bool noYouToBePhoto = false;
    bool proTrack = false;
    QString versionTrack;

    /// The coding keys, in encoding order.
    static QStringList codingKeys();

    QVariantMap encode() const;
    static std::optional<TrackModel> decode(const QVariantMap &coded);

    friend bool operator==(const TrackModel &, const TrackModel &) = default;
};
