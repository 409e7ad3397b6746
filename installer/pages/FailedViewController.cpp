#include "FailedViewController.h"
#include "ui_FailedViewController.h"

#include "QuitPrompt.h"
#include <installer/interface/AccessibleRole.h>
#include <installer/interface/DesignableProperties.h>
#include <installer/interface/ImageNamed.h>
#include <installer/interface/LocalizedFormat.h>
#include <installer/interface/LocalizedString.h>
#include <installer/interface/PoppinsFont.h>
#include <installer/interface/ReturnKey.h>
#include <mirakit/interactive/InteractiveLabel.h>
#include <platform/Folders.h>

FailedViewController::FailedViewController(QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::FailedViewController>())
{
    ui->setupUi(this);
    DesignableProperties::apply(this, [](const QString &key) { return localizedString(key); });
    ui->iconView->setPixmap(imageNamed(QStringLiteral("gr_tips"), ui->iconView->minimumSize()));
    ui->titleLabel->setFont(poppinsFont(22, PoppinsWeight::semibold));
    ui->descriptionLabel->setFont(poppinsFont(15, PoppinsWeight::regular));
    ui->retryBtn->setFont(poppinsFont(16, PoppinsWeight::semibold), mira::Interactive::State::normal);
    ui->retryBtn->setAccessibleName(ui->retryBtn->title());
    setAccessibleRole(ui->titleLabel, AccessibleRole::heading);
    setAccessibleRole(ui->iconView, AccessibleRole::decoration);
    connect(ui->retryBtn, &QAbstractButton::clicked, this, &FailedViewController::retryEvent);
    onReturnKey(this, [this] { retryEvent(); });
}

FailedViewController::~FailedViewController() = default;

mira::InteractiveLabel *FailedViewController::descriptionLabel() const
{
    return ui->descriptionLabel;
}

QAbstractButton *FailedViewController::retryBtn() const
{
    return ui->retryBtn;
}

void FailedViewController::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_loaded) {
        m_loaded = true;
        viewDidLoad();
        ui->retryBtn->setFocus(Qt::OtherFocusReason);
    }
}

QString FailedViewController::fullFolder() const
{
    return m_fullFolder.isEmpty() ? platform::Folders::applications() : m_fullFolder;
}

std::optional<QString> FailedViewController::descriptionText(FailedReason reason, const QString &fullFolder)
{
    return failedReasonDescription(reason, fullFolder);
}

void FailedViewController::viewDidLoad()
{
    if (const auto text = descriptionText(m_reason, fullFolder()))
        ui->descriptionLabel->setStringValue(*text);
    // Focus lands on Retry whenever the page appears, so what went wrong is
    // heard with it.
    ui->retryBtn->setAccessibleDescription(
        QStringList { ui->titleLabel->text(), ui->descriptionLabel->stringValue() }.join(QLatin1Char('\n')));
}

void FailedViewController::retryEvent()
{
    Q_EMIT retryRequested();
}

void FailedViewController::showQuitPrompt()
{
    presentNotice(QuitPrompt::configer(), QuitPrompt::options(), window());
}
