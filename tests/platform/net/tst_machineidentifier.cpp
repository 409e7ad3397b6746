#include <platform/MachineIdentifier.h>

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using platform::MachineIdentifier;

class MachineIdentifierTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    QString writeIdFile(const QString &name, const QByteArray &contents)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return {};
        file.write(contents);
        return path;
    }

private Q_SLOTS:
    void cleanup() { MachineIdentifier::setIdFilePaths({}); }

    void derivedIdentifierIsStableUuidTextAndHidesTheId()
    {
        const QByteArray machineId = "0123456789abcdef0123456789abcdef";
        const auto first = MachineIdentifier::derive(machineId, MachineIdentifier::defaultKey());
        QVERIFY(first);
        QVERIFY(QRegularExpression(QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"))
                    .match(*first)
                    .hasMatch());
        QCOMPARE(MachineIdentifier::derive(machineId + "\n", MachineIdentifier::defaultKey()), first);
        QVERIFY(
            !QString(*first).remove(QLatin1Char('-')).contains(QString::fromLatin1(machineId), Qt::CaseInsensitive));
        QVERIFY(MachineIdentifier::derive(machineId, "another key") != first);
        QVERIFY(
            MachineIdentifier::derive("fedcba9876543210fedcba9876543210", MachineIdentifier::defaultKey()) != first);
    }

    void unusableIdsGiveNothing_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("blank") << QByteArray(" \n");
        QTest::newRow("uninitialized") << QByteArray("uninitialized\n");
    }

    void unusableIdsGiveNothing()
    {
        QFETCH(QByteArray, contents);
        QVERIFY(!MachineIdentifier::derive(contents, MachineIdentifier::defaultKey()));
        MachineIdentifier::setIdFilePaths({ writeIdFile(QStringLiteral("bad-id"), contents) });
        QVERIFY(!MachineIdentifier::stable());
    }

    void stableReadsTheFirstUsableFile()
    {
        const QString missing = m_dir.filePath(QStringLiteral("missing"));
        const QString empty = writeIdFile(QStringLiteral("empty"), "");
        const QString good = writeIdFile(QStringLiteral("good"), "0123456789abcdef0123456789abcdef\nsecond line\n");
        const QString other = writeIdFile(QStringLiteral("other"), "ffffffffffffffffffffffffffffffff\n");
        MachineIdentifier::setIdFilePaths({ missing, empty, good, other });
        QCOMPARE(MachineIdentifier::stable(),
            MachineIdentifier::derive("0123456789abcdef0123456789abcdef", MachineIdentifier::defaultKey()));
        MachineIdentifier::setIdFilePaths({ missing });
        QVERIFY(!MachineIdentifier::stable());
    }

    void defaultsAreTheSystemFiles()
    {
        QCOMPARE(MachineIdentifier::idFilePaths(),
            (QStringList { QStringLiteral("/etc/machine-id"), QStringLiteral("/var/lib/dbus/machine-id") }));
        MachineIdentifier::setIdFilePaths({ QStringLiteral("/x") });
        QCOMPARE(MachineIdentifier::idFilePaths(), QStringList { QStringLiteral("/x") });
    }
};

QTEST_GUILESS_MAIN(MachineIdentifierTest)
#include "tst_machineidentifier.moc"
