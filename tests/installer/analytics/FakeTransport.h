#pragma once

#include <installer/analytics/AnalyticsTransport.h>
#include <platform/Scheduler.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrlQuery>

/**
 * An in-process collection endpoint: records every request and answers
 * through the shared scheduler (so a ManualScheduler decides when), or holds
 * the answers until the test releases them.
 */
class FakeTransport final : public AnalyticsTransport {
public:
    struct Request {
        QUrl url;
        QByteArray body;
        QJsonObject json;
        platform::Scheduler::TimePoint at;
    };

    QList<Request> requests;
    Outcome outcome { platform::net::UrlError::None, 204 };
    bool hold = false;
    QList<Done> held;

    void send(const QUrl &url, const QByteArray &body, Done done) override
    {
        requests.append({ url, body, QJsonDocument::fromJson(body).object(), platform::Scheduler::shared().now() });
        if (hold) {
            held.append(std::move(done));
            return;
        }
        platform::Scheduler::shared().post([done = std::move(done), answer = outcome] { done(answer); });
    }

    void release(Outcome answer)
    {
        const QList<Done> waiting = std::exchange(held, {});
        for (const Done &done : waiting)
            done(answer);
    }

    QJsonArray events(qsizetype request) const
    {
        return requests.at(request).json.value(QStringLiteral("events")).toArray();
    }

    /// The "n" parameter of every event of @p request (events logged with an index).
    QList<int> indexes(qsizetype request) const
    {
        QList<int> found;
        for (const QJsonValue &event : events(request))
            found << event.toObject().value(QStringLiteral("params")).toObject().value(QStringLiteral("n")).toInt();
        return found;
    }

    /// Event names of @p request.
    QStringList names(qsizetype request) const
    {
        QStringList found;
        for (const QJsonValue &event : events(request))
            found << event.toObject().value(QStringLiteral("name")).toString();
        return found;
    }

    /// Sizes of every request's event array, in order.
    QList<qsizetype> sizes() const
    {
        QList<qsizetype> found;
        for (qsizetype i = 0; i < requests.size(); ++i)
            found << events(i).size();
        return found;
    }
};
