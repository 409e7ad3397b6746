#include "AppDelegate.h"

#include <installer/analytics/SoftWare.h>

#include <installer/analytics/AnalyticsSteps.h>
#include <installer/install/InstallTransaction.h>
#include <installer/install/WorkFolder.h>
#include <platform/Folders.h>
#include <platform/KSTLogManager.h>

#include <QCoreApplication>
#include <QLocale>

using platform::KSTLogManager;

AppDelegate::AppDelegate(QObject *parent)
    : QObject(parent)
{
}

void AppDelegate::applicationDidFinishLaunching()
{
    writeApplicationInfo();
    // A run killed earlier may have left a swap half done or files behind.
    InstallTransaction::recover(platform::Folders::applications());
    WorkFolder::sweepStale();
    AnalyticsSteps::startup();
}

void AppDelegate::applicationWillTerminate()
{
    AnalyticsSteps::termination();
}

namespace {
bool terminating = false;
}

void AppDelegate::terminate()
{
    terminating = true;
    QCoreApplication::quit();
}

bool AppDelegate::isTerminating()
{
    return terminating;
}

void AppDelegate::writeApplicationInfo()
{
    KSTLogManager::singleton();
    for (const QString &line : applicationInfoLines(documentsFreeSpace()))
        KSTLogManager::writeInfoLog(line);
}

QStringList AppDelegate::applicationInfoLines(std::optional<qint64> freeBytes)
{
    QStringList lines {
        QStringLiteral("------------------AppInfoBegin------------------"),
        QStringLiteral("appName: ") + SoftWare::appName(),
        QStringLiteral("appVersion: ") + SoftWare::appVersion(),
        QStringLiteral("buildTime: 20250310"),
        QStringLiteral("trackVersion: 1.0.0.6"),
        QStringLiteral("VersionTrack: ") + SoftWare::versionTrack(),
        QStringLiteral("LinkTrack: ") + SoftWare::linkTrack(),
    };
    if (freeBytes)
        lines << QStringLiteral("Free space: [%1 bytes] = [%2 GB]").arg(*freeBytes).arg(gigabytesText(*freeBytes));
    else
        lines << QStringLiteral("Free space: failed");
    lines << QStringLiteral("------------------AppInfoEnd------------------");
    return lines;
}

QString AppDelegate::gigabytesText(qint64 bytes)
{
    QString text = QLocale::c().toString(double(bytes) / 1e9, 'f', 2);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text;
}

std::optional<qint64> AppDelegate::documentsFreeSpace()
{
    const auto documents = platform::Folders::documents();
    if (!documents)
        return std::nullopt;
    return platform::Folders::freeSpace(*documents);
}
