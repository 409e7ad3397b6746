#include <mirakit/foundation/BoolExtensions.h>
#include <mirakit/foundation/DataExtensions.h>

#include <QTest>

class DataExtensionsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void xored_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("key repeats") << QByteArray("\x00\x00\x00\x00\x00", 5) << QStringLiteral("ab")
                                     << QByteArrayLiteral("ababa");
        QTest::newRow("key longer than data")
            << QByteArrayLiteral("AB") << QStringLiteral("  !!") << QByteArrayLiteral("ab");
        QTest::newRow("key as utf-8") << QByteArray("\x00\x00", 2) << QStringLiteral("é")
                                      << QByteArrayLiteral("\xC3\xA9");
        QTest::newRow("high bytes") << QByteArrayLiteral("\xFF\x80") << QStringLiteral("\x7F")
                                    << QByteArrayLiteral("\x80\xFF");
        QTest::newRow("empty data") << QByteArray() << QStringLiteral("key") << QByteArray();
        QTest::newRow("empty key leaves data") << QByteArrayLiteral("plain") << QString() << QByteArrayLiteral("plain");
    }
    void xored()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, key);
        QFETCH(QByteArray, expected);
        const QByteArray scrambled = mira::xored(data, key);
        QCOMPARE(scrambled, expected);
        QCOMPARE(mira::xored(scrambled, key), data);
    }

    void booleans()
    {
        QCOMPARE(mira::intValue(true), 1);
        QCOMPARE(mira::intValue(false), 0);
        QCOMPARE(mira::stringValue(true), QStringLiteral("true"));
        QCOMPARE(mira::stringValue(false), QStringLiteral("false"));
        static_assert(mira::intValue(true) == 1);
    }
};

QTEST_GUILESS_MAIN(DataExtensionsTest)
#include "tst_dataextensions.moc"
