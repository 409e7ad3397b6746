#include "InstallerAlertViewController.h"

#include "ui_InstallerAlertViewController.h"
#include <installer/interface/PoppinsFont.h>

#include <mirakit/foundation/ColorExtensions.h>
#include <mirakit/interactive/InteractiveButton.h>
#include <mirakit/interactive/SpacingButtonCell.h>
#include <mirakit/windows/SheetCloseButton.h>
#include <mirakit/windows/SheetWindow.h>
#include <mirakit/windows/WindowPresentation.h>

#include <platform/Scheduler.h>

#include <QKeyEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <cmath>

namespace {
using C = mira::LayoutConstraint;
using A = mira::LayoutConstraint::Attribute;
using R = mira::LayoutConstraint::Relation;

// The interface file's own layout (center).
constexpr int designWidth = 328;
constexpr qreal centerAspect = 328.0 / 273.0;
constexpr int centerMargin = 40;
constexpr int centerBottom = 32;
// vertical
constexpr qreal verticalAspect = 328.0 / 379.0;
// nature
constexpr int natureWidth = 384;
constexpr int natureMargin = 32;
constexpr int natureTop = 42;
constexpr int natureSpacing = 8;
constexpr int natureBottom = 24;
// Between the texts and the button row.
constexpr int rowGap = 24;

constexpr quint32 textColor = 0x342929;
constexpr qreal cornerRadius = 8;

void styleText(QLabel *label, const QFont &font)
{
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, mira::rgb(textColor));
    label->setPalette(palette);
}
} // namespace

InstallerAlertViewController::InstallerAlertViewController(QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::InstallerAlertViewController>())
{
    ui->setupUi(this);
    // The notice is as large as its content; the file's size is only the design's.
    setAttribute(Qt::WA_Resized, false);
    setFocusPolicy(Qt::ClickFocus);
    styleText(ui->titleLabel, poppinsFont(16, PoppinsWeight::semibold));
    styleText(ui->descLabel, poppinsFont(14, PoppinsWeight::regular));
    ui->actionStackView->hide();
    ui->natureActionStackView->hide();

    QWidget *content = ui->contentView;
    QWidget *stack = ui->stackView;
    m_aspectConstraint = C::aspectRatio(content, centerAspect);
    m_widthConstraint = C::size(content, A::width, designWidth);
    m_contentHeightConstraint = C::size(content, A::height, std::ceil(designWidth / centerAspect));
    C::activate({ m_aspectConstraint, m_contentHeightConstraint, C(content, A::centerX, R::equal, this, A::centerX),
        C(content, A::centerY, R::equal, this, A::centerY) });

    m_stackViewTopConstraint = C(stack, A::top, R::equal, content, A::top, 1, centerMargin);
    m_stackViewLeadingConstraint = C(stack, A::leading, R::equal, content, A::leading, 1, centerMargin);
    m_stackViewTrailingConstraint = C(stack, A::trailing, R::equal, content, A::trailing, 1, -centerMargin);
    m_stackHeightConstraint = C::size(stack, A::height, 0);
    m_actionBottomConstraint = C(ui->actionStackView, A::bottom, R::equal, content, A::bottom, 1, -centerBottom);
    m_natureBottomConstraint = C(ui->natureActionStackView, A::bottom, R::equal, content, A::bottom, 1, -natureBottom);
    // The nature row ends where the reading direction ends.
    C::activate({ m_stackViewTopConstraint, m_stackViewLeadingConstraint, m_stackViewTrailingConstraint,
        m_stackHeightConstraint, C(ui->actionStackView, A::centerX, R::equal, content, A::centerX),
        m_actionBottomConstraint, m_natureBottomConstraint,
        C(ui->natureActionStackView, A::trailing, R::equal, content, A::trailing, 1, -natureMargin) });
}

InstallerAlertViewController::~InstallerAlertViewController() = default;

void InstallerAlertViewController::setConfiger(const NoticePageConfiger &configer)
{
    Q_ASSERT_X(!m_loaded, "InstallerAlertViewController", "the configuration is set before the view loads");
    m_configer = configer;
}

void InstallerAlertViewController::setOptions(const QList<ChooseAlertAction> &options)
{
    Q_ASSERT_X(!m_loaded, "InstallerAlertViewController", "the choices are set before the view loads");
    m_options = options;
}

void InstallerAlertViewController::loadViewIfNeeded()
{
    if (m_loaded)
        return;
    m_loaded = true;
    viewDidLoad();
}

QWidget *InstallerAlertViewController::stackView() const
{
    return ui->stackView;
}

QLabel *InstallerAlertViewController::imageView() const
{
    return ui->imageView;
}

QLabel *InstallerAlertViewController::titleLabel() const
{
    return ui->titleLabel;
}

QLabel *InstallerAlertViewController::descLabel() const
{
    return ui->descLabel;
}

QWidget *InstallerAlertViewController::actionStackView() const
{
    return ui->actionStackView;
}

QWidget *InstallerAlertViewController::natureActionStackView() const
{
    return ui->natureActionStackView;
}

void InstallerAlertViewController::viewDidLoad()
{
    if (!m_configer)
        qWarning("InstallerAlertViewController: loaded without a configuration; showing an empty notice");
    const NoticePageConfiger configer = m_configer.value_or(NoticePageConfiger());

    const QPixmap picture = configer.image ? configer.image->pixmap(devicePixelRatioF()) : QPixmap();
    if (picture.isNull())
        ui->imageView->clear();
    else
        ui->imageView->setPixmap(picture);
    ui->imageView->setHidden(picture.isNull());

    ui->titleLabel->setText(configer.title.value_or(QString()));
    ui->titleLabel->setHidden(!configer.title);
    ui->descLabel->setText(configer.desc.value_or(QString()));
    ui->descLabel->setHidden(!configer.desc);
    // The sheet is named by the title, else by the installer's window; the
    // message describes both the sheet and each choice, so it is heard
    // whichever of them a screen reader announces first.
    setAccessibleName(configer.title.value_or(QString()));
    setAccessibleDescription(configer.desc.value_or(configer.title.value_or(QString())));

    switch (configer.alertStyle) {
    case AlertStyle::nature:
        m_aspectConstraint.setActive(false);
        m_widthConstraint.setConstant(natureWidth);
        m_widthConstraint.setActive(true);
        m_stackViewLeadingConstraint.setConstant(natureMargin);
        m_stackViewTrailingConstraint.setConstant(-natureMargin);
        // AlignLeft follows the reading direction unless made absolute.
        ui->descLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        ui->stackLayout->setSpacing(natureSpacing);
        m_stackViewTopConstraint.setConstant(natureTop);
        break;
    case AlertStyle::center:
        break;
    case AlertStyle::vertical:
        m_aspectConstraint = m_aspectConstraint.setMultiplier(verticalAspect);
        m_widthConstraint.setActive(false);
        break;
    }

    if (m_options) {
        QWidget *row = buttonRow();
        for (int tag = 0; tag < m_options->size(); ++tag)
            addButton(tag, m_options->at(tag), row);
        row->setVisible(!m_options->isEmpty());
    }
    updateContentConstraints();
}

QWidget *InstallerAlertViewController::buttonRow() const
{
    const bool nature = m_configer && m_configer->alertStyle == AlertStyle::nature;
    return nature ? ui->natureActionStackView : ui->actionStackView;
}

void InstallerAlertViewController::addButton(int tag, const ChooseAlertAction &option, QWidget *row)
{
    using State = mira::Interactive::State;
    mira::InteractiveButton *button = ButtonStorage::makeButton(option.buttonStyle);
    if (m_configer && m_configer->buttonFont) {
        button->cell()->setFont(*m_configer->buttonFont);
        button->setFont(*m_configer->buttonFont, State::normal);
    }
    auto cell = std::make_unique<mira::SpacingButtonCell>();
    cell->setContentEdgeInset({ 0, 10, 0, 10 });
    button->replaceButtonCell(std::move(cell));
    button->setText(option.title, State::normal);
    button->setProperty("tag", tag);
    button->setObjectName(QStringLiteral("choice%1").arg(tag));
    button->setAccessibleName(option.title);
    button->setAccessibleDescription(accessibleDescription());
    connect(button, &QAbstractButton::clicked, this, [this, button] { buttonActionWithSender(button); });

    // The title never gives way (it keeps its full width), and a script with
    // taller lines than the configured height gets the room it needs.
    const QSize natural = button->sizeHint();
    const double minWidth = m_configer ? m_configer->buttonMinWidth : 0;
    const double height = m_configer ? m_configer->buttonHeight : natural.height();
    button->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    button->setMinimumWidth(std::max(int(std::ceil(minWidth)), natural.width()));
    button->setFixedHeight(std::max(int(std::ceil(height)), natural.height()));

    row->layout()->addWidget(button);
    if (!m_buttons.isEmpty())
        QWidget::setTabOrder(m_buttons.last(), button);
    m_buttons.append(button);
}

QAbstractButton *InstallerAlertViewController::button(int tag) const
{
    const_cast<InstallerAlertViewController *>(this)->loadViewIfNeeded();
    return tag >= 0 && tag < m_buttons.size() ? m_buttons.at(tag) : nullptr;
}

int InstallerAlertViewController::defaultTag() const
{
    if (!m_options)
        return -1;
    for (int tag = 0; tag < m_options->size(); ++tag) {
        if (m_options->at(tag).buttonStyle == ButtonStorage::ButtonStyle::theme)
            return tag;
    }
    return m_options->size() == 1 ? 0 : -1;
}

void InstallerAlertViewController::buttonActionWithSender(QAbstractButton *sender)
{
    bool isTag = false;
    const int tag = sender ? sender->property("tag").toInt(&isTag) : -1;
    if (!m_options || !isTag || tag < 0 || tag >= m_options->size()) {
        qWarning("InstallerAlertViewController: no choice for the pressed button");
        return;
    }
    // A notice that is closing takes no further choice.
    if (m_closing)
        return;
    const ChooseAlertAction option = m_options->at(tag);
    if (option.occasion == ActionBlockOccasion::touch) {
        if (option.block)
            option.block(option);
        return;
    }
    m_closing = true;
    mira::dismiss(this, {});
    platform::Scheduler::shared().post([option] {
        if (option.block)
            option.block(option);
    });
}

void InstallerAlertViewController::closeSheet(QAbstractButton *)
{
    if (m_closing)
        return;
    m_closing = true;
    const QPointer<InstallerAlertViewController> self = this;
    if (m_configer && m_configer->willClose)
        m_configer->willClose();
    if (self)
        mira::dismiss(this);
}

int InstallerAlertViewController::stackHeightForWidth(int width) const
{
    const int height = ui->stackView->heightForWidth(width);
    return height >= 0 ? height : ui->stackLayout->totalSizeHint().height();
}

InstallerAlertViewController::ContentSize InstallerAlertViewController::contentSize() const
{
    const int top = int(m_stackViewTopConstraint.constant());
    const int sides = int(m_stackViewLeadingConstraint.constant() - m_stackViewTrailingConstraint.constant());
    const bool nature = m_configer && m_configer->alertStyle == AlertStyle::nature;
    const int bottom = int(-(nature ? m_natureBottomConstraint : m_actionBottomConstraint).constant());
    const QWidget *row = buttonRow();
    const QSize rowSize = row->isHidden() ? QSize(0, 0) : row->sizeHint();
    const int footer = (rowSize.height() > 0 ? rowGap + rowSize.height() : 0) + bottom;
    const auto needed = [&](int width) { return top + stackHeightForWidth(width - sides) + footer; };

    if (m_widthConstraint.isActive()) {
        const int width = int(m_widthConstraint.constant());
        return { QSize(width, needed(width)), stackHeightForWidth(width - sides) };
    }
    // The ratio is fixed: grow until the content fits, starting from the
    // design width (or the button row's, when wider).
    const qreal ratio = m_aspectConstraint.multiplier();
    int width = std::max(designWidth, rowSize.width() + sides);
    int height = int(std::ceil(width / ratio));
    for (int round = 0; round < 16; ++round) {
        const int need = needed(width);
        if (need <= height)
            break;
        height = need;
        width = qRound(height * ratio);
    }
    width = qRound(height * ratio);
    return { QSize(width, height), stackHeightForWidth(width - sides) };
}

void InstallerAlertViewController::updateContentConstraints()
{
    const ContentSize size = contentSize();
    m_contentHeightConstraint.setConstant(size.content.height());
    m_stackHeightConstraint.setConstant(size.stackHeight);
    updateGeometry();
}

QSize InstallerAlertViewController::sizeHint() const
{
    const_cast<InstallerAlertViewController *>(this)->loadViewIfNeeded();
    return contentSize().content;
}

QSize InstallerAlertViewController::minimumSizeHint() const
{
    return sizeHint();
}

void InstallerAlertViewController::showEvent(QShowEvent *event)
{
    loadViewIfNeeded();
    QWidget::showEvent(event);
    if (QAbstractButton *first = button(std::max(defaultTag(), 0)))
        first->setFocus(Qt::OtherFocusReason);
    else
        setFocus(Qt::OtherFocusReason);
}

void InstallerAlertViewController::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        // Like a dialog's auto-default buttons: the focused choice, else the theme one.
        auto *focused = qobject_cast<mira::InteractiveButton *>(focusWidget());
        QAbstractButton *target = m_buttons.contains(focused) ? focused : button(defaultTag());
        if (auto *choice = qobject_cast<mira::InteractiveButton *>(target))
            choice->performClick();
        event->accept();
        return;
    }
    case Qt::Key_Escape: {
        auto *sheet = mira::sheetWindowOf(this);
        closeSheet(sheet && sheet->hasCloseView() ? sheet->closeButton() : nullptr);
        event->accept();
        return;
    }
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void InstallerAlertViewController::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (m_loaded && (event->type() == QEvent::LayoutDirectionChange || event->type() == QEvent::FontChange))
        updateContentConstraints();
}

void InstallerAlertViewController::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(mira::rgb(0x000000, 0.12), 1));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius, cornerRadius);
}
