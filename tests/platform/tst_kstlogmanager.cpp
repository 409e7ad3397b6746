#include <platform/KSTLogManager.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <vector>

using platform::KSTLogManager;

class KSTLogManagerTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    QStringList messages() const
    {
        QFile file(KSTLogManager::singleton().logFilePath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList lines;
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (!line.isEmpty())
                lines << QString::fromUtf8(line).section(QLatin1Char(' '), 2); // drop date and time
        }
        return lines;
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("PRISMORA_LOG_DIR", QFile::encodeName(m_dir.path()));
        KSTLogManager::singleton();
        QCOMPARE(KSTLogManager::singleton().logFilePath(), m_dir.filePath(QStringLiteral("installer.log")));
    }

    void oneLinePerCallInCallOrder()
    {
        const int before = messages().size();
        KSTLogManager::writeInfoLog(QStringLiteral("------------------AppInfoBegin------------------"));
        KSTLogManager::writeInfoLog(QStringLiteral("appName: Prismora_Installer"));
        KSTLogManager::writeInfoLog(QStringLiteral("value with\nnewline"));
        const QStringList lines = messages().mid(before);
        QCOMPARE(lines,
            (QStringList { QStringLiteral("------------------AppInfoBegin------------------"),
                QStringLiteral("appName: Prismora_Installer"), QStringLiteral("value with\\nnewline") }));
    }

    void linesFromManyThreadsStayWholeAndOrderedPerThread()
    {
        const int before = messages().size();
        constexpr int threads = 4;
        constexpr int perThread = 500;
        std::vector<QThread *> workers;
        for (int t = 0; t < threads; ++t) {
            workers.push_back(QThread::create([t] {
                for (int i = 0; i < perThread; ++i)
                    KSTLogManager::writeInfoLog(QStringLiteral("thread %1 line %2").arg(t).arg(i));
            }));
            workers.back()->start();
        }
        for (QThread *worker : workers) {
            worker->wait();
            delete worker;
        }
        const QStringList lines = messages().mid(before);
        QCOMPARE(lines.size(), threads * perThread);
        std::vector<int> next(threads, 0);
        for (const QString &line : lines) {
            const QStringList parts = line.split(QLatin1Char(' '));
            QCOMPARE(parts.size(), 4);
            const int t = parts[1].toInt();
            QCOMPARE(parts[3].toInt(), next[size_t(t)]);
            ++next[size_t(t)];
        }
    }
};

QTEST_GUILESS_MAIN(KSTLogManagerTest)
#include "tst_kstlogmanager.moc"
