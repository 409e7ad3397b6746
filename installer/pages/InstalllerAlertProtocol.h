#pragma once

#include <installer/interface/ChooseAlertAction.h>
#include <installer/interface/NoticePageConfiger.h>

#include <QList>

class QWidget;

/**
 * Lets a page show the installer's notices: inherit it and call
 * presentNotice().
 *
 * @code
 * class WelcomePage : public QWidget, public InstalllerAlertProtocol { ... };
 *
 * presentNotice(NoticePageConfiger::installerNotice(text),
 *               {ChooseAlertAction::choice(ok, ButtonStorage::ButtonStyle::theme)}, window());
 * @endcode
 */
class InstalllerAlertProtocol {
public:
    virtual ~InstalllerAlertProtocol();

    /**
     * Shows an InstallerAlertViewController with @p configer and @p options
     * as a sheet on a window: @p window when given, else the active window,
     * else the first shown top-level window that is not itself a presented
     * sheet or child window. The parent's title-bar buttons stay enabled.
     *
     * Without such a window, or when the chosen one is not shown, nothing is
     * shown and no action ever runs.
     */
    void presentNotice(
        const NoticePageConfiger &configer, const QList<ChooseAlertAction> &options, QWidget *window = nullptr) const;

    /// The window presentNotice() uses when it is given none; nullptr when there is none.
    static QWidget *noticeWindow();
};
