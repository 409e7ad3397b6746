#include "Analytics.h"

#include "AnalyticsTransport.h"
#include "MeasurementRequest.h"

#include <installer/BuildConfig.h>
#include <platform/MachineIdentifier.h>
#include <platform/Scheduler.h>

#include <QUuid>

#include <algorithm>
#include <chrono>

using platform::Scheduler;
using platform::WorkId;
using Status = Analytics::UserEvent::Status;
using namespace std::chrono_literals;

namespace {

constexpr auto firstRetryDelay = std::chrono::milliseconds(1s);

struct State {
    double inactiveTimeSpaceInterval = 15.0;
    qint64 grandTotalSubmitCount = 10;
    double heartBeatInterval = 60.0;

    QString measurementId;
    QString apiSecret;
    QJsonObject userProperties;
    Analytics::Batch eventQueue;
    QString sessionId;
    double lastEngagementTime = 0;
    bool heartbeatInFlight = false;

    WorkId heartbeatTimer = 0;
    WorkId firstHeartbeat = 0;
    WorkId pendingSubmit = 0;
    WorkId pendingRetry = 0;
    std::chrono::milliseconds nextRetryDelay = firstRetryDelay;

    // Bumped by resetForTesting() so that answers to earlier requests are ignored.
    quint64 generation = 0;
    AnalyticsTransport *transport = nullptr;
};

State &state()
{
    static State instance;
    return instance;
}

AnalyticsTransport &transport()
{
    static UrlSessionTransport defaultTransport;
    AnalyticsTransport *chosen = state().transport;
    return chosen ? *chosen : defaultTransport;
}

double nowSeconds()
{
    const auto sinceEpoch = Scheduler::shared().now().time_since_epoch();
    return double(std::chrono::duration_cast<std::chrono::microseconds>(sinceEpoch).count()) / 1e6;
}

std::chrono::milliseconds milliseconds(double seconds)
{
    return std::chrono::milliseconds(qint64(std::max(seconds, 0.0) * 1000.0));
}

QString newUuidText()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

// The batch size actually used: the collector takes at most 25 events per
// request, and a size below 1 would send empty batches without end.
qsizetype batchLimit()
{
    return qsizetype(std::clamp<qint64>(state().grandTotalSubmitCount, 1, MeasurementRequest::maximumEvents));
}

Analytics::Batch waitingRecords(qsizetype limit = -1)
{
    Analytics::Batch waiting;
    for (const Analytics::Record &record : std::as_const(state().eventQueue)) {
        if (limit >= 0 && waiting.size() == limit)
            break;
        if (record->status == Status::identity)
            waiting.append(record);
    }
    return waiting;
}

bool isSuccess(const AnalyticsTransport::Outcome &outcome)
{
    if (outcome.error != platform::net::UrlError::None)
        return false;
    // The collector is overloaded or broken: the events were not taken.
    return outcome.statusCode != 429 && outcome.statusCode < 500;
}

void applyResult(const Analytics::Batch &batch, bool keepOnFailure, const Analytics::Completion &completion,
    const AnalyticsTransport::Outcome &outcome)
{
    State &s = state();
    for (const Analytics::Record &record : batch)
        record->status = Status::identity;
    if (isSuccess(outcome)) {
        for (const Analytics::Record &record : batch)
            record->status = Status::submitSuccess;
        s.nextRetryDelay = firstRetryDelay;
        if (completion)
            completion(true);
        return;
    }
    if (keepOnFailure) {
        for (const Analytics::Record &record : batch) {
            const bool queued = std::any_of(s.eventQueue.cbegin(), s.eventQueue.cend(),
                [&](const Analytics::Record &other) { return *other == *record; });
            if (!queued)
                s.eventQueue.append(record);
        }
    }
    if (completion)
        completion(false);
}

// A failed scheduled batch is sent again, but consecutive failures are spaced
// out so that an endpoint that fails at once is not hammered.
void scheduleResendAfterFailure()
{
    State &s = state();
    if (s.pendingRetry != 0)
        return;
    const auto delay = s.nextRetryDelay;
    const auto ceiling = std::max(milliseconds(s.inactiveTimeSpaceInterval), std::chrono::milliseconds(1s));
    s.nextRetryDelay = std::min(delay * 2, ceiling);
    s.pendingRetry = Scheduler::shared().after(delay, [] {
        state().pendingRetry = 0;
        Analytics::submitScheduling();
    });
}

void scheduledBatchDone(bool success)
{
    if (!success)
        scheduleResendAfterFailure();
}

} // namespace

QString Analytics::heartbeatEventName()
{
    return QStringLiteral("user_engagement_custom");
}

bool Analytics::isDebug()
{
    return false;
}

QString Analytics::endpoint()
{
    QString endpoint = qEnvironmentVariable("PRISMORA_ANALYTICS_ENDPOINT");
    if (endpoint.isEmpty())
        endpoint = QString::fromUtf8(buildconfig::analyticsEndpoint);
    while (endpoint.endsWith(QLatin1Char('/')))
        endpoint.chop(1);
    return endpoint;
}

QString Analytics::releaseHostUrl()
{
    return endpoint() + QLatin1String("/mp/collect");
}

QString Analytics::debugHostUrl()
{
    return endpoint() + QLatin1String("/debug/mp/collect");
}

double Analytics::inactiveTimeSpaceInterval()
{
    return state().inactiveTimeSpaceInterval;
}

void Analytics::setInactiveTimeSpaceInterval(double seconds)
{
    state().inactiveTimeSpaceInterval = seconds;
}

qint64 Analytics::grandTotalSubmitCount()
{
    return state().grandTotalSubmitCount;
}

void Analytics::setGrandTotalSubmitCount(qint64 count)
{
    state().grandTotalSubmitCount = count;
}

double Analytics::heartBeatInterval()
{
    return state().heartBeatInterval;
}

void Analytics::setHeartBeatInterval(double seconds)
{
    state().heartBeatInterval = seconds;
}

bool Analytics::isConfigured()
{
    return !state().measurementId.isEmpty() && !state().apiSecret.isEmpty();
}

QString Analytics::measurementId()
{
    return state().measurementId;
}

QJsonObject Analytics::userProperties()
{
    return state().userProperties;
}

Analytics::Batch Analytics::eventQueue()
{
    return state().eventQueue;
}

QString Analytics::sessionId()
{
    QString &id = state().sessionId;
    if (id.isEmpty())
        id = newUuidText();
    return id;
}

double Analytics::lastEngagementTime()
{
    return state().lastEngagementTime;
}

bool Analytics::heartbeatInFlight()
{
    return state().heartbeatInFlight;
}

void Analytics::configureWithMeasurement_id(const QString &measurementId, const QString &apiSecret)
{
    State &s = state();
    if (!s.measurementId.isEmpty() || !s.apiSecret.isEmpty())
        return;
    s.measurementId = measurementId;
    s.apiSecret = apiSecret;
    s.lastEngagementTime = nowSeconds();

    Scheduler &scheduler = Scheduler::shared();
    scheduler.cancel(s.firstHeartbeat);
    scheduler.cancel(s.heartbeatTimer);
    // A period under a second would keep the main thread busy with heartbeats.
    const auto period = std::max(milliseconds(s.heartBeatInterval), std::chrono::milliseconds(1s));
    s.firstHeartbeat = scheduler.after(0ms, [] {
        state().firstHeartbeat = 0;
        sendHeartbeat();
    });
    s.heartbeatTimer = scheduler.repeating(period, 1s, [] { sendHeartbeat(); });
}

void Analytics::setUserPropertyWithValue(const QString &value, const QString &name)
{
    state().userProperties.insert(name, QJsonObject { { QStringLiteral("value"), value } });
}

void Analytics::logEvent(const QString &name, const QJsonObject &parameters, bool submitNow)
{
    if (!isConfigured())
        return;
    State &s = state();
    s.eventQueue.removeIf([](const Record &record) { return record->status == Status::submitSuccess; });

    QJsonObject params = parameters;
    params.insert(QStringLiteral("session_id"), sessionId());
    auto record = std::make_shared<UserEvent>(name, params, nowSeconds());

    if (submitNow || s.inactiveTimeSpaceInterval <= 0) {
        submitEvents({ record }, true, {});
        return;
    }
    s.eventQueue.append(record);
    submitScheduling();
}

void Analytics::submitScheduling()
{
    State &s = state();
    Scheduler &scheduler = Scheduler::shared();
    scheduler.cancel(s.pendingSubmit);
    s.pendingSubmit = 0;

    const qsizetype limit = batchLimit();
    const Batch waiting = waitingRecords(limit);
    if (waiting.size() >= limit)
        submitEvents(waiting, true, &scheduledBatchDone);

    s.pendingSubmit = scheduler.after(milliseconds(s.inactiveTimeSpaceInterval), [] {
        state().pendingSubmit = 0;
        submitEventsIfNeed();
    });
}

void Analytics::submitEventsIfNeed()
{
    const Batch batch = waitingRecords(batchLimit());
    if (!batch.isEmpty())
        submitEvents(batch, true, &scheduledBatchDone);
}

void Analytics::flush()
{
    if (!isConfigured())
        return;
    const Batch waiting = waitingRecords();
    if (waiting.isEmpty())
        return;
    const qsizetype limit = batchLimit();
    for (qsizetype start = 0; start < waiting.size(); start += limit)
        submitEvents(waiting.mid(start, limit), true, {});
    sendHeartbeat();
}

void Analytics::sendHeartbeat()
{
    State &s = state();
    if (s.heartbeatInFlight || !isConfigured())
        return;
    const double now = nowSeconds();
    const qint64 engagementMs = qint64((now - s.lastEngagementTime) * 1000.0);
    s.heartbeatInFlight = true;
    auto record = std::make_shared<UserEvent>(heartbeatEventName(),
        QJsonObject {
            { QStringLiteral("session_id"), sessionId() },
            { QStringLiteral("engagement_time_msec"), engagementMs },
        },
        now);
    const bool sent = submitEvents({ record }, false, [now](bool success) {
        State &s = state();
        if (success && now > s.lastEngagementTime)
            s.lastEngagementTime = now;
        s.heartbeatInFlight = false;
    });
    // A heartbeat that could not even be built never completes; do not let
    // it block every later one.
    if (!sent)
        s.heartbeatInFlight = false;
}

bool Analytics::submitEvents(const Batch &batch, bool keepOnFailure, Completion completion)
{
    State &s = state();
    const std::optional<QUrl> url = MeasurementRequest::url(endpoint(), s.measurementId, s.apiSecret);
    if (!url)
        return false;
    qsizetype carried = 0;
    const QByteArray body = MeasurementRequest::body(batch, clientId(), s.userProperties, &carried);
    // Records beyond what fits in one request keep waiting for the next.
    const Batch sent = batch.first(carried);
    for (const Record &record : sent)
        record->status = Status::submiting;
    const quint64 generation = s.generation;
    transport().send(*url, body,
        [sent, keepOnFailure, completion = std::move(completion), generation](
            const AnalyticsTransport::Outcome &outcome) {
            if (generation == state().generation)
                applyResult(sent, keepOnFailure, completion, outcome);
        });
    return true;
}

std::optional<QString> Analytics::clientId()
{
    return platform::MachineIdentifier::stable();
}

void Analytics::setTransport(AnalyticsTransport *transport)
{
    state().transport = transport;
}

void Analytics::resetForTesting()
{
    State &s = state();
    Scheduler &scheduler = Scheduler::shared();
    for (WorkId id : { s.heartbeatTimer, s.firstHeartbeat, s.pendingSubmit, s.pendingRetry })
        scheduler.cancel(id);
    const quint64 generation = s.generation + 1;
    AnalyticsTransport *transport = s.transport;
    s = State();
    s.generation = generation;
    s.transport = transport;
}
