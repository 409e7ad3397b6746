#include "Storyboard.h"

#include "LoadingViewController.h"
#include "ViewController.h"
#include <installer/app/RootWindowController.h>

#include "FailedViewController.h"
#include <installer/interface/LocalizedString.h>
#include <mirakit/MiraKit.h>

RootWindowController *Storyboard::instantiateInitialController()
{
    prepare();
    auto *window = new RootWindowController;
    window->setWindowTitle(localizedString(QStringLiteral("Window_Title")));
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
