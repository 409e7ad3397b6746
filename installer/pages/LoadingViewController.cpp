#include "LoadingViewController.h"
#include "ui_LoadingViewController.h"

#include <installer/app/AppDelegate.h>
#include <installer/install/DownLoader.h>
#include <installer/install/Product.h>

#include <installer/analytics/Analytics.h>
#include <installer/analytics/GA.h>
#include <installer/interface/AccessibleRole.h>
#include <installer/interface/DesignableProperties.h>
#include <installer/interface/ImageNamed.h>
#include <installer/interface/LocalizedFormat.h>
#include <installer/interface/LocalizedString.h>
#include <installer/interface/PoppinsFont.h>
#include <installer/interface/PushTransition.h>
#include <mirakit/foundation/ColorExtensions.h>
#include <mirakit/interactive/LineProgressView.h>
#include <platform/KSTLogManager.h>
#include <platform/NotificationCenter.h>
#include <platform/RunningApplications.h>

#include <QPointer>

#include <algorithm>

using namespace std::chrono_literals;

namespace {

constexpr auto carouselInterval = 3000ms;
constexpr auto carouselTransition = 500ms;
constexpr auto quitDelay = 2000ms;
constexpr qint64 illustrationCount = 4;

void log(const QString &line)
{
    platform::KSTLogManager::writeInfoLog(line);
}

} // namespace

LoadingViewController::LoadingViewController(QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::LoadingViewController>())
{
    ui->setupUi(this);
    DesignableProperties::apply(this, [](const QString &key) { return localizedString(key); });
    ui->introlductionLabel->setFont(poppinsFont(18, PoppinsWeight::semibold));
    ui->advertiseDescLabel->setFont(poppinsFont(14, PoppinsWeight::regular));
    ui->loadingLabel->setFont(poppinsFont(14, PoppinsWeight::regular));
    ui->progressLabel->setFont(poppinsFont(14, PoppinsWeight::medium));
    ui->progressView->setColors({ mira::rgb(0x3BE5A2), mira::rgb(0x2FD3B4) });
    ui->advertiseImageView->setPixmap(
        imageNamed(QStringLiteral("Install_illustration_id1"), ui->advertiseImageView->minimumSize()));
    ui->advertiseDescLabel->setText(localizedString(QStringLiteral("AD1_Desc")));
    setAccessibleRole(ui->advertiseImageView, AccessibleRole::decoration);
    setAccessibleRole(ui->dotStackView, AccessibleRole::decoration);
    for (QWidget *dot : ui->dotStackView->findChildren<QWidget *>())
        setAccessibleRole(dot, AccessibleRole::decoration);
    // The bar is the page's one focus target: it is named by the status, so
    // a screen reader announces every change of step and reads the
    // percentage as its value.
    ui->progressView->setFocusPolicy(Qt::TabFocus);
}

LoadingViewController::~LoadingViewController()
{
    platform::NotificationCenter::defaultCenter().removeObserver(this);
    platform::Scheduler::shared().cancel(m_delayWork);
}

QLabel *LoadingViewController::advertiseImageView() const
{
    return ui->advertiseImageView;
}
QLabel *LoadingViewController::introlductionLabel() const
{
    return ui->introlductionLabel;
}
QLabel *LoadingViewController::loadingLabel() const
{
    return ui->loadingLabel;
}
mira::LineProgressView *LoadingViewController::progressView() const
{
    return ui->progressView;
}
QLabel *LoadingViewController::progressLabel() const
{
    return ui->progressLabel;
}
QWidget *LoadingViewController::greenDot() const
{
    return ui->greenDot;
}
QWidget *LoadingViewController::dotStackView() const
{
    return ui->dotStackView;
}

void LoadingViewController::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_loaded) {
        m_loaded = true;
        viewDidLoad();
    }
}

void LoadingViewController::viewDidLoad()
{
    ui->introlductionLabel->setText(localizedString(QStringLiteral("AD1_Title")));
    setDownloadingText();
    scheduleAdvertise();
    observeInstaller();

    const auto zip = DownLoader::shared().zip();
    log(QStringLiteral("DownLoader zip status: ") + (zip ? failedReasonName(zip->failed) : QStringLiteral("nil")));
    log(QStringLiteral("DownLoader to download"));

    ui->progressView->setProgress(0);
    ui->progressLabel->setText(QStringLiteral("0.0%"));
    DownLoader::shared().startDownload(m_downType);
}

void LoadingViewController::observeInstaller()
{
    auto &center = platform::NotificationCenter::defaultCenter();
    const auto observe = [this, &center](const QString &name, void (LoadingViewController::*handler)()) {
        center.addObserver(name, this, [this, handler](const platform::Notification &) { (this->*handler)(); });
    };
    observe(InstallerNotification::downloaderProgress, &LoadingViewController::notifyProgressDidChanged);
    observe(InstallerNotification::downloaderFinished, &LoadingViewController::notifyDownloadFinish);
    observe(InstallerNotification::downloaderFailed, &LoadingViewController::notifyDownloadFailed);
    observe(InstallerNotification::installerFinish, &LoadingViewController::notifyInstalled);
    observe(InstallerNotification::installerFailed, &LoadingViewController::notifyInstallFailed);
    observe(InstallerNotification::launchedFinish, &LoadingViewController::notifyLaunched);
    observe(InstallerNotification::launchedFailed, &LoadingViewController::notifyLaunchFailed);
    connect(DownLoader::shared().events(), &InstallEvents::replaceBlocked, this,
        &LoadingViewController::showReplaceBlocked);
}

void LoadingViewController::scheduleAdvertise()
{
    m_advertiseIndex = m_advertiseIndex + 1 > illustrationCount ? 1 : m_advertiseIndex + 1;
    auto &scheduler = platform::Scheduler::shared();
    scheduler.cancel(m_delayWork);
    QPointer<LoadingViewController> page(this);
    m_delayWork = scheduler.after(carouselInterval, [page] {
        if (page)
            page->showAdvertise();
    });
}

void LoadingViewController::showAdvertise()
{
    const QString index = QString::number(m_advertiseIndex);
    QWidget *view = ui->advertiseView;
    const QPixmap before = view->isVisible() ? view->grab() : QPixmap();

    ui->advertiseImageView->setPixmap(
        imageNamed(QStringLiteral("Install_illustration_id") + index, ui->advertiseImageView->minimumSize()));
    ui->introlductionLabel->setText(localizedString(QStringLiteral("AD") + index + QStringLiteral("_Title")));
    ui->advertiseDescLabel->setText(localizedString(QStringLiteral("AD") + index + QStringLiteral("_Desc")));

    auto *dots = static_cast<QBoxLayout *>(ui->dotStackView->layout());
    dots->removeWidget(ui->greenDot);
    dots->insertWidget(int(m_advertiseIndex - 1), ui->greenDot);

    if (!before.isNull()) {
        view->layout()->activate();
        PushTransition::push(view, before, carouselTransition);
    }
    scheduleAdvertise();
}

double LoadingViewController::progressFraction(const ZipModel *zip)
{
    if (!zip)
        return 0;
    const std::int64_t total = zip->totalSize;
    if (total <= 0)
        return 0;
    return std::clamp(double(zip->currentSize) / double(total), 0.0, 1.0);
}

QString LoadingViewController::percentText(double percent, const QLocale &locale)
{
    // One number format throughout, digits and percent sign included, so the
    // text does not change script when the download passes one percent.
    QLocale format(locale);
    format.setNumberOptions(QLocale::OmitGroupSeparator);
    QString text = format.toString(percent, 'f', 2);
    const QString point = format.decimalPoint();
    if (percent >= 1 && text.contains(point)) {
        while (text.endsWith(format.zeroDigit()))
            text.chop(format.zeroDigit().size());
        if (text.endsWith(point))
            text.chop(point.size());
    }
    return text + format.percent();
}

void LoadingViewController::setStatus(const QString &status)
{
    if (ui->loadingLabel->text() == status)
        return;
    ui->loadingLabel->setText(status);
    ui->progressView->setAccessibleName(status);
}

void LoadingViewController::setDownloadingText()
{
    setStatus(localizedFormat(QStringLiteral("Install_Downloading"), { Product::localizedName() }));
}

void LoadingViewController::notifyProgressDidChanged()
{
    const auto zip = DownLoader::shared().zip();
    const double fraction = progressFraction(zip.get());
    ui->progressView->setProgress(float(fraction));
    setDownloadingText();
    ui->progressLabel->setText(percentText(fraction * 100));
}

void LoadingViewController::notifyDownloadFinish()
{
    log(QStringLiteral("LoadingViewController notifyDownloadFinish"));
    GA::installStep(QStringLiteral("Download_Successful"));
    setStatus(localizedString(QStringLiteral("Install_Installing")));

    if (Product::isInstalled())
        platform::RunningApplications::terminateApplications(Product::bundleIdentifier());
    DownLoader::shared().install();
}

void LoadingViewController::showReplaceBlocked()
{
    const QString product = Product::localizedName();
    presentNotice(NoticePageConfiger::installerNotice(
                      localizedFormat(QStringLiteral("Alert_Existed_Delete_Manually"), { product, product })),
        { ChooseAlertAction::choice(
              localizedString(QStringLiteral("Button_Cancel")), ButtonStorage::ButtonStyle::border),
            ChooseAlertAction::choice(
                localizedString(QStringLiteral("Dialog_Button_OK")), ButtonStorage::ButtonStyle::theme) },
        window());
}

void LoadingViewController::notifyInstalled()
{
    log(QStringLiteral("LoadingViewController notifyInstalled"));
    GA::installStep(QStringLiteral("Install_Finished"));
    setStatus(localizedFormat(QStringLiteral("Install_Launching"), { Product::localizedName() }));
}

void LoadingViewController::notifyLaunched()
{
    log(QStringLiteral("LoadingViewController notifyLaunched"));
    GA::installStep(QStringLiteral("Start_Application"));
    Analytics::flush();
    platform::Scheduler::shared().after(quitDelay, [] { AppDelegate::terminate(); });
}

void LoadingViewController::notifyDownloadFailed()
{
    log(QStringLiteral("LoadingViewController notifyDownloadFailed"));
    showFailedPage(QStringLiteral("download_result"));
}

void LoadingViewController::notifyInstallFailed()
{
    log(QStringLiteral("LoadingViewController notifyInstallFailed"));
    showFailedPage(QStringLiteral("install_finished"));
}

void LoadingViewController::notifyLaunchFailed()
{
    log(QStringLiteral("LoadingViewController notifyLaunchFailed"));
    showFailedPage(QStringLiteral("start_app"));
}

void LoadingViewController::showFailedPage(const QString &step)
{
    // Observers and the carousel stop now, not when the page is finally deleted.
    platform::NotificationCenter::defaultCenter().removeObserver(this);
    disconnect(DownLoader::shared().events(), nullptr, this, nullptr);
    platform::Scheduler::shared().cancel(m_delayWork);
    m_delayWork = 0;
    const auto zip = DownLoader::shared().zip();
    Q_EMIT installationFailed(
        step, zip ? FailedReason(zip->failed) : FailedReason::unknow, DownLoader::shared().fullFolder());
}

void LoadingViewController::closeRequest()
{
    // The prompt already up owns the paused download.
    if (isShowingSheet(window()))
        return;
    DownLoader::shared().suspend();
    const auto resume = [] {
        GA::installStep(QStringLiteral("Cancel_Download_Close"));
        DownLoader::shared().resume();
    };
    presentNotice(NoticePageConfiger::installerNotice(
                      localizedFormat(QStringLiteral("ExitTip"), { Product::localizedName() }), resume),
        { ChooseAlertAction::choice(localizedString(QStringLiteral("Dialog_Button_OK")),
              ButtonStorage::ButtonStyle::border,
              [] {
                  GA::installStep(QStringLiteral("Download_Close"));
                  AppDelegate::terminate();
              }),
            ChooseAlertAction::choice(
                localizedString(QStringLiteral("Dialog_Button_Cancel")), ButtonStorage::ButtonStyle::theme, resume) },
        window());
}
