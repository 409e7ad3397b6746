#include "TestHome.h"

#include <mirakit/foundation/Notificated.h>
#include <mirakit/foundation/UserDefaultCodabled.h>
#include <mirakit/foundation/UserDefaulted.h>

#include <QDir>
#include <QProcess>
#include <QTest>

#include <cmath>

using mira::UserDefaultCodabled;
using mira::UserDefaulted;

namespace {
const QString sharedSuite = QStringLiteral("com.example.shared");

/// What the child copy of this program writes before the parent reads it back.
void writeInAnotherProcess()
{
    UserDefaulted<int>(QStringLiteral("count"), 0, sharedSuite).setWrappedValue(42);
    UserDefaulted<bool>(QStringLiteral("enabled"), false, sharedSuite).setWrappedValue(true);
    UserDefaulted<double>(QStringLiteral("ratio"), 0, sharedSuite).setWrappedValue(-2.5);
    UserDefaulted<QString>(QStringLiteral("name"), {}, sharedSuite).setWrappedValue(QStringLiteral("42"));
    UserDefaulted<QStringList>(QStringLiteral("one"), {}, sharedSuite).setWrappedValue({ QStringLiteral("only") });
    UserDefaultCodabled<QList<int>>(QStringLiteral("codable"), {}, sharedSuite).setWrappedValue({ 1, 2, 3 });
}
} // namespace

class DefaultsStoresTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { m_home = std::make_unique<TestHome>(); }
    void cleanup() { m_home.reset(); }

    void valuesWrittenByAnotherProcessKeepTheirType()
    {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DEFAULTS_CHILD_WRITE"), QStringLiteral("1"));
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForFinished(-1));
        QCOMPARE(child.exitCode(), 0);

        QCOMPARE(UserDefaulted<int>(QStringLiteral("count"), 0, sharedSuite).wrappedValue(), 42);
        QCOMPARE(UserDefaulted<bool>(QStringLiteral("enabled"), false, sharedSuite).wrappedValue(), true);
        QCOMPARE(UserDefaulted<double>(QStringLiteral("ratio"), 0, sharedSuite).wrappedValue(), -2.5);
        QCOMPARE(UserDefaulted<QString>(QStringLiteral("name"), {}, sharedSuite).wrappedValue(), QStringLiteral("42"));
        QCOMPARE(UserDefaulted<QStringList>(QStringLiteral("one"), {}, sharedSuite).wrappedValue(),
            QStringList { QStringLiteral("only") });
        QCOMPARE(UserDefaultCodabled<QList<int>>(QStringLiteral("codable"), {}, sharedSuite).wrappedValue(),
            (QList<int> { 1, 2, 3 }));
        // The settings folder follows the program that uses the library.
        QVERIFY(QFile::exists(m_home->filePath(QStringLiteral(".config/ExampleOrg/com.example.shared.conf"))));
    }

    void storedTextThatIsNotTheTypeReadsAsTheDefault_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("trailing junk") << QStringLiteral("42abc");
        QTest::newRow("out of int range") << QStringLiteral("99999999999");
        QTest::newRow("fraction") << QStringLiteral("4.5");
        QTest::newRow("empty") << QString();
        QTest::newRow("word") << QStringLiteral("true");
    }

    void storedTextThatIsNotTheTypeReadsAsTheDefault()
    {
        QFETCH(QString, stored);
        const QString path = m_home->filePath(QStringLiteral(".config/ExampleOrg/handwritten.conf"));
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[General]\nvalue=" + stored.toUtf8() + "\nflag=" + stored.toUtf8() + "\n");
        file.close();
        QCOMPARE(UserDefaulted<int>(QStringLiteral("value"), -7, QStringLiteral("handwritten")).wrappedValue(), -7);
        if (stored != u"true")
            QCOMPARE(
                UserDefaulted<bool>(QStringLiteral("flag"), true, QStringLiteral("handwritten")).wrappedValue(), true);
    }

    void suiteNamesWithPathComponentsUseTheStandardStore_data()
    {
        QTest::addColumn<QString>("suite");
        QTest::newRow("climbs out") << QStringLiteral("../../evil");
        QTest::newRow("empty") << QString();
    }

    void suiteNamesWithPathComponentsUseTheStandardStore()
    {
        QFETCH(QString, suite);
        UserDefaulted<int> value(QStringLiteral("k"), 0, suite);
        value.setWrappedValue(5);
        QCOMPARE(value.defaults().filePath(), platform::UserDefaults::standard().filePath());
        QCOMPARE(platform::UserDefaults::standard().value(QStringLiteral("k")).toInt(), 5);
        platform::UserDefaults::standard().removeObject(QStringLiteral("k"));
        QVERIFY(!QFile::exists(QDir::cleanPath(
            m_home->filePath(QStringLiteral(".config/ExampleOrg/")) + suite + QStringLiteral(".conf"))));
    }

    void codabledStoresBytesAndReadsNothingElse()
    {
        UserDefaultCodabled<QString> codable(QStringLiteral("token"), QStringLiteral("none"), sharedSuite);
        codable.setWrappedValue(QStringLiteral("abc"));
        QCOMPARE(codable.defaults().value(QStringLiteral("token")), QVariant(QByteArray("[\"abc\"]")));
        QCOMPARE(codable.wrappedValue(), QStringLiteral("abc"));

        UserDefaulted<QString>(QStringLiteral("plain"), {}, sharedSuite).setWrappedValue(QStringLiteral("[\"abc\"]"));
        QCOMPARE(
            UserDefaultCodabled<QString>(QStringLiteral("plain"), QStringLiteral("none"), sharedSuite).wrappedValue(),
            QStringLiteral("none"));

        UserDefaultCodabled<double> ratio(QStringLiteral("ratio"), 1.0, sharedSuite);
        ratio.setWrappedValue(0.25);
        ratio.setWrappedValue(std::nan(""));
        QVERIFY(!ratio.defaults().contains(QStringLiteral("ratio")));
    }

    void codabledBytesOfTheWrongShapeReadAsTheDefault_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("not JSON") << QByteArray("[42");
        QTest::newRow("empty array") << QByteArray("[]");
        QTest::newRow("object") << QByteArray("{\"v\":42}");
        QTest::newRow("text") << QByteArray("[\"42\"]");
        QTest::newRow("fraction") << QByteArray("[4.5]");
        QTest::newRow("beyond int") << QByteArray("[3000000000]");
        QTest::newRow("huge") << QByteArray("[1e300]");
        QTest::newRow("mixed array") << QByteArray("[42,\"x\"]");
        QTest::newRow("deep nesting") << QByteArray(100000, '[');
    }

    void codabledBytesOfTheWrongShapeReadAsTheDefault()
    {
        QFETCH(QByteArray, bytes);
        UserDefaultCodabled<int> number(QStringLiteral("n"), -1, sharedSuite);
        number.defaults().setValue(QStringLiteral("n"), bytes);
        QCOMPARE(number.wrappedValue(), -1);
    }

    void notificatedPostsEveryWriteWithTheValue()
    {
        const QString name = QStringLiteral("com.example.countChanged");
        QObject observer;
        QVariantList posted;
        platform::NotificationCenter::defaultCenter().addObserver(
            name, &observer, [&](const platform::Notification &n) { posted << n.value; });
        mira::Notificated<int> quiet(1, name);
        QVERIFY(posted.isEmpty());
        quiet.setWrappedValue(1);
        quiet.setWrappedValue(1);
        quiet.modify([](int &v) { v += 2; });
        QCOMPARE(posted, (QVariantList { 1, 1, 3 }));
        mira::Notificated<QString> loud(QStringLiteral("now"), name, true);
        QCOMPARE(posted.last(), QVariant(QStringLiteral("now")));
    }

private:
    std::unique_ptr<TestHome> m_home;
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("ExampleOrg"));
    if (qEnvironmentVariableIsSet("DEFAULTS_CHILD_WRITE")) {
        writeInAnotherProcess();
        return 0;
    }
    DefaultsStoresTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_defaultsstores.moc"
