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
     * Without such a window, when the chosen one is not shown, or while it
     * shows a sheet already (one prompt at a time, as a sheet blocks its
     * window), nothing is shown and no action ever runs.
     */
    void presentNotice(
        const NoticePageConfiger &configer, const QList<ChooseAlertAction> &options, QWidget *window = nullptr) const;

    /// Whether @p window (or the window it is in) shows a sheet now.
    static bool isShowingSheet(const QWidget *window);

    /// The window presentNotice() uses when it is given none; nullptr when there is none.
    static QWidget *noticeWindow();
};
