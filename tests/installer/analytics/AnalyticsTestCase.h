#pragma once

#include "FakeTransport.h"

#include <installer/analytics/Analytics.h>
#include <platform/MachineIdentifier.h>
#include <platform/ManualScheduler.h>

#include <QFile>
#include <QObject>
#include <QTemporaryDir>

#include <memory>

/**
 * The analytics client as each test of it starts: reset, a fresh virtual
 * clock as the shared scheduler, a FakeTransport instead of the network, and
 * the machine id 0123456789abcdef0123456789abcdef read from a temporary
 * folder. Call startAnalytics() from init() and stopAnalytics() from cleanup().
 */
class AnalyticsTestCase : public QObject {
protected:
    std::unique_ptr<platform::ManualScheduler> m_scheduler;
    FakeTransport m_transport;
    QTemporaryDir m_dir;

    /// False when the machine id could not be written.
    bool startAnalytics()
    {
        m_scheduler = std::make_unique<platform::ManualScheduler>();
        platform::Scheduler::setShared(m_scheduler.get());
        Analytics::resetForTesting();
        m_transport = FakeTransport();
        Analytics::setTransport(&m_transport);
        QFile id(m_dir.filePath(QStringLiteral("machine-id")));
        if (!id.open(QIODevice::WriteOnly) || id.write("0123456789abcdef0123456789abcdef\n") < 0)
            return false;
        platform::MachineIdentifier::setIdFilePaths({ id.fileName() });
        return true;
    }

    void stopAnalytics()
    {
        Analytics::resetForTesting();
        Analytics::setTransport(nullptr);
        platform::Scheduler::setShared(nullptr);
        m_scheduler.reset();
        platform::MachineIdentifier::setIdFilePaths({});
    }
};
