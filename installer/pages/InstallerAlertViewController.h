#pragma once

#include <installer/interface/ChooseAlertAction.h>
#include <installer/interface/NoticePageConfiger.h>

#include <mirakit/windows/LayoutConstraint.h>
#include <mirakit/windows/SheetWindowCloseProtocol.h>

#include <QList>
#include <QWidget>

#include <memory>
#include <optional>

class QAbstractButton;
class QLabel;

namespace mira {
class InteractiveButton;
}

namespace Ui {
class InstallerAlertViewController;
}

/**
 * The page of every installer notice: an optional illustration, title and
 * description over a row of choice buttons, shown in a mira::SheetWindow
 * (see InstalllerAlertProtocol::presentNotice()).
 *
 * Give it its configuration and choices before it is shown; the first
 * sizeHint(), show or button() loads the view from them (viewDidLoad()) and
 * they do not change afterwards.
 *
 * @code
 * auto *page = new InstallerAlertViewController;
 * page->setConfiger(NoticePageConfiger::installerNotice(text));
 * page->setOptions({ChooseAlertAction::choice(cancel, ButtonStorage::ButtonStyle::border),
 *                   ChooseAlertAction::choice(ok, ButtonStorage::ButtonStyle::theme, quit)});
 * mira::present(mainWindow, page, true, mira::WindowPresentStyle::sheet, std::nullopt);
 * @endcode
 *
 * Layout. The interface file places the stack (illustration, title,
 * description) and the two button rows inside a content view; the named
 * constraints below pin them, and the notice is exactly as large as its
 * content needs, so texts wrap and never clip. The nature style fixes the
 * width at 384 (widthConstraint) with 32-pixel margins and puts the buttons
 * at the trailing end of natureActionStackView; center and vertical keep the
 * width-to-height ratio of aspectConstraint (vertical: 328 : 379) and centre
 * the buttons in actionStackView. Everything mirrors for right-to-left
 * languages.
 *
 * Choices. Choice i becomes button(i), left to right in reading order. A
 * dismiss choice closes the notice and runs its block on the next turn of
 * the main loop (platform::Scheduler::post()); a touch choice runs it at once
 * and stays.
 *
 * Keyboard. Return and Enter take the first theme choice (or the only
 * choice), Escape acts as the close badge, Tab and Backtab move between the
 * buttons, Space presses the focused one. Focus starts on the button Return
 * takes.
 */
class InstallerAlertViewController : public QWidget, public mira::SheetWindowCloseProtocol {
    Q_OBJECT
public:
    explicit InstallerAlertViewController(QWidget *parent = nullptr);
    ~InstallerAlertViewController() override;

    /// None at creation; set it before the view loads.
    const std::optional<NoticePageConfiger> &configer() const { return m_configer; }
    void setConfiger(const NoticePageConfiger &configer);
    /// None at creation (no buttons); set them before the view loads.
    const std::optional<QList<ChooseAlertAction>> &options() const { return m_options; }
    void setOptions(const QList<ChooseAlertAction> &options);

    bool isViewLoaded() const { return m_loaded; }
    /// Runs viewDidLoad() once.
    void loadViewIfNeeded();

    QWidget *stackView() const;
    QLabel *imageView() const;
    QLabel *titleLabel() const;
    QLabel *descLabel() const;
    QWidget *actionStackView() const;
    QWidget *natureActionStackView() const;
    /// contentView.width == contentView.height × multiplier; active in center and vertical.
    mira::LayoutConstraint aspectConstraint() const { return m_aspectConstraint; }
    /// contentView.width == constant; active in nature (384).
    mira::LayoutConstraint widthConstraint() const { return m_widthConstraint; }
    /// stackView.top == contentView.top + constant.
    mira::LayoutConstraint stackViewTopConstraint() const { return m_stackViewTopConstraint; }
    /// stackView.leading == contentView.leading + constant.
    mira::LayoutConstraint stackViewLeadingConstraint() const { return m_stackViewLeadingConstraint; }
    /// stackView.trailing == contentView.trailing + constant (the margin, negated).
    mira::LayoutConstraint stackViewTrailingConstraint() const { return m_stackViewTrailingConstraint; }

    /// The button of choice @p tag (loading the view first); nullptr for another tag.
    QAbstractButton *button(int tag) const;
    /// The choice Return takes: the first theme choice, else the only choice; -1 for none.
    int defaultTag() const;

    bool closeEnable() const override { return true; }
    QPointF closeOffset() const override { return QPointF(0, 0); }
    /// Runs willClose, then closes the notice. No choice runs.
    void closeSheet(QAbstractButton *sender) override;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public Q_SLOTS:
    /// Takes the choice whose tag @p sender carries.
    void buttonActionWithSender(QAbstractButton *sender);

protected:
    /// Fills the view from configer() and options().
    virtual void viewDidLoad();

    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    struct ContentSize {
        QSize content;
        int stackHeight = 0;
    };

    void addButton(int tag, const ChooseAlertAction &option, QWidget *row);
    QWidget *buttonRow() const;
    ContentSize contentSize() const;
    int stackHeightForWidth(int width) const;
    void updateContentConstraints();

    std::unique_ptr<Ui::InstallerAlertViewController> const ui;
    std::optional<NoticePageConfiger> m_configer;
    std::optional<QList<ChooseAlertAction>> m_options;
    QList<mira::InteractiveButton *> m_buttons;
    bool m_loaded = false;
    bool m_closing = false;

    mira::LayoutConstraint m_aspectConstraint;
    mira::LayoutConstraint m_widthConstraint;
    mira::LayoutConstraint m_stackViewTopConstraint;
    mira::LayoutConstraint m_stackViewLeadingConstraint;
    mira::LayoutConstraint m_stackViewTrailingConstraint;
    // Sizes and edges that follow from the content rather than the style.
    mira::LayoutConstraint m_contentHeightConstraint;
    mira::LayoutConstraint m_stackHeightConstraint;
    mira::LayoutConstraint m_actionBottomConstraint;
    mira::LayoutConstraint m_natureBottomConstraint;
};
