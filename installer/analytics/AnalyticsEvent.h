#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>

#include <memory>

/// One usage event. Shared between the analytics queue and the batch that carries it.
class AnalyticsEvent {
public:
    /// Spelled as the record's documented states, which callers and tests name.
    enum class Status : quint8 {
        identity = 0, ///< waiting in the queue
        submiting = 1, ///< carried by a request that has not completed
        submitSuccess = 2, ///< the request that carried it succeeded
    };

    /// A new record with a fresh upper-case UUID text and status identity.
    AnalyticsEvent(const QString &name, const QJsonObject &params, double timestamp);

    QString uuid;
    Status status = Status::identity;
    /// Seconds since 1970-01-01 00:00 UTC at creation.
    double timestamp = 0;
    QString name;
    QJsonObject params;

    bool operator==(const AnalyticsEvent &other) const { return uuid == other.uuid; }
};

using AnalyticsRecord = std::shared_ptr<AnalyticsEvent>;
using AnalyticsBatch = QList<AnalyticsRecord>;
