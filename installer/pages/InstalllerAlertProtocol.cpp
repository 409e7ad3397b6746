#include "InstalllerAlertProtocol.h"

#include "InstallerAlertViewController.h"

#include <mirakit/windows/SheetWindow.h>
#include <mirakit/windows/WindowPresentation.h>

#include <QApplication>
#include <QWindow>

namespace {
bool isPresented(const QWidget *window)
{
    return qobject_cast<const mira::SheetWindow *>(window) || mira::sheetParent(window) || mira::parentWindow(window);
}
} // namespace

InstalllerAlertProtocol::~InstalllerAlertProtocol() = default;

QWidget *InstalllerAlertProtocol::noticeWindow()
{
    // A notice on show is not a place for another one: it goes on the window below.
    if (QWidget *active = QApplication::activeWindow(); active && !isPresented(active))
        return active;
    // Top-level windows in the order they were created; the first plain one
    // is the application's main window.
    const QWidgetList widgets = QApplication::topLevelWidgets();
    const QWindowList windows = QGuiApplication::topLevelWindows();
    for (const QWindow *handle : windows) {
        for (QWidget *widget : widgets) {
            if (widget->windowHandle() != handle || !widget->isVisible() || isPresented(widget))
                continue;
            const Qt::WindowType type = widget->windowType();
            if (type == Qt::Popup || type == Qt::ToolTip || type == Qt::SplashScreen)
                continue;
            return widget;
        }
    }
    return nullptr;
}

bool InstalllerAlertProtocol::isShowingSheet(const QWidget *window)
{
    return window && !mira::attachedSheets(window->window()).isEmpty();
}

void InstalllerAlertProtocol::presentNotice(
    const NoticePageConfiger &configer, const QList<ChooseAlertAction> &options, QWidget *window) const
{
    QWidget *host = window ? window : noticeWindow();
    if (!host || !host->window()->isVisible() || isShowingSheet(host))
        return;
    auto *page = new InstallerAlertViewController;
    page->setConfiger(configer);
    page->setOptions(options);
    mira::present(host, page, true, mira::WindowPresentStyle::sheet, std::nullopt);
}
