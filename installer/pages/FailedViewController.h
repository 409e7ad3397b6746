#pragma once

#include "InstalllerAlertProtocol.h"
#include <installer/app/PageCloseHandler.h>
#include <installer/install/ZipModel.h>

#include <QWidget>

#include <memory>

class QAbstractButton;
namespace mira {
class InteractiveLabel;
}
namespace Ui {
class FailedViewController;
}

/**
 * The failure page: shown in the main window when the download, the
 * installation or the start of the product failed.
 *
 * It explains the failures the user can act on (no network, not enough
 * space), offers Retry, reported as retryRequested() so that the window's
 * owner starts the whole download again on a new progress page, and answers
 * the window's close button with a quit prompt. Return retries.
 *
 * Set step() and reason() before the page is shown.
 */
class FailedViewController : public QWidget, public PageCloseHandler, public InstalllerAlertProtocol {
    Q_OBJECT
public:
    explicit FailedViewController(QWidget *parent = nullptr);
    ~FailedViewController() override;

    /// Why the attempt failed. Default FailedReason::unknow.
    FailedReason reason() const { return m_reason; }
    void setReason(FailedReason reason) { m_reason = reason; }
    /// For FailedReason::write: the folder whose volume is full. Default the applications folder.
    QString fullFolder() const;
    void setFullFolder(const QString &folder) { m_fullFolder = folder; }

    /// The failed step ("download_result", "install_finished", "start_app");
    /// kept for the record, not shown. Default "install_finished".
    QString step() const { return m_step; }
    void setStep(const QString &step) { m_step = step; }

    mira::InteractiveLabel *descriptionLabel() const;
    QAbstractButton *retryBtn() const;

    /// The Retry button's action: reports retryRequested().
    void retryEvent();
    /// Asks whether to quit the installation.
    void showQuitPrompt();

    /// The window's close button: the quit prompt.
    void closeRequest() override { showQuitPrompt(); }

    /// The description for @p reason, or nothing when the page keeps its own.
    static std::optional<QString> descriptionText(FailedReason reason, const QString &fullFolder);

Q_SIGNALS:
    /// The user asked to download again, on a progress page in place of this one.
    void retryRequested();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void viewDidLoad();

    std::unique_ptr<Ui::FailedViewController> ui;
    FailedReason m_reason = FailedReason::unknow;
    QString m_fullFolder;
    QString m_step = QStringLiteral("install_finished");
    bool m_loaded = false;
};
