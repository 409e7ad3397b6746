#include "LaunchStep.h"

#include "Launcher.h"
#include "Product.h"

#include <installer/interface/LocalizedString.h>
#include <platform/KSTLogManager.h>
#include <platform/Scheduler.h>
#include <platform/Workspace.h>

#include <QFileInfo>
#include <QPointer>
#include <QUrl>

namespace {

void log(const QString &line)
{
    platform::KSTLogManager::writeInfoLog(line);
}

} // namespace

LaunchStep::LaunchStep(EventReporter report, QObject *parent)
    : QObject(parent)
    , m_report(std::move(report))
{
}

void LaunchStep::start()
{
    const QString application = Product::installedPath();
    log(QStringLiteral("DownLoader restart ") + application);
    if (!QFileInfo::exists(application)) {
        m_report(QStringLiteral("Start_Application_Failed"), QStringLiteral("appNotExit"));
        log(QStringLiteral("DownLoader restart bundle not exists"));
        Q_EMIT failed();
        return;
    }

    const QUrl page(localizedString(QStringLiteral("URL_Install_Complete")), QUrl::StrictMode);
    if (page.isValid() && !page.scheme().isEmpty())
        platform::Workspace::shared().openUrl(page);

    if (Launcher::launchApp(application)) {
        log(QStringLiteral("DownLoader restart success"));
        Q_EMIT launched();
        return;
    }
    startThroughWorkspace(application);
}

void LaunchStep::startThroughWorkspace(const QString &application)
{
    // The workspace may answer on any thread; the answer is handled on the main one.
    QPointer<LaunchStep> step(this);
    platform::Workspace::shared().openApplication(application, [step](const std::optional<QString> &error) {
        platform::Scheduler::shared().post([step, error] {
            if (!step)
                return;
            log(QStringLiteral("DownLoader restart failed macOS 10.15 result: ")
                + error.value_or(QStringLiteral("nil")));
            if (!error) {
                log(QStringLiteral("DownLoader restart macOS 10.15 success"));
                Q_EMIT step->launched();
                return;
            }
            log(QStringLiteral("DownLoader restart macOS 10.15 failed"));
            step->m_report(QStringLiteral("Start_Application_Failed"), *error);
            Q_EMIT step->failed();
        });
    });
}
