#include <platform/RunningApplications.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using platform::RunningApplications;

class TestRunningApplications : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        m_identifier = QStringLiteral("com.kestrum.prismora.test%1").arg(QCoreApplication::applicationPid());
        m_bundle = m_dir.filePath(QStringLiteral("Prismora Test.app"));
        QVERIFY(QDir().mkpath(m_bundle + QStringLiteral("/Contents/MacOS")));
        QFile plist(m_bundle + QStringLiteral("/Contents/Info.plist"));
        QVERIFY(plist.open(QIODevice::WriteOnly));
        plist.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                                   "<key>CFBundleIdentifier</key><string>%1</string>"
                                   "<key>CFBundleExecutable</key><string>Prismora</string></dict></plist>\n")
                        .arg(m_identifier)
                        .toUtf8());
        plist.close();
        // Runs until asked to quit, at most a minute; says when it has started and when it was asked.
        // It waits in a forked subshell, which looks exactly like the program itself.
        QFile script(m_bundle + QStringLiteral("/Contents/MacOS/Prismora"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n"
                     "( i=0; while [ $i -lt 600 ]; do sleep 0.1; i=$((i+1)); done ) &\n"
                     "child=$!\n"
                     "trap 'echo asked > \"$1.term\"; kill $child; exit 0' TERM\n"
                     "echo running > \"$1\"\n"
                     "wait $child\n");
        script.close();
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    }

    void findsTheEnclosingBundle()
    {
        QCOMPARE(RunningApplications::enclosingBundle(m_bundle + QStringLiteral("/Contents/MacOS/Prismora")), m_bundle);
        QCOMPARE(RunningApplications::enclosingBundle(QStringLiteral("/usr/bin/sh")), QString());
        QCOMPARE(RunningApplications::enclosingBundle(m_dir.filePath(QStringLiteral("Fake.app/x"))), QString());
    }

    void asksARunningBundleToQuit()
    {
        const QString marker = m_dir.filePath(QStringLiteral("marker"));
        QProcess process;
        process.start(m_bundle + QStringLiteral("/Contents/MacOS/Prismora"), { marker });
        QVERIFY(process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 10000);

        const auto running = RunningApplications::runningApplicationsWithBundleIdentifier(m_identifier);
        QCOMPARE(running.size(), 1);
        QCOMPARE(running.first().processIdentifier, process.processId());
        QCOMPARE(running.first().bundlePath, m_bundle);
        QCOMPARE(RunningApplications::terminateApplications(QStringLiteral("com.kestrum.other")), 0);
        QCOMPARE(process.state(), QProcess::Running);

        QCOMPARE(RunningApplications::terminateApplications(m_identifier), 1);
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit); // it quit by itself, politely
        QVERIFY(QFile::exists(marker + QStringLiteral(".term")));
        QTRY_VERIFY_WITH_TIMEOUT(
            RunningApplications::runningApplicationsWithBundleIdentifier(m_identifier).isEmpty(), 10000);
    }

private:
    QTemporaryDir m_dir;
    QString m_bundle;
    QString m_identifier;
};

QTEST_GUILESS_MAIN(TestRunningApplications)
#include "tst_runningapplications.moc"
