#include "TestHome.h"

#include <platform/KSTLogManager.h>
#include <platform/UserDefaults.h>

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
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

    // A settings file is read whole, so one past the limit is moved aside unread.
    void aSettingsFileTooLargeToReadIsMovedAside_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("grownAfterOpening");
        QTest::addColumn<bool>("movedAside");
        QTest::newRow("at the limit") << UserDefaults::maxFileBytes << false << false;
        QTest::newRow("one byte over") << UserDefaults::maxFileBytes + 1 << false << true;
        QTest::newRow("grown past it by another program") << UserDefaults::maxFileBytes + 1 << true << true;
    }

    void aSettingsFileTooLargeToReadIsMovedAside()
    {
        QFETCH(qint64, size);
        QFETCH(bool, grownAfterOpening);
        QFETCH(bool, movedAside);
        TestHome home;
        const QString path = UserDefaults(QStringLiteral("large")).filePath();
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        const auto writeSettings = [&] {
            QByteArray content = "[General]\nkept=true\npadding=";
            content += QByteArray(size - content.size() - 1, 'x') + '\n';
            QFile file(path);
            return file.open(QIODevice::WriteOnly) && file.write(content) == size;
        };
        if (!grownAfterOpening)
            QVERIFY(writeSettings());
        UserDefaults suite(QStringLiteral("large"));
        suite.setValue(QStringLiteral("mine"), 1);
        if (grownAfterOpening)
            QVERIFY(writeSettings());
        QVERIFY(suite.synchronize());

        QCOMPARE(suite.contains(QStringLiteral("kept")), !movedAside);
        QCOMPARE(QFileInfo(path + QStringLiteral(".too-large")).size(), movedAside ? size : 0);
        QCOMPARE(QFileInfo(path).size() < size, movedAside);
        if (movedAside) // the store saves again, in a file of its own values
            QCOMPARE(UserDefaults(QStringLiteral("large")).value(QStringLiteral("mine")).toInt(), 1);
        QFile log(platform::KSTLogManager::singleton().logFilePath());
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(
            QString::fromUtf8(log.readAll()).contains(path + QStringLiteral(" holds %1 bytes").arg(size)), movedAside);
    }

    // Lines the reader cannot make sense of are dropped; the file is still saved.
    void aFileWithUnreadableLinesIsSavedWithoutThem()
    {
        TestHome home;
        const QString path = UserDefaults(QStringLiteral("damaged")).filePath();
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[General]\nkept=1\n[Unclosed\n");
        file.close();
        UserDefaults suite(QStringLiteral("damaged"));
        suite.setValue(QStringLiteral("mine"), 2);
        QVERIFY(suite.synchronize());
        QVERIFY(suite.synchronize());
        const UserDefaults again(QStringLiteral("damaged"));
        QCOMPARE(again.value(QStringLiteral("kept")).toInt(), 1);
        QCOMPARE(again.value(QStringLiteral("mine")).toInt(), 2);
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
    // The log outlives every test's home.
    QTemporaryDir logFolder;
    qputenv("PRISMORA_LOG_DIR", QFile::encodeName(logFolder.path()));
    UserDefaultsTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_userdefaults.moc"
