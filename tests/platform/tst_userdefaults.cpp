#include "TestHome.h"

#include <platform/UserDefaults.h>

#include <QFileInfo>
#include <QScopeGuard>
#include <QTest>

using platform::UserDefaults;

class UserDefaultsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void valuesPersistPerSuite()
    {
        TestHome home;
        {
            UserDefaults suite(QStringLiteral("com.example.one"));
            suite.setValue(QStringLiteral("AppleTextDirection"), true);
            suite.setValue(QStringLiteral("name"), QStringLiteral("Prismora"));
            QVERIFY(suite.synchronize());
            QVERIFY(suite.filePath().startsWith(home.path()));
        }
        UserDefaults again(QStringLiteral("com.example.one"));
        QVERIFY(again.boolValue(QStringLiteral("AppleTextDirection")));
        QCOMPARE(again.value(QStringLiteral("name")).toString(), QStringLiteral("Prismora"));
        UserDefaults other(QStringLiteral("com.example.two"));
        QVERIFY(!other.contains(QStringLiteral("name")));
        QVERIFY(!other.boolValue(QStringLiteral("AppleTextDirection")));
    }

    void removedKeysAreAbsent()
    {
        TestHome home;
        UserDefaults suite(QStringLiteral("remove"));
        suite.setValue(QStringLiteral("k"), 1);
        suite.removeObject(QStringLiteral("k"));
        suite.removeObject(QStringLiteral("never-there"));
        QVERIFY(suite.synchronize());
        QVERIFY(!suite.contains(QStringLiteral("k")));
        QVERIFY(!suite.value(QStringLiteral("k")).isValid());
    }

    void suiteNamesThatAreNotPlainFileNamesOpenTheStandardStore_data()
    {
        QTest::addColumn<QString>("suite");
        QTest::addColumn<bool>("valid");
        QTest::newRow("reverse domain") << QStringLiteral("com.example.shared") << true;
        QTest::newRow("climbs out") << QStringLiteral("../../../.bashrc") << false;
        QTest::newRow("absolute") << QStringLiteral("/etc/evil") << false;
        QTest::newRow("sub-folder") << QStringLiteral("a/b") << false;
        QTest::newRow("backslash") << QStringLiteral("..\\x") << false;
        QTest::newRow("dot") << QStringLiteral(".") << false;
        QTest::newRow("NUL") << QStringLiteral("a") + QChar(0) + QStringLiteral("b") << false;
        QTest::newRow("too long") << QString(300, u'x') << false;
        QTest::newRow("empty") << QString() << false;
    }

    void suiteNamesThatAreNotPlainFileNamesOpenTheStandardStore()
    {
        QFETCH(QString, suite);
        QFETCH(bool, valid);
        TestHome home;
        QCOMPARE(UserDefaults::isValidSuiteName(suite), valid);
        UserDefaults defaults(suite);
        const QString folder = home.filePath(QStringLiteral(".config/ExampleOrg/"));
        QCOMPARE(QFileInfo(defaults.filePath()).absolutePath() + u'/', folder);
        if (!valid)
            QCOMPARE(defaults.filePath(), folder + UserDefaults::standard().suiteName() + QStringLiteral(".conf"));
    }

    // A program keeps its existing folder; a name that would leave the configuration folder is refused.
    void aChosenFolderNameKeepsExistingSettingsWhereTheyAre()
    {
        TestHome home;
        const auto restore = qScopeGuard([] { UserDefaults::setFolderName(QString()); });
        UserDefaults::setFolderName(QStringLiteral("Prismora"));
        QCOMPARE(UserDefaults(QStringLiteral("suite")).filePath(),
            home.filePath(QStringLiteral(".config/Prismora/suite.conf")));
        UserDefaults::setFolderName(QStringLiteral(".."));
        QCOMPARE(UserDefaults(QStringLiteral("suite")).filePath(),
            home.filePath(QStringLiteral(".config/ExampleOrg/suite.conf")));
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The settings folder is named after the program's organisation.
    QCoreApplication::setOrganizationName(QStringLiteral("ExampleOrg"));
    UserDefaultsTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_userdefaults.moc"
