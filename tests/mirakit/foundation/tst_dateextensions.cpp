#include <mirakit/foundation/DateExtensions.h>

#include <QLocale>
#include <QTest>

#include <ctime>
#include <limits>

namespace {
QDateTime berlin(int y, int mo, int d, int h, int mi, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::LocalTime);
}
} // namespace

class DateExtensionsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        // A zone with daylight saving, so calendar arithmetic is visible.
        qputenv("TZ", "Europe/Berlin");
        tzset();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(berlin(2024, 7, 1, 12, 0).offsetFromUtc(), 7200);
    }

    void formatsPatterns_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expected");
        QTest::newRow("iso-like") << QStringLiteral("yyyy-MM-dd HH:mm:ss") << QStringLiteral("2024-03-05 14:07:09");
        QTest::newRow("unpadded") << QStringLiteral("y/M/d H:m:s") << QStringLiteral("2024/3/5 14:7:9");
        QTest::newRow("two-digit year") << QStringLiteral("yy") << QStringLiteral("24");
        QTest::newRow("month names") << QStringLiteral("MMM|MMMM") << QStringLiteral("Mar|March");
        QTest::newRow("weekday names") << QStringLiteral("E|EEEE") << QStringLiteral("Tue|Tuesday");
        QTest::newRow("twelve-hour clock") << QStringLiteral("h:mm a") << QStringLiteral("2:07 PM");
        QTest::newRow("other hour forms") << QStringLiteral("k K hh") << QStringLiteral("14 2 02");
        QTest::newRow("fraction") << QStringLiteral("ss.SSS|S|SSSS") << QStringLiteral("09.045|0|0450");
        QTest::newRow("day of year") << QStringLiteral("D") << QStringLiteral("65");
        QTest::newRow("offsets") << QStringLiteral("Z|ZZZZ|ZZZZZ|xxx|X")
                                 << QStringLiteral("+0100|GMT+01:00|+01:00|+01:00|+01");
        QTest::newRow("quoted literal") << QStringLiteral("yyyy'T'HH 'o''clock'") << QStringLiteral("2024T14 o'clock");
        QTest::newRow("lone doubled quote") << QStringLiteral("HH''mm") << QStringLiteral("14'07");
        QTest::newRow("unterminated quote") << QStringLiteral("HH 'rest") << QStringLiteral("14 rest");
        QTest::newRow("unknown letters copied") << QStringLiteral("qq yyyy") << QStringLiteral("qq 2024");
        QTest::newRow("era") << QStringLiteral("G") << QStringLiteral("AD");
        QTest::newRow("empty pattern") << QString() << QString();
    }
    void formatsPatterns()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        const QDateTime date(QDate(2024, 3, 5), QTime(14, 7, 9, 45), Qt::LocalTime);
        QCOMPARE(mira::dateToString(date, pattern), expected);
    }

    void appliesZoneAndLocaleOnlyWhenGiven()
    {
        const QDateTime date = QDateTime(QDate(2024, 1, 15), QTime(23, 30), Qt::UTC);
        const QString pattern = QStringLiteral("EEEE HH:mm");
        QCOMPARE(mira::dateToString(date, pattern), QStringLiteral("Tuesday 00:30"));
        QCOMPARE(mira::dateToString(date, pattern, QTimeZone(QByteArrayLiteral("Asia/Tokyo"))),
            QStringLiteral("Tuesday 08:30"));
        QCOMPARE(mira::dateToString(date, pattern, QTimeZone::utc(), QStringLiteral("de_DE")),
            QStringLiteral("Montag 23:30"));
        QCOMPARE(
            mira::dateToString(date, pattern, std::nullopt, QStringLiteral("fr_FR")), QStringLiteral("mardi 00:30"));
        QCOMPARE(mira::dateToString(QDateTime(), pattern), QString());
    }

    void formatsTimestamps_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("expected");
        QTest::newRow("epoch") << 0.0 << QStringLiteral("1970-01-01 01:00:00.000");
        QTest::newRow("fractional") << 1700000000.25 << QStringLiteral("2023-11-14 23:13:20.250");
        QTest::newRow("before the epoch") << -0.5 << QStringLiteral("1970-01-01 00:59:59.500");
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << QString();
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << QString();
        QTest::newRow("far beyond any calendar") << 1e300 << QString();
    }
    void formatsTimestamps()
    {
        QFETCH(double, seconds);
        QFETCH(QString, expected);
        QCOMPARE(mira::timestampToDataFormat(seconds, QStringLiteral("yyyy-MM-dd HH:mm:ss.SSS")), expected);
    }

    void hourBetween_data()
    {
        QTest::addColumn<QDateTime>("from");
        QTest::addColumn<QDateTime>("to");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("whole hours") << berlin(2024, 5, 1, 8, 0) << berlin(2024, 5, 1, 11, 59) << qint64(3);
        QTest::newRow("backwards") << berlin(2024, 5, 1, 11, 59) << berlin(2024, 5, 1, 8, 0) << qint64(-3);
        QTest::newRow("across spring forward") << berlin(2024, 3, 31, 0, 0) << berlin(2024, 3, 31, 12, 0) << qint64(11);
        QTest::newRow("under an hour") << berlin(2024, 5, 1, 8, 0) << berlin(2024, 5, 1, 8, 59) << qint64(0);
        QTest::newRow("invalid") << QDateTime() << berlin(2024, 5, 1, 8, 0) << qint64(0);
    }
    void hourBetween()
    {
        QFETCH(QDateTime, from);
        QFETCH(QDateTime, to);
        QFETCH(qint64, expected);
        QCOMPARE(mira::hourBetween(from, to), expected);
    }

    void readsComponentsInLocalTime()
    {
        const QDateTime utc(QDate(2023, 12, 31), QTime(23, 30, 15), Qt::UTC);
        QCOMPARE(mira::year(utc), 2024);
        QCOMPARE(mira::month(utc), 1);
        QCOMPARE(mira::day(utc), 1);
        QCOMPARE(mira::hour(utc), 0);
        QCOMPARE(mira::minute(utc), 30);
        QCOMPARE(mira::second(utc), 15);
        QCOMPARE(mira::year(QDateTime()), 0);
        QCOMPARE(mira::calendar().name(), QStringLiteral("Gregorian"));
    }

    void setsComponents_data()
    {
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<int>("which");
        QTest::addColumn<int>("value");
        QTest::addColumn<QDateTime>("expected");
        QTest::newRow("year") << berlin(2024, 2, 29, 10, 0) << 0 << 2025 << berlin(2025, 2, 28, 10, 0);
        QTest::newRow("month clamps the day") << berlin(2024, 1, 31, 10, 0) << 1 << 2 << berlin(2024, 2, 29, 10, 0);
        QTest::newRow("month does not wrap") << berlin(2024, 1, 15, 10, 0) << 1 << 14 << berlin(2025, 2, 15, 10, 0);
        QTest::newRow("month zero goes back") << berlin(2024, 3, 15, 10, 0) << 1 << 0 << berlin(2023, 12, 15, 10, 0);
        QTest::newRow("day does not wrap") << berlin(2024, 4, 10, 10, 0) << 2 << 31 << berlin(2024, 5, 1, 10, 0);
        QTest::newRow("day keeps wall time over dst")
            << berlin(2024, 3, 30, 12, 0) << 2 << 31 << berlin(2024, 3, 31, 12, 0);
        QTest::newRow("hour adds elapsed time over dst")
            << berlin(2024, 3, 31, 1, 0) << 3 << 3 << berlin(2024, 3, 31, 4, 0);
        QTest::newRow("hour past midnight") << berlin(2024, 6, 1, 22, 0) << 3 << 25 << berlin(2024, 6, 2, 1, 0);
        QTest::newRow("minute backwards") << berlin(2024, 6, 1, 0, 10) << 4 << -5 << berlin(2024, 5, 31, 23, 55);
        QTest::newRow("second") << berlin(2024, 6, 1, 0, 0, 30) << 5 << 90 << berlin(2024, 6, 1, 0, 1, 30);
        QTest::newRow("year beyond the calendar unchanged")
            << berlin(2024, 6, 1, 0, 0) << 0 << std::numeric_limits<int>::max() << berlin(2024, 6, 1, 0, 0);
        QTest::newRow("month beyond the calendar unchanged")
            << berlin(2024, 6, 1, 0, 0) << 1 << std::numeric_limits<int>::min() << berlin(2024, 6, 1, 0, 0);
    }
    void setsComponents()
    {
        QFETCH(QDateTime, start);
        QFETCH(int, which);
        QFETCH(int, value);
        QFETCH(QDateTime, expected);
        using Setter = void (*)(QDateTime &, int);
        const Setter setters[]
            = { mira::setYear, mira::setMonth, mira::setDay, mira::setHour, mira::setMinute, mira::setSecond };
        QDateTime date = start;
        setters[which](date, value);
        QCOMPARE(date, expected);
    }

    void setKeepsTheTimeSpec()
    {
        QDateTime utc(QDate(2024, 6, 1), QTime(10, 0), Qt::UTC);
        mira::setHour(utc, 15); // local 12:00 → 15:00
        QCOMPARE(utc.timeSpec(), Qt::UTC);
        QCOMPARE(utc, QDateTime(QDate(2024, 6, 1), QTime(13, 0), Qt::UTC));

        QDateTime offset(QDate(2024, 6, 1), QTime(10, 0), Qt::OffsetFromUTC, -3600);
        mira::setDay(offset, 2);
        QCOMPARE(offset.timeSpec(), Qt::OffsetFromUTC);
        QCOMPARE(offset.offsetFromUtc(), -3600);

        QDateTime invalid;
        mira::setYear(invalid, 2000);
        QVERIFY(!invalid.isValid());
    }
};

QTEST_GUILESS_MAIN(DateExtensionsTest)
#include "tst_dateextensions.moc"
