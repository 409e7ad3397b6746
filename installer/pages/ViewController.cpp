#include "ViewController.h"
#include "ui_ViewController.h"

#include <installer/install/Product.h>

#include "QuitPrompt.h"
#include <installer/analytics/GA.h>
#include <installer/interface/AccessibleRole.h>
#include <installer/interface/DesignableProperties.h>
#include <installer/interface/ImageNamed.h>
#include <installer/interface/LocalizedFormat.h>
#include <installer/interface/LocalizedString.h>
#include <installer/interface/PoppinsFont.h>
#include <installer/interface/ReturnKey.h>
#include <mirakit/foundation/ColorExtensions.h>
#include <mirakit/interactive/InteractiveButton.h>
#include <platform/KSTLogManager.h>
#include <platform/RunningApplications.h>
#include <platform/Workspace.h>

#include <QPointer>
#include <QUrl>

using mira::Interactive;

namespace {

mira::AttributedText linkTitle(const QString &text, const QColor &color, bool underlined)
{
    QTextCharFormat format;
    format.setFont(poppinsFont(14, PoppinsWeight::regular));
    format.setForeground(color);
    format.setFontUnderline(underlined);
    return { text, { { 0, int(text.size()), format } } };
}

} // namespace

ViewController::ViewController(QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::ViewController>())
{
    ui->setupUi(this);
    DesignableProperties::apply(this, [](const QString &key) { return localizedString(key); });
    viewDidLoad();
}

ViewController::~ViewController() = default;

QLabel *ViewController::introlductLabel() const
{
    return ui->introlductLabel;
}

QAbstractButton *ViewController::installBtn() const
{
    return ui->installBtn;
}

mira::InteractiveButton *ViewController::agreementButton() const
{
    return ui->agreementButton;
}

mira::InteractiveButton *ViewController::protoclButton() const
{
    return ui->protoclButton;
}

void ViewController::viewDidLoad()
{
    ui->illustrationView->setPixmap(
        imageNamed(QStringLiteral("Install_illustration_id1"), ui->illustrationView->minimumSize()));
    ui->titleLabel->setFont(poppinsFont(26, PoppinsWeight::semibold));
    ui->introlductLabel->setFont(poppinsFont(15, PoppinsWeight::regular));
    ui->agreementLabel->setFont(poppinsFont(14, PoppinsWeight::regular));
    ui->installBtn->setFont(poppinsFont(16, PoppinsWeight::semibold), Interactive::State::normal);
    ui->installBtn->setAccessibleName(ui->installBtn->title());

    styleAgreementButton();
    styleProtocolButton();
    setAccessibleRole(ui->titleLabel, AccessibleRole::heading);
    setAccessibleRole(ui->illustrationView, AccessibleRole::decoration);
    setAccessibleRole(ui->dividerView, AccessibleRole::decoration);

    connect(ui->installBtn, &QAbstractButton::clicked, this, &ViewController::installEvent);
    // The box's checked state is the one agreement state, whatever changes it (a
    // click, Space, or an assistive technology's toggle action); the selected
    // flag that picks the images follows it.
    connect(ui->agreementButton, &QAbstractButton::toggled, this,
        [box = ui->agreementButton](bool checked) { box->setSelected(checked); });
    connect(ui->protoclButton, &QAbstractButton::clicked, this, &ViewController::privacyAction);
    onReturnKey(this, [this] { installEvent(); });

    setAgreementChecked(true);
}

void ViewController::setAgreementChecked(bool checked)
{
    ui->agreementButton->setChecked(checked);
    ui->agreementButton->setSelected(checked);
}

void ViewController::styleAgreementButton()
{
    auto *box = ui->agreementButton;
    const QSize size = box->minimumSize();
    const auto image = [size](const char *name) { return imageNamed(QString::fromLatin1(name), size); };
    box->setImage(image("MultipleSelection_nomal"), Interactive::State::normal);
    box->setImage(image("MultipleSelection_hover"), Interactive::State::hovered);
    box->setImage(image("MultipleSelection_click"), Interactive::State::clicked);
    box->setImage(image("MultipleSelection_on_nomal"), Interactive::State::selected);
    box->setImage(image("MultipleSelection_on_hover"), Interactive::State::selected | Interactive::State::hovered);
    box->setImage(image("MultipleSelection_on_click"), Interactive::State::selected | Interactive::State::clicked);
    box->setCursor(Qt::PointingHandCursor, Interactive::State::normal);
    box->setAccessibleName(
        ui->agreementLabel->text() + QLatin1Char(' ') + localizedString(QStringLiteral("TermsOfUse_Title")));
    box->setCheckable(true);
}

void ViewController::styleProtocolButton()
{
    auto *link = ui->protoclButton;
    const QString title = localizedString(QStringLiteral("TermsOfUse_Title"));
    link->setAttributedText(linkTitle(title, mira::rgb(0x333333), false), Interactive::State::normal);
    link->setAttributedText(linkTitle(title, mira::rgb(0x36D395), true), Interactive::State::hovered);
    link->setAttributedText(linkTitle(title, mira::rgb(0x2FB782), true), Interactive::State::clicked);
    link->setCursor(Qt::PointingHandCursor, Interactive::State::normal);
    link->setAccessibleName(title);
    setAccessibleRole(link, AccessibleRole::link);
}

void ViewController::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_focusPlaced) {
        m_focusPlaced = true;
        ui->agreementButton->setFocus(Qt::OtherFocusReason);
    }
}

void ViewController::agreeAction()
{
    ui->agreementButton->toggle();
}

void ViewController::privacyAction()
{
    const QUrl url(localizedString(QStringLiteral("URL_User_License")), QUrl::StrictMode);
    if (url.isValid() && !url.scheme().isEmpty())
        platform::Workspace::shared().openUrl(url);
}

void ViewController::installEvent()
{
    const QString product = Product::localizedName();
    if (!ui->agreementButton->isChecked()) {
        presentNotice(NoticePageConfiger::installerNotice(localizedFormat(QStringLiteral("AgreeTip"), { product })),
            { ChooseAlertAction::choice(
                localizedString(QStringLiteral("Dialog_Button_OK")), ButtonStorage::ButtonStyle::theme) },
            window());
        return;
    }
    if (!Product::isInstalled()) {
        start();
        return;
    }
    const auto keep = [] { GA::installStep(QStringLiteral("NO_Support"), QStringLiteral("software_exist")); };
    QPointer<ViewController> page(this);
    const auto replace = [page] {
        if (page)
            page->start();
    };
    presentNotice(NoticePageConfiger::installerNotice(
                      localizedFormat(QStringLiteral("Alert_Existed_Should_Replace"), { product }), keep),
        { ChooseAlertAction::choice(
              localizedString(QStringLiteral("Button_Cancel")), ButtonStorage::ButtonStyle::border, keep),
            ChooseAlertAction::choice(
                localizedString(QStringLiteral("Button_Replace")), ButtonStorage::ButtonStyle::theme, replace) },
        window());
}

void ViewController::start()
{
    platform::KSTLogManager::writeInfoLog(QStringLiteral("user action: start_download"));
    platform::RunningApplications::terminateApplications(Product::bundleIdentifier());
    Q_EMIT installConfirmed();
}

void ViewController::closeAction()
{
    presentNotice(QuitPrompt::configer(), QuitPrompt::options(), window());
}
