#include "MeasurementRequest.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>

namespace {

// Maps inside parameters are limited like the parameters themselves; deeper
// than this they are sent as their JSON text.
constexpr int maximumMapDepth = 2;

QJsonValue limitedValue(const QJsonValue &value, int depth);

QJsonObject limitedMap(const QJsonObject &map, int depth, const QStringList &first = {})
{
    QStringList keys;
    for (const QString &key : first) {
        if (map.contains(key))
            keys << key;
    }
    for (auto it = map.begin(); it != map.end(); ++it) {
        if (!first.contains(it.key()))
            keys << it.key();
    }
    QJsonObject limited;
    for (const QString &key : std::as_const(keys)) {
        if (limited.size() == MeasurementRequest::maximumParameters)
            break;
        const QString name = MeasurementRequest::clipped(key, MeasurementRequest::maximumNameLength);
        if (!limited.contains(name))
            limited.insert(name, limitedValue(map.value(key), depth + 1));
    }
    return limited;
}

QJsonValue limitedValue(const QJsonValue &value, int depth)
{
    switch (value.type()) {
    case QJsonValue::String:
        return MeasurementRequest::clipped(value.toString(), MeasurementRequest::maximumTextLength);
    case QJsonValue::Object:
        if (depth < maximumMapDepth)
            return limitedMap(value.toObject(), depth);
        return MeasurementRequest::clipped(
            QString::fromUtf8(QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact)),
            MeasurementRequest::maximumTextLength);
    case QJsonValue::Array:
        return MeasurementRequest::clipped(
            QString::fromUtf8(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact)),
            MeasurementRequest::maximumTextLength);
    default:
        return value;
    }
}

QJsonObject withoutMaps(const QJsonObject &event)
{
    QJsonObject stripped = event;
    QJsonObject params = stripped.value(QLatin1String("params")).toObject();
    for (const QString &key : params.keys()) {
        if (params.value(key).isObject())
            params.remove(key);
    }
    if (params.isEmpty())
        stripped.remove(QLatin1String("params"));
    else
        stripped.insert(QLatin1String("params"), params);
    return stripped;
}

QByteArray compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

QString MeasurementRequest::clipped(const QString &text, int length)
{
    if (text.size() <= length)
        return text;
    int cut = length;
    if (cut > 0 && text.at(cut - 1).isHighSurrogate())
        --cut;
    return text.left(cut);
}

std::optional<QUrl> MeasurementRequest::url(
    const QString &endpoint, const QString &measurementId, const QString &apiSecret)
{
    const QString text = endpoint + QLatin1String("/mp/collect?measurement_id=") + measurementId
        + QLatin1String("&api_secret=") + apiSecret;
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || url.host().isEmpty() || (scheme != QLatin1String("https") && scheme != QLatin1String("http")))
        return std::nullopt;
    return url;
}

qint64 MeasurementRequest::timestampMicros(double timestamp)
{
    return qint64(std::trunc(timestamp * 1000000.0));
}

QJsonObject MeasurementRequest::limitedParameters(const QJsonObject &parameters)
{
    return limitedMap(parameters, 0, { QStringLiteral("session_id"), QStringLiteral("engagement_time_msec") });
}

QJsonObject MeasurementRequest::eventObject(const AnalyticsEvent &event)
{
    QJsonObject object {
        { QStringLiteral("name"), clipped(event.name, maximumNameLength) },
        { QStringLiteral("timestamp_micros"), timestampMicros(event.timestamp) },
    };
    if (!event.params.isEmpty())
        object.insert(QStringLiteral("params"), limitedParameters(event.params));
    return object;
}

QByteArray MeasurementRequest::body(const AnalyticsBatch &batch, const std::optional<QString> &clientId,
    const QJsonObject &userProperties, qsizetype *carried)
{
    QJsonObject envelope;
    if (clientId)
        envelope.insert(QStringLiteral("client_id"), *clientId);
    if (!userProperties.isEmpty())
        envelope.insert(QStringLiteral("user_properties"), limitedMap(userProperties, 0));

    QJsonArray events;
    for (const AnalyticsRecord &record : batch) {
        if (events.size() == maximumEvents)
            break;
        events.append(eventObject(*record));
    }
    // Drop events from the end until the body fits; they stay waiting for a
    // later request. One event alone always goes, if need be without its
    // map-valued parameters.
    for (;;) {
        envelope.insert(QStringLiteral("events"), events);
        QByteArray bytes = compact(envelope);
        if (bytes.size() <= maximumBodyBytes || events.isEmpty()) {
            if (carried)
                *carried = events.size();
            return bytes;
        }
        if (events.size() == 1) {
            events[0] = withoutMaps(events.at(0).toObject());
            envelope.insert(QStringLiteral("events"), events);
            if (carried)
                *carried = 1;
            return compact(envelope);
        }
        events.removeLast();
    }
}
