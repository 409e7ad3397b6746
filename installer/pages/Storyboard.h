#pragma once

#include <QString>

class QWidget;
class RootWindowController;

/**
 * Creates the installer's window and pages by identifier, the way the
 * pages hand the window to one another.
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
 * @code
 * auto *failed = qobject_cast<FailedViewController *>(Storyboard::instantiateController("failed"));
 * failed->setStep(QStringLiteral("download_result"));
 * root->setContentViewController(failed);
 * @endcode
 */
class Storyboard {
public:
    /// The main window, titled and showing the welcome page (not yet shown).
    static RootWindowController *instantiateInitialController();
    /// A new page for @p identifier, or nullptr when there is none by that name.
    static QWidget *instantiateController(const QString &identifier);

private:
    /// Makes the interface texts available to MiraKit's controls; once per process.
    static void prepare();
};
