#include "CrashingChild.h"

#include <mirakit/foundation/StringDigests.h>

#include <QRegularExpression>
#include <QTest>

using mira::MD5EncryptType;

class StringDigestsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void md5Forms_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<MD5EncryptType>("type");
        QTest::addColumn<QString>("expected");
        const QString abc = QStringLiteral("abc");
        QTest::newRow("abc lowercase32") << abc << MD5EncryptType::lowercase32
                                         << QStringLiteral("900150983cd24fb0d6963f7d28e17f72");
        QTest::newRow("abc uppercase32") << abc << MD5EncryptType::uppercase32
                                         << QStringLiteral("900150983CD24FB0D6963F7D28E17F72");
        QTest::newRow("abc lowercase16 keeps 17 digits")
            << abc << MD5EncryptType::lowercase16 << QStringLiteral("3cd24fb0d6963f7d2");
        QTest::newRow("abc uppercase16 keeps 17 digits")
            << abc << MD5EncryptType::uppercase16 << QStringLiteral("3CD24FB0D6963F7D2");
        QTest::newRow("empty") << QString() << MD5EncryptType::lowercase32
                               << QStringLiteral("d41d8cd98f00b204e9800998ecf8427e");
        QTest::newRow("non-ASCII hashes UTF-8")
            << QStringLiteral("é") << MD5EncryptType::lowercase32 << QStringLiteral("66ddcd97cfdeabb2f6fb8a999b4bc76f");
    }

    void md5Forms()
    {
        QFETCH(QString, text);
        QFETCH(MD5EncryptType, type);
        QFETCH(QString, expected);
        QCOMPARE(mira::encryptMD5(text, type), expected);
    }

    void sha1Vectors_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("abc") << QStringLiteral("abc") << QStringLiteral("a9993e364706816aba3e25717850c26c9cd0d89d");
        QTest::newRow("empty") << QString() << QStringLiteral("da39a3ee5e6b4b0d3255bfef95601890afd80709");
    }

    void sha1Vectors()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(mira::sha1(text), expected);
    }

    void textThatIsNotUtf8IsReturnedUnchanged()
    {
        const QString lone = QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b");
        QCOMPARE(mira::encryptMD5(lone, MD5EncryptType::uppercase16), lone);
        QCOMPARE(mira::sha1(lone), lone);
    }

    void randomTextUsesItsAlphabet_data()
    {
        QTest::addColumn<int>("length");
        QTest::newRow("zero") << 0;
        QTest::newRow("eight") << 8;
        QTest::newRow("long") << 4096;
    }

    void randomTextUsesItsAlphabet()
    {
        QFETCH(int, length);
        const QString text = mira::random(length);
        QCOMPARE(text.size(), length);
        QVERIFY(QRegularExpression(QStringLiteral("^[a-zA-Z0-9]*$")).match(text).hasMatch());
    }

    void randomNumberNeverStartsWithZero()
    {
        const QRegularExpression digits(QStringLiteral("^[1-9][0-9]{0,5}$"));
        for (int i = 0; i < 500; ++i) {
            const QString number = mira::randomNumberString(6);
            QVERIFY2(digits.match(number).hasMatch(), qPrintable(number));
        }
        QVERIFY(QRegularExpression(QStringLiteral("^[1-9]$")).match(mira::randomNumberString(1)).hasMatch());
    }

    void badLengthsStopTheProcess_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("message");
        QTest::newRow("random(-1)") << QStringLiteral("random:-1") << QStringLiteral("length -1 is negative");
        QTest::newRow("randomNumberString(-5)")
            << QStringLiteral("number:-5") << QStringLiteral("length -5 is less than 1");
        QTest::newRow("randomNumberString(0) would never end")
            << QStringLiteral("number:0") << QStringLiteral("length 0 is less than 1");
    }

    void badLengthsStopTheProcess()
    {
        QFETCH(QString, call);
        QFETCH(QString, message);
        const std::optional<QByteArray> error = crashingChildError(QStringLiteral("DIGEST_FATAL_CALL"), call);
        QVERIFY(error);
        QVERIFY2(error->contains(message.toUtf8()), qPrintable(message));
    }
};

int main(int argc, char **argv)
{
    // The process-stopping checks run in a child copy of this program.
    const QString call = qEnvironmentVariable("DIGEST_FATAL_CALL");
    if (!call.isEmpty()) {
        const qsizetype length = call.section(u':', 1).toLongLong();
        call.startsWith(u"random") ? mira::random(length) : mira::randomNumberString(length);
        return 0;
    }
    QCoreApplication app(argc, argv);
    StringDigestsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_stringdigests.moc"
