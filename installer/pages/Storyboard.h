#pragma once

#include <QString>

class QWidget;
class RootWindowController;

/**
 * Creates the installer's window and pages by identifier, and moves the
 * window from page to page.
 *
 * | Identifier | Page |
 * |---|---|
 * | "welcome" | ViewController, the window's first content |
 * | "loading" | LoadingViewController, downloading with DownloadType::first |
 * | "failed" | FailedViewController |
 *
 * Pages are laid out in Qt Designer files and set up completely on
 * creation; the caller makes them a window's content.
 *
 * No page knows another: each reports through a typed signal what happened,
 * and the window made by instantiateInitialController() answers with the
 * page that follows, whichever way the reporting page became its content:
 *
 * | Reported | Next page |
 * |---|---|
 * | ViewController::installConfirmed() | "loading", DownloadType::first |
 * | LoadingViewController::installationFailed() | "failed", with the step, reason and full folder reported |
 * | FailedViewController::retryRequested() | "loading", DownloadType::retry |
 *
 * @code
 * std::unique_ptr<RootWindowController> window(Storyboard::instantiateInitialController());
 * window->show(); // the welcome page; Install leads on to the progress page
 * @endcode
 */
class Storyboard {
public:
    /// The main window, titled and showing the welcome page (not yet shown),
    /// that follows its pages as the table above says.
    static RootWindowController *instantiateInitialController();
    /// A new page for @p identifier, or nullptr when there is none by that name.
    static QWidget *instantiateController(const QString &identifier);

private:
    /// Makes the interface texts available to MiraKit's controls; once per process.
    static void prepare();
};
