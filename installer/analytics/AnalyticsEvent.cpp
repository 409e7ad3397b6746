#include "AnalyticsEvent.h"

#include <QUuid>

AnalyticsEvent::AnalyticsEvent(const QString &name, const QJsonObject &params, double timestamp)
    : uuid(QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper())
    , timestamp(timestamp)
    , name(name)
    , params(params)
{
}
