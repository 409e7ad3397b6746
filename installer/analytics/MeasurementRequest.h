#pragma once

#include "AnalyticsEvent.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QUrl>

#include <optional>

/**
 * Turns a batch of analytics records into the collection request: the URL
 * with its query, and the compact JSON body.
 *
 * Body: {"client_id": ..., "user_properties": {...}, "events": [{"name",
 * "timestamp_micros", "params"}...]} — "client_id" only when known,
 * "user_properties" and "params" only when non-empty.
 *
 * The collector silently drops requests beyond its limits, so the body is
 * kept within them: at most 25 events and 130,000 bytes, names cut to 40
 * characters, at most 25 parameters per event, text values cut to 100
 * characters. Pure functions; no I/O.
 */
class MeasurementRequest {
public:
    static constexpr int maximumEvents = 25;
    static constexpr int maximumNameLength = 40;
    static constexpr int maximumParameters = 25;
    static constexpr int maximumTextLength = 100;
    static constexpr int maximumBodyBytes = 130000;

    /// @p endpoint + "/mp/collect?measurement_id=" + @p measurementId +
    /// "&api_secret=" + @p apiSecret, values as given. nullopt when that is
    /// not an http or https URL with a host.
    static std::optional<QUrl> url(const QString &endpoint, const QString &measurementId, const QString &apiSecret);

    /// The compact body for the first events of @p batch that fit the limits.
    /// @p carried receives how many records that is (at least one of a
    /// non-empty batch).
    static QByteArray body(const AnalyticsBatch &batch, const std::optional<QString> &clientId,
        const QJsonObject &userProperties, qsizetype *carried = nullptr);

    /// The event object of one record.
    static QJsonObject eventObject(const AnalyticsEvent &event);

    /// "timestamp_micros" of a timestamp: microseconds, truncated toward zero.
    static qint64 timestampMicros(double timestamp);

    /// @p parameters within the limits. "session_id" and
    /// "engagement_time_msec" are kept first when parameters must be dropped.
    static QJsonObject limitedParameters(const QJsonObject &parameters);

    /// @p text cut to @p length UTF-16 units without splitting a surrogate pair.
    static QString clipped(const QString &text, int length);
};
