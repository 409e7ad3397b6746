#pragma once

#include "AnalyticsEvent.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class AnalyticsTransport;

/**
 * The usage-analytics client: an in-memory queue of events sent in batches
 * to the collection endpoint, plus a periodic heartbeat.
 *
 * All state is class-level and lives on the main thread; every timer goes
 * through platform::Scheduler::shared(). Until configureWithMeasurement_id()
 * has stored a measurement id and an API secret, events are dropped and
 * flush() does nothing.
 *
 * Events wait in eventQueue() and leave
 * - inactiveTimeSpaceInterval() (15 s) after the last logged event,
 * - at once, grandTotalSubmitCount() (10) at a time, when that many wait,
 * - or with flush(), which sends everything waiting followed by a heartbeat.
 *
 * A scheduled batch that fails goes back to waiting and is sent again; the
 * resends after consecutive failures are spaced 1 s, 2 s, 4 s ... up to
 * inactiveTimeSpaceInterval() (at least 1 s). A transfer error, an HTTP 5xx
 * and an HTTP 429 count as failures; any other answer is a success.
 *
 * @code
 * Analytics::configureWithMeasurement_id(id, secret); // starts the heartbeat
 * Analytics::logEvent(QStringLiteral("Install_SW"), params);
 * Analytics::flush();
 * @endcode
 */
class Analytics {
public:
    using UserEvent = AnalyticsEvent;
    using Record = AnalyticsRecord;
    using Batch = AnalyticsBatch;
    using Completion = std::function<void(bool success)>;

    /// Name of the heartbeat event.
    static QString heartbeatEventName();

    /// Always false; sending never consults it.
    static bool isDebug();
    /// endpoint() + "/mp/collect".
    static QString releaseHostUrl();
    /// endpoint() + "/debug/mp/collect"; never used for sending.
    static QString debugHostUrl();
    /// The collection endpoint: PRISMORA_ANALYTICS_ENDPOINT when set, else
    /// the compiled-in one; without a trailing "/".
    static QString endpoint();

    /// Pause after the last logged event before waiting events are sent.
    /// Default 15 s; 0 or less sends every event alone at once.
    static double inactiveTimeSpaceInterval();
    static void setInactiveTimeSpaceInterval(double seconds);
    /// Largest batch and the number of waiting events that triggers an
    /// immediate send. Default 10; batches are kept within 1 to 25 events.
    static qint64 grandTotalSubmitCount();
    static void setGrandTotalSubmitCount(qint64 count);
    /// Heartbeat period, read when the heartbeat timer is made. Default 60 s;
    /// periods under 1 s are taken as 1 s.
    static double heartBeatInterval();
    static void setHeartBeatInterval(double seconds);

    /// True once a measurement id and an API secret are stored.
    static bool isConfigured();
    /// The stored measurement id (the API secret is never handed out).
    static QString measurementId();
    /// Property name → {"value": text}; sent with every request while non-empty.
    static QJsonObject userProperties();
    /// The queue, in logging order.
    static Batch eventQueue();
    /// This process's session id, made on first use.
    static QString sessionId();
    /// Start of the engagement interval the next heartbeat reports (seconds since 1970).
    static double lastEngagementTime();
    static bool heartbeatInFlight();

    /// Stores the credentials and starts the heartbeat (first beat at once).
    /// Does nothing when a measurement id or an API secret is already stored.
    static void configureWithMeasurement_id(const QString &measurementId, const QString &apiSecret);
    static void setUserPropertyWithValue(const QString &value, const QString &name);
    /// Queues event @p name; "session_id" in @p parameters is always this
    /// process's sessionId(). @p submitNow sends it alone at once.
    static void logEvent(const QString &name, const QJsonObject &parameters = {}, bool submitNow = false);
    /// Sends every waiting event in batches, then a heartbeat. Nothing at all
    /// when no event waits.
    static void flush();
    /// Sends a full batch if one waits, and (re)arms the delayed submitEventsIfNeed().
    static void submitScheduling();
    /// Sends the first batch of waiting events, if any.
    static void submitEventsIfNeed();

    /// Sends @p batch as one request. Returns false when no request could be
    /// built (no record changes then, and @p completion never runs). With
    /// @p keepOnFailure, failed records not in the queue join it.
    static bool submitEvents(const Batch &batch, bool keepOnFailure, Completion completion);
    /// Sends the heartbeat event unless one is in flight.
    static void sendHeartbeat();
    /// The client identifier: the platform's stable machine identifier.
    static std::optional<QString> clientId();

    /// Replaces the transport (the caller keeps ownership); nullptr restores
    /// the URL-session transport.
    static void setTransport(AnalyticsTransport *transport);
    /// Forgets all class-level state, cancels every timer on the current
    /// shared scheduler and ignores the results of requests still in flight.
    /// The transport stays. For tests.
    static void resetForTesting();
};
