#pragma once

#include <installer/app/PageCloseHandler.h>

#include "InstalllerAlertProtocol.h"

#include <QWidget>

#include <memory>

class QAbstractButton;
class QLabel;
namespace mira {
class InteractiveButton;
}
namespace Ui {
class ViewController;
}

/**
 * The welcome page: the product introduction, the agreement check box with
 * its terms-of-use link, and the Install button.
 *
 * The terms are accepted by default. Install asks before replacing an
 * installed copy of the product, asks running copies to quit and reports
 * installConfirmed(); the window's owner then shows the progress page, which
 * starts the download. The window's close button leads to closeAction(), a
 * quit confirmation.
 *
 * Keyboard: Return or Enter installs, Space toggles the focused check box
 * (where focus starts), Tab moves through check box, link and Install.
 */
class ViewController : public QWidget, public PageCloseHandler, public InstalllerAlertProtocol {
    Q_OBJECT
public:
    explicit ViewController(QWidget *parent = nullptr);
    ~ViewController() override;

    QLabel *introlductLabel() const;
    QAbstractButton *installBtn() const;
    /// The agreement check box; checked when selected.
    mira::InteractiveButton *agreementButton() const;
    /// The terms-of-use link.
    mira::InteractiveButton *protoclButton() const;

    /// The Install button's action: checks the agreement, asks before
    /// replacing an installed copy, then starts.
    void installEvent();
    /// Toggles the agreement check box.
    void agreeAction();
    /// Opens the terms of use in the user's browser.
    void privacyAction();
    /// Asks whether to quit the installation.
    void closeAction();

    /// The window's close button: the quit confirmation.
    void closeRequest() override { closeAction(); }

Q_SIGNALS:
    /// The user chose to install: the agreement is checked and an installed
    /// copy may be replaced. Running copies have been asked to quit.
    void installConfirmed();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void viewDidLoad();
    void styleAgreementButton();
    void setAgreementChecked(bool checked);
    void styleProtocolButton();
    void start();

    std::unique_ptr<Ui::ViewController> ui;
    bool m_focusPlaced = false;
};
