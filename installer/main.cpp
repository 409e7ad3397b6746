#include <installer/app/AppDelegate.h>
#include <installer/app/RootWindowController.h>
#include <installer/app/StartupProbe.h>
#include <installer/app/TerminationSignals.h>
#include <installer/pages/Storyboard.h>

#include <platform/UserDefaults.h>

#include <QApplication>

#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Prismora_Installer"));
    QApplication::setOrganizationName(QStringLiteral("Kestrum"));
    // Where the installer has always kept its settings.
    platform::UserDefaults::setFolderName(QStringLiteral("Prismora"));

    TerminationSignals terminationSignals;
    AppDelegate delegate;
    QApplication::setQuitOnLastWindowClosed(delegate.applicationShouldTerminateAfterLastWindowClosed());
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
    delegate.applicationDidFinishLaunching();

    std::unique_ptr<RootWindowController> window(Storyboard::instantiateInitialController());
    StartupProbe::watch(window.get());
    window->show();
    return app.exec();
}
