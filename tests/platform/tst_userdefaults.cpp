#include "TestHome.h"

#include <platform/UserDefaults.h>

#include <QTest>

using platform::UserDefaults;

class UserDefaultsTest : public QObject
{
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
};

QTEST_GUILESS_MAIN(UserDefaultsTest)
#include "tst_userdefaults.moc"
