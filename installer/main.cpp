#include <installer/session/AppDelegate.h>
#include <installer/session/RootWindowController.h>
#include <installer/session/Storyboard.h>
#include <installer/session/TerminationSignals.h>
#include <installer/session/StartupProbe.h>

#include <QApplication>

#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Prismora_Installer"));
    QApplication::setOrganizationName(QStringLiteral("Kestrum"));

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
