#include "Storyboard.h"

#include "FailedViewController.h"
#include "LoadingViewController.h"
#include "ViewController.h"
#include <installer/app/RootWindowController.h>
#include <installer/interface/LocalizedString.h>
#include <mirakit/MiraKit.h>

namespace {

void showLoading(RootWindowController *window, DownloadType type)
{
    auto *loading = new LoadingViewController;
    loading->setDownType(type);
    window->setContentViewController(loading);
}

/// Answers what @p page reports with the page that follows it in @p window.
void follow(RootWindowController *window, QWidget *page)
{
    // The connections end with the page, which the window deletes when it shows the next one.
    if (auto *welcome = qobject_cast<ViewController *>(page)) {
        QObject::connect(
            welcome, &ViewController::installConfirmed, window, [window] { showLoading(window, DownloadType::first); });
    } else if (auto *loading = qobject_cast<LoadingViewController *>(page)) {
        QObject::connect(loading, &LoadingViewController::installationFailed, window,
            [window](const QString &step, FailedReason reason, const QString &fullFolder) {
                auto *failed = new FailedViewController;
                failed->setStep(step);
                failed->setReason(reason);
                failed->setFullFolder(fullFolder);
                window->setContentViewController(failed);
            });
    } else if (auto *failed = qobject_cast<FailedViewController *>(page)) {
        QObject::connect(failed, &FailedViewController::retryRequested, window,
            [window] { showLoading(window, DownloadType::retry); });
    }
}

} // namespace

RootWindowController *Storyboard::instantiateInitialController()
{
    prepare();
    auto *window = new RootWindowController;
    window->setWindowTitle(localizedString(QStringLiteral("Window_Title")));
    QObject::connect(window, &RootWindowController::contentViewControllerChanged, window,
        [window](QWidget *page) { follow(window, page); });
    window->setContentViewController(instantiateController(QStringLiteral("welcome")));
    return window;
}

QWidget *Storyboard::instantiateController(const QString &identifier)
{
    prepare();
    if (identifier == QLatin1String("welcome"))
        return new ViewController;
    if (identifier == QLatin1String("loading"))
        return new LoadingViewController;
    if (identifier == QLatin1String("failed"))
        return new FailedViewController;
    return nullptr;
}

void Storyboard::prepare()
{
    static const bool prepared = [] {
        mira::setLocalizedStringProvider([](const QString &key) { return localizedString(key); });
        return true;
    }();
    Q_UNUSED(prepared);
}
