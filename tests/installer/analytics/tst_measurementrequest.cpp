#include <installer/analytics/Analytics.h>
#include <installer/analytics/MeasurementRequest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

class MeasurementRequestTest : public QObject {
    Q_OBJECT
private:
    static Analytics::Record record(const QString &name, const QJsonObject &params, double timestamp = 1.0)
    {
        return std::make_shared<Analytics::UserEvent>(name, params, timestamp);
    }

    static QJsonObject parse(const QByteArray &body) { return QJsonDocument::fromJson(body).object(); }

private Q_SLOTS:
    void urlCarriesExactlyTheTwoPairs()
    {
        const auto url = MeasurementRequest::url(QStringLiteral("https://collector.test"),
            QStringLiteral("G-ABCDEF1234"), QStringLiteral("AbCdEfGhIjKlMnOpQrStUv"));
        QVERIFY(url);
        QCOMPARE(url->toString(),
            QStringLiteral(
                "https://collector.test/mp/collect?measurement_id=G-ABCDEF1234&api_secret=AbCdEfGhIjKlMnOpQrStUv"));
        QVERIFY(!MeasurementRequest::url(QStringLiteral("not a url"), QStringLiteral("G-1"), QStringLiteral("s")));
        QVERIFY(!MeasurementRequest::url(QStringLiteral("file:///tmp"), QStringLiteral("G-1"), QStringLiteral("s")));
        QVERIFY(!MeasurementRequest::url(QString(), QStringLiteral("G-1"), QStringLiteral("s")));
        QVERIFY(MeasurementRequest::url(
            QStringLiteral("http://127.0.0.1:8080"), QStringLiteral("G-1"), QStringLiteral("s")));
    }

    void eventObjects()
    {
        const auto withParams = record(
            QStringLiteral("Install_SW"), { { QStringLiteral("ea"), QStringLiteral("Launch_App") } }, 1700000000.25);
        const QJsonObject event = MeasurementRequest::eventObject(*withParams);
        QCOMPARE(event.value(QStringLiteral("timestamp_micros")).toInteger(), 1700000000250000);
        QCOMPARE(event.value(QStringLiteral("params")).toObject().value(QStringLiteral("ea")).toString(),
            QStringLiteral("Launch_App"));
        const QJsonObject bare = MeasurementRequest::eventObject(*record(QStringLiteral("bare"), {}));
        QCOMPARE(bare.keys(), (QStringList { QStringLiteral("name"), QStringLiteral("timestamp_micros") }));
        QCOMPARE(MeasurementRequest::timestampMicros(1.0000019), qint64(1000001));
        QCOMPARE(MeasurementRequest::timestampMicros(-0.5), qint64(-500000));
    }

    void bodyKeys()
    {
        const Analytics::Batch batch { record(QStringLiteral("a"), {}), record(QStringLiteral("b"), {}) };
        qsizetype carried = -1;
        QJsonObject body = parse(MeasurementRequest::body(batch, QStringLiteral("CLIENT"), {}, &carried));
        QCOMPARE(carried, 2);
        QCOMPARE(body.keys(), (QStringList { QStringLiteral("client_id"), QStringLiteral("events") }));
        QCOMPARE(
            body.value(QStringLiteral("events")).toArray().at(1).toObject().value(QStringLiteral("name")).toString(),
            QStringLiteral("b"));
        body = parse(MeasurementRequest::body(batch, std::nullopt, {}));
        QCOMPARE(body.keys(), QStringList { QStringLiteral("events") });
        body = parse(MeasurementRequest::body({}, std::nullopt,
            { { QStringLiteral("tier"), QJsonObject { { QStringLiteral("value"), QStringLiteral("x") } } } },
            &carried));
        QCOMPARE(carried, 0);
        QCOMPARE(body.keys(), (QStringList { QStringLiteral("events"), QStringLiteral("user_properties") }));
        QVERIFY(body.value(QStringLiteral("events")).toArray().isEmpty());
    }

    void heartbeatBodyHasAnIntegerEngagementTime()
    {
        const auto beat = record(QStringLiteral("user_engagement_custom"),
            { { QStringLiteral("session_id"), QStringLiteral("S") },
                { QStringLiteral("engagement_time_msec"), qint64(60000) } });
        const QByteArray body = MeasurementRequest::body({ beat }, std::nullopt, {});
        QVERIFY(body.contains("\"engagement_time_msec\":60000"));
        QVERIFY(!body.contains("60000."));
    }

    void valuesAreKeptWithinTheCollectorsLimits()
    {
        QJsonObject params;
        for (int i = 0; i < 30; ++i)
            params.insert(QStringLiteral("p%1").arg(i, 2, 10, QLatin1Char('0')), i);
        params.insert(QStringLiteral("session_id"), QStringLiteral("S"));
        params.insert(QStringLiteral("engagement_time_msec"), 5);
        params.insert(QStringLiteral("a_label"), QString(150, QLatin1Char('x')));
        params.insert(QString(50, QLatin1Char('k')), QStringLiteral("long name"));
        params.insert(QStringLiteral("nested"),
            QJsonObject { { QStringLiteral("inner"), QString(120, QLatin1Char('y')) },
                { QStringLiteral("deeper"), QJsonObject { { QStringLiteral("z"), 1 } } } });
        const QJsonObject limited = MeasurementRequest::limitedParameters(params);
        QCOMPARE(limited.size(), 25);
        QVERIFY(limited.contains(QStringLiteral("session_id")));
        QVERIFY(limited.contains(QStringLiteral("engagement_time_msec")));
        QCOMPARE(limited.value(QStringLiteral("a_label")).toString().size(), 100);
        const QJsonObject nested = limited.value(QStringLiteral("nested")).toObject();
        QCOMPARE(nested.value(QStringLiteral("inner")).toString().size(), 100);
        QCOMPARE(nested.value(QStringLiteral("deeper")).toString(), QStringLiteral("{\"z\":1}"));
        for (const QString &key : limited.keys())
            QVERIFY(key.size() <= 40);

        const QJsonObject event = MeasurementRequest::eventObject(*record(QString(60, QLatin1Char('n')), params));
        QCOMPARE(event.value(QStringLiteral("name")).toString().size(), 40);
    }

    void clippingKeepsSurrogatePairsWhole()
    {
        const QString text
            = QString(99, QLatin1Char('a')) + QString::fromUtf8("\xF0\x9F\x98\x80") + QStringLiteral("b");
        QCOMPARE(MeasurementRequest::clipped(text, 100), QString(99, QLatin1Char('a')));
        QCOMPARE(MeasurementRequest::clipped(QStringLiteral("short"), 100), QStringLiteral("short"));
    }

    void bodyStaysUnderItsSizeLimit()
    {
        // 40 events with 25 long (escaped) values each would be far over the limit.
        Analytics::Batch batch;
        for (int e = 0; e < 40; ++e) {
            QJsonObject params;
            for (int p = 0; p < 25; ++p)
                params.insert(QStringLiteral("p%1").arg(p), QString(100, QChar(0x01)));
            batch << record(QStringLiteral("e%1").arg(e), params);
        }
        qsizetype carried = 0;
        const QByteArray body = MeasurementRequest::body(batch, QStringLiteral("C"), {}, &carried);
        QVERIFY(body.size() <= MeasurementRequest::maximumBodyBytes);
        QVERIFY(carried >= 1);
        QVERIFY(carried < MeasurementRequest::maximumEvents);
        const QJsonArray events = parse(body).value(QStringLiteral("events")).toArray();
        QCOMPARE(events.size(), carried);
        QCOMPARE(
            events.last().toObject().value(QStringLiteral("name")).toString(), QStringLiteral("e%1").arg(carried - 1));

        // A single event whose map values alone are too large still goes, without them.
        QJsonObject huge { { QStringLiteral("keep"), QStringLiteral("v") } };
        for (int p = 0; p < 24; ++p) {
            QJsonObject inner;
            for (int i = 0; i < 25; ++i)
                inner.insert(QStringLiteral("i%1").arg(i), QString(100, QChar(0x01)));
            huge.insert(QStringLiteral("m%1").arg(p), inner);
        }
        const QByteArray single
            = MeasurementRequest::body({ record(QStringLiteral("big"), huge) }, std::nullopt, {}, &carried);
        QCOMPARE(carried, 1);
        QVERIFY(single.size() <= MeasurementRequest::maximumBodyBytes);
        QCOMPARE(parse(single)
                     .value(QStringLiteral("events"))
                     .toArray()
                     .at(0)
                     .toObject()
                     .value(QStringLiteral("params"))
                     .toObject(),
            (QJsonObject { { QStringLiteral("keep"), QStringLiteral("v") } }));
    }

    void atMostTwentyFiveEventsPerBody()
    {
        Analytics::Batch batch;
        for (int e = 0; e < 30; ++e)
            batch << record(QStringLiteral("e"), {});
        qsizetype carried = 0;
        const QByteArray body = MeasurementRequest::body(batch, std::nullopt, {}, &carried);
        QCOMPARE(carried, 25);
        QCOMPARE(parse(body).value(QStringLiteral("events")).toArray().size(), 25);
    }
};

QTEST_GUILESS_MAIN(MeasurementRequestTest)
#include "tst_measurementrequest.moc"
