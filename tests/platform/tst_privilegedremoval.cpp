#include <platform/PrivilegedRemoval.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

using platform::PrivilegedRemoval;

class TestPrivilegedRemoval : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // A stand-in authorisation agent on PATH: runs its arguments, or refuses like a dismissed prompt.
        QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("bin"))));
        QFile agent(m_dir.filePath(QStringLiteral("bin/pkexec")));
        QVERIFY(agent.open(QIODevice::WriteOnly));
        agent.write("#!/bin/sh\n"
                    "printf '%s\\n' \"$@\" > \"$PKEXEC_ARGUMENTS\"\n"
                    "[ -n \"$PKEXEC_ANSWER\" ] && exit \"$PKEXEC_ANSWER\"\n"
                    "exec \"$@\"\n");
        agent.close();
        agent.setPermissions(agent.permissions() | QFileDevice::ExeOwner);
        // Programs are never looked up through PATH: a planted "pkexec" there is not run.
        qputenv("PATH", QFile::encodeName(m_dir.filePath(QStringLiteral("bin"))) + ':' + qgetenv("PATH"));
        qputenv("PKEXEC_ARGUMENTS", QFile::encodeName(m_dir.filePath(QStringLiteral("arguments"))));
    }

    void init() { qunsetenv("PKEXEC_ANSWER"); }

    void buildsAnArgumentVectorOfAbsolutePrograms()
    {
        QCOMPARE(PrivilegedRemoval::shared().program(), QStringLiteral("/usr/bin/pkexec"));
        const QStringList arguments = PrivilegedRemoval::arguments(QStringLiteral("/Applications/Prismora.app"));
        QVERIFY(arguments.first() == QLatin1String("/usr/bin/rm") || arguments.first() == QLatin1String("/bin/rm"));
        QCOMPARE(arguments.mid(1), (QStringList { "-rf", "--", "/Applications/Prismora.app" }));
        QVERIFY(PrivilegedRemoval(QStringLiteral("pkexec")).remove(m_dir.filePath(QStringLiteral("x"))));
    }

    void cancelEndsAPendingRequest()
    {
        QFile slow(m_dir.filePath(QStringLiteral("bin/slow-agent")));
        QVERIFY(slow.open(QIODevice::WriteOnly));
        const QString started = m_dir.filePath(QStringLiteral("slow-started"));
        slow.write("#!/bin/sh\ntouch '" + QFile::encodeName(started) + "'\nexec sleep 30\n");
        slow.close();
        slow.setPermissions(slow.permissions() | QFileDevice::ExeOwner);
        PrivilegedRemoval runner(slow.fileName());
        const QString target = m_dir.filePath(QStringLiteral("Waiting.app"));
        QVERIFY(QDir().mkpath(target));
        std::optional<QString> answer;
        std::thread waiting([&] { answer = runner.remove(target); });
        QTRY_VERIFY(QFile::exists(started));
        runner.cancel();
        waiting.join();
        QCOMPARE(answer.value_or(QString()), QStringLiteral("cancelled"));
        QVERIFY(QFileInfo::exists(target));
    }

    void removesAPathThatAShellWouldMisread()
    {
        const QString target = m_dir.filePath(QStringLiteral("it's \"odd\" $(touch pwned) -x.app"));
        QVERIFY(QDir().mkpath(target + QStringLiteral("/Contents")));
        QVERIFY(!agent().remove(target));
        QVERIFY(!QFileInfo::exists(target));
        QVERIFY(!QFile::exists(QStringLiteral("pwned")));
        QFile arguments(m_dir.filePath(QStringLiteral("arguments")));
        QVERIFY(arguments.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(arguments.readAll()),
            PrivilegedRemoval::arguments(target).join(QLatin1Char('\n')) + QLatin1Char('\n'));
    }

    void reportsADismissedPrompt_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("error");
        QTest::newRow("dismissed") << QByteArray("126") << QStringLiteral("the authorisation request was dismissed");
        QTest::newRow("not authorised") << QByteArray("127") << QStringLiteral("not authorised");
    }

    void reportsADismissedPrompt()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QString, error);
        const QString target = m_dir.filePath(QStringLiteral("Kept.app"));
        QVERIFY(QDir().mkpath(target));
        qputenv("PKEXEC_ANSWER", answer);
        QCOMPARE(agent().remove(target).value_or(QString()), error);
        QVERIFY(QFileInfo::exists(target));
    }

    void neverRemovesTheRootOrARelativePath()
    {
        QFile::remove(m_dir.filePath(QStringLiteral("arguments")));
        QVERIFY(agent().remove(QStringLiteral("/")));
        QVERIFY(agent().remove(QStringLiteral("/usr/..")));
        QVERIFY(agent().remove(QStringLiteral("Prismora.app")));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("arguments")))); // the agent was never asked
    }

    void aReplacementRunnerIsUsed()
    {
        struct Fake : PrivilegedRemoval {
            std::optional<QString> remove(const QString &path) override
            {
                removed << path;
                return QStringLiteral("cancelled");
            }
            QStringList removed;
        } fake;
        PrivilegedRemoval::setShared(&fake);
        QCOMPARE(PrivilegedRemoval::shared().remove(QStringLiteral("/x.app")).value_or(QString()),
            QStringLiteral("cancelled"));
        PrivilegedRemoval::setShared(nullptr);
        QCOMPARE(fake.removed, QStringList { QStringLiteral("/x.app") });
        QVERIFY(&PrivilegedRemoval::shared() != &fake);
    }

private:
    PrivilegedRemoval &agent()
    {
        static PrivilegedRemoval runner(m_dir.filePath(QStringLiteral("bin/pkexec")));
        return runner;
    }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestPrivilegedRemoval)
#include "tst_privilegedremoval.moc"
