#pragma once

#include <installer/install/DownLoader.h>
#include <installer/install/HostPlan.h>

#include <platform/KSTLogManager.h>
#include <platform/ManualScheduler.h>
#include <platform/NotificationCenter.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTest>

#include <array>

/**
 * What the downloader tests watch: the seven installer notifications (with the
 * shown byte count at every progress notification), the usage events, and the
 * main queue, run by a ManualScheduler.
 */
class InstallerHarness : public QObject {
public:
    struct Event {
        QString name, action, label;
    };

    InstallerHarness()
    {
        platform::Scheduler::setShared(&scheduler);
        const std::array names { InstallerNotification::downloaderProgress, InstallerNotification::downloaderFinished,
            InstallerNotification::downloaderFailed, InstallerNotification::installerFinish,
            InstallerNotification::installerFailed, InstallerNotification::launchedFinish,
            InstallerNotification::launchedFailed };
        for (const QString &name : names) {
            platform::NotificationCenter::defaultCenter().addObserver(
                name, this, [this](const platform::Notification &n) {
                    QVERIFY(QThread::currentThread() == QCoreApplication::instance()->thread());
                    QVERIFY(!n.object && n.userInfo.isEmpty());
                    posted << n.name;
                    if (n.name == InstallerNotification::downloaderProgress) {
                        const auto zip = DownLoader::shared().zip();
                        shown << (zip ? zip->currentSize.load() : -1);
                    }
                });
        }
        DownLoader::shared().setEventSink([this](const QString &name, const QString &action, const QString &label) {
            events.push_back({ name, action, label });
        });
    }

    ~InstallerHarness() override
    {
        DownLoader::shared().setEventSink({});
        platform::Scheduler::setShared(nullptr);
    }

    /// Runs the main queue until @p predicate holds: the worker threads need real time.
    template <typename Predicate> bool pump(Predicate predicate, int timeoutMs = 30000)
    {
        QDeadlineTimer deadline(timeoutMs);
        for (;;) {
            scheduler.runPending();
            if (predicate())
                return true;
            if (deadline.hasExpired())
                return false;
            QTest::qWait(2);
        }
    }

    int count(const QString &name) const { return int(posted.count(name)); }
    QStringList actions() const
    {
        QStringList list;
        for (const Event &event : events)
            list << event.action;
        return list;
    }

    static QString logText()
    {
        QFile file(platform::KSTLogManager::singleton().logFilePath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    /// Bases in role order that make attempt k use @p attempts[k] under the current language.
    static QString hostsForAttempts(const QStringList &attempts)
    {
        const QStringList markers { QStringLiteral("r0"), QStringLiteral("r1"), QStringLiteral("r2"),
            QStringLiteral("r3") };
        QStringList roles(4);
        for (int attempt = 0; attempt < 4; ++attempt) {
            const QString url = HostPlan::downloadURLString(HostPlan::preferredLanguage(), attempt, markers);
            const int role = url.mid(int(qstrlen("https://r")), 1).toInt();
            roles[role] = attempts.value(attempt);
        }
        return roles.join(QLatin1Char(','));
    }

    platform::ManualScheduler scheduler;
    QStringList posted;
    QList<std::int64_t> shown;
    std::vector<Event> events;
};
