#pragma once

#include <mirakit/mirakit_export.h>
#include <mirakit/windows/QZAlertSet.h>

#include <QObject>

#include <functional>
#include <memory>

class QAbstractButton;
class QLabel;

namespace mira {

class QZAlertPrivate;
class QZKeyWindow;

/**
 * A prompt built in code and shown as a critical sheet on a window: an icon,
 * a title, an introduction text, up to two buttons (cancel and confirm) and
 * a round close button, laid out from setting().
 *
 * @code
 * auto *alert = mira::QZAlert::alertWithTitle(tr("Quit the installation?"), tr("Prismora is not installed yet."));
 * alert->addCancelButton(new QPushButton(tr("Continue")));
 * alert->addConfirmButton(new QPushButton(tr("Quit")));
 * alert->beginSheetWithCancel({}, [] { qApp->quit(); });
 * @endcode
 *
 * The sheet ends with a return code: QZKeyWindow::returnCodeConfirm (1) from
 * the confirm button or Return, returnCodeCancel (0) from the cancel button,
 * and returnCodeClose (-1000) from the close button, Escape, endSheet() or
 * the class operations below. Buttons take the setting's buttonWidth ×
 * buttonHeight and grow only as far as their titles need, never cutting them
 * short: a long title or a large font makes the button, and if need be the
 * alert, larger.
 *
 * An alert belongs to its window(), which deletes itself (and the alert) once
 * the sheet has ended: hold it in a QPointer to use it later. An alert that
 * is never shown is discarded by deleting its window(). Assistive technology meets the sheet as a dialog named by
 * the title and described by the introduction text.
 */
class MIRAKIT_EXPORT QZAlert : public QObject {
    Q_OBJECT
public:
    /// Receives the return code once the sheet has ended.
    using Completion = std::function<void(int returnCode)>;
    using Action = std::function<void()>;

    /// The metrics every alert is laid out from; set to alignment 1 when first used.
    static QZAlertSet &setting();
    /// A new, empty alert (for showing a page with beginSheetViewController()).
    static QZAlert *create();
    /// A new alert with @p title (left out when empty) and the introduction @p info.
    static QZAlert *alertWithTitle(const QString &title, const QString &info);

    /// The application's active window, else its first shown main window,
    /// else its active modal window, else nullptr. A popup, a popover or a
    /// presented child window is never taken for the main window.
    static QWidget *mainWindow();
    /// The newest sheet shown on mainWindow(), or mainWindow() when it shows none.
    static QWidget *existedWindow();
    /// Ends the newest sheet on mainWindow() with QZKeyWindow::returnCodeClose.
    static void endAttachedAlert();
    /// Ends the newest sheet on mainWindow() with @p returnCode.
    static void endAttachedAlertWithCode(int returnCode);
    /// Ends, with returnCodeClose, the oldest sheet on mainWindow() whose window title is @p title
    /// (an alert's window takes the alert's title). An empty @p title ends nothing.
    static void endAlertByWindowTitle(const QString &title);
    /// Ends the sheet that shows @p controller with @p returnCode.
    static void endControllerSheet(QWidget *controller, int returnCode);

    ~QZAlert() override;

    QZKeyWindow *window() const;
    QAbstractButton *confirmButton() const;
    QAbstractButton *cancelButton() const;
    QLabel *titleLabel() const;
    /// The introduction text. Spelled as callers know it.
    QLabel *introlLabel() const;

    /// Adds @p button (taken over) as the confirm button: it ends the sheet with 1
    /// and is clicked by Return.
    void addConfirmButton(QAbstractButton *button);
    /// Adds @p button (taken over) as the cancel button: it ends the sheet with 0,
    /// or runs @p action instead when one is given.
    void addCancelButton(QAbstractButton *button, Action action = {});

    /// Shows the alert on existedWindow().
    void beginSheet();
    void beginSheetWithCompletion(Completion completion);
    /// Shows the alert on @p window (else on existedWindow()); @p completion
    /// receives the return code on the main queue once the sheet ends. With
    /// nowhere to show it, the alert is discarded and @p completion never runs.
    /// An alert already shown ignores this.
    void beginSheetInWindow(QWidget *window, Completion completion);
    /// Shows the alert; @p confirm runs when it ends with 1, @p cancel when it
    /// ends with 0, neither for any other code.
    void beginSheetWithCancel(Action cancel, Action confirm);

    /**
     * Shows the page @p controller (taken over) as the sheet's content on
     * @p window, else on mainWindow(), and returns true. Only one page of a
     * class is shown on a window at a time: while a sheet there shows a page
     * of exactly the same class, nothing is shown, the page and this alert are
     * deleted, and false is returned; the same happens when there is no
     * shown window to show it on. An alert already shown keeps its content
     * and deletes @p controller.
     */
    bool beginSheetViewController(QWidget *controller, QWidget *window = nullptr, Completion completionHandle = {});

    /// Ends the sheet with QZKeyWindow::returnCodeClose.
    void endSheet();
    void endSheetWithCode(int returnCode);

private:
    QZAlert();
    void layoutAlert();
    QWidget *buttonParent();
    void discard();

    std::unique_ptr<QZAlertPrivate> const d;
};

/// Shows the page @p controller (taken over) as a sheet through a new QZAlert,
/// as QZAlert::beginSheetViewController() does on mainWindow().
MIRAKIT_EXPORT bool beginSheetWithCompletion(QWidget *controller, QZAlert::Completion completion = {});
/// Ends the sheet that shows @p controller with QZKeyWindow::returnCodeClose.
MIRAKIT_EXPORT void endSheet(QWidget *controller);
/// Ends the sheet that shows @p controller with @p returnCode.
MIRAKIT_EXPORT void endSheetWithCode(QWidget *controller, int returnCode);

} // namespace mira
