#pragma once

#include <installer/app/PageCloseHandler.h>
#include <installer/install/ZipModel.h>

#include "InstalllerAlertProtocol.h"
#include <platform/Scheduler.h>

#include <QLocale>
#include <QWidget>

#include <memory>

class QLabel;
namespace mira {
class LineProgressView;
}
namespace Ui {
class LoadingViewController;
}

/**
 * The progress page: the window's content while an installation runs.
 *
 * Once shown, it starts DownLoader::shared() with downType() and follows the
 * installer notifications: progress fills the bar and the percentage; a
 * finished download is installed (the installed copy is replaced only once
 * the new one has been checked, with administrator rights when the user may
 * not move it; when those are refused the page asks the user to delete the
 * old copy); a started product ends the installer two seconds later. Any
 * failure ends the page's part and is reported as installationFailed(), for
 * the window's owner to show the failure page. Beside the progress, four
 * product illustrations take turns every three seconds.
 *
 * The window's close button pauses the download and asks whether to quit.
 */
class LoadingViewController : public QWidget, public PageCloseHandler, public InstalllerAlertProtocol {
    Q_OBJECT
public:
    explicit LoadingViewController(QWidget *parent = nullptr);
    /// Stops observing and cancels the pending illustration change.
    ~LoadingViewController() override;

    /// How the download starts: first (default) or retry. Set before the page is shown.
    DownloadType downType() const { return m_downType; }
    void setDownType(DownloadType type) { m_downType = type; }

    /// The illustration (1 to 4) the pending carousel step will show.
    qint64 advertiseIndex() const { return m_advertiseIndex; }

    /// The illustration.
    QLabel *advertiseImageView() const;
    /// The illustration's caption.
    QLabel *introlductionLabel() const;
    /// The status line: downloading, installing, starting.
    QLabel *loadingLabel() const;
    /// The progress bar; its accessible name is the status line.
    mira::LineProgressView *progressView() const;
    /// The percentage.
    QLabel *progressLabel() const;
    /// The marker of the illustration on show, moved along dotStackView().
    QWidget *greenDot() const;
    /// The row of position dots.
    QWidget *dotStackView() const;

    /// @name Installer notifications
    /// Connected when the page is first shown; each runs on the main thread.
    ///@{
    /// Shows the downloaded share of DownLoader::shared().
    void notifyProgressDidChanged();
    /// Asks running copies of the product to quit and installs.
    void notifyDownloadFinish();
    /// The installed copy could not be replaced: asks the user to delete it.
    void showReplaceBlocked();
    /// Gives up with the step "download_result" (showFailedPage()).
    void notifyDownloadFailed();
    /// Reports "Install_Finished" and waits for the product to start.
    void notifyInstalled();
    /// Gives up with the step "install_finished" (showFailedPage()).
    void notifyInstallFailed();
    /// Reports "Start_Application", flushes the usage events and quits two seconds later.
    void notifyLaunched();
    /// Gives up with the step "start_app" (showFailedPage()).
    void notifyLaunchFailed();
    ///@}

    /// Pauses the download and asks whether to quit; the window stays. Nothing while a prompt is up.
    void closeRequest() override;
    /// Stops following the installation and the carousel, then reports
    /// installationFailed() for @p step with the reason and the full folder
    /// that DownLoader::shared() recorded.
    void showFailedPage(const QString &step);

    /// The downloaded share of @p zip, from 0 to 1; 0 without a known length.
    static double progressFraction(const ZipModel *zip);
    /// The percentage text for @p percent (0 to 100) in @p locale's digits and
    /// percent sign: two decimals below 1 ("0.50%"), else at most two ("42.5%", "100%").
    static QString percentText(double percent, const QLocale &locale = QLocale());

Q_SIGNALS:
    /// The installation failed at @p step ("download_result",
    /// "install_finished" or "start_app") for @p reason; for
    /// FailedReason::write, @p fullFolder is the folder whose volume is full.
    void installationFailed(const QString &step, FailedReason reason, const QString &fullFolder);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void viewDidLoad();
    void observeInstaller();
    void scheduleAdvertise();
    void showAdvertise();
    void setStatus(const QString &status);
    void setDownloadingText();

    std::unique_ptr<Ui::LoadingViewController> ui;
    platform::WorkId m_delayWork = 0;
    qint64 m_advertiseIndex = 1;
    DownloadType m_downType = DownloadType::first;
    bool m_loaded = false;
};
