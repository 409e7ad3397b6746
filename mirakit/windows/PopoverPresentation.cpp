#include "PopoverPresentation.h"

#include "PopoverViewController.h"
#include "PopoverWindow.h"
#include "WindowRelations.h"
#include "WindowRelations_p.h"

#include <QWidget>

namespace mira {

PopoverWindow *popover(QWidget *receiver, QWidget *contentViewController, QWidget *sourceView, WindowPopoverStyle style,
    const PopoverConfiger &configer, PresentCompletion completion)
{
    if (!contentViewController)
        return nullptr;
    if (!receiver || !receiver->window()->isVisible()) {
        // The page was handed over; with nowhere to show it, it goes.
        contentViewController->deleteLater();
        return nullptr;
    }
    QWidget *host = receiver->window();
    // A page that holds the receiver would take its own window into the popover.
    if (contentViewController == host || contentViewController->isAncestorOf(receiver))
        return nullptr;
    auto *controller = new PopoverViewController(contentViewController, sourceView, configer);
    auto *window = new PopoverWindow(controller, configer.appearance);
    window->setDeleteAfterClosing(true);
    popover(host, window, style, std::move(completion));
    return window;
}

void popover(QWidget *parent, PopoverWindow *window, WindowPopoverStyle style, PresentCompletion completion)
{
    if (!parent || !window || parent->window() == window)
        return;
    QWidget *host = parent->window();
    if (window->parentWidget() != host)
        window->setParent(host, window->windowFlags());
    detail::addChildWindow(host, window);
    QRect frame;
    if (auto *controller = qobject_cast<PopoverViewController *>(window->contentViewController()))
        frame = controller->calculateWindowFrame();
    if (frame.isEmpty()) {
        window->resize(window->sizeHint().expandedTo(QSize(1, 1)));
        detail::centreOn(host, window);
    } else {
        window->setGeometry(frame);
    }
    window->show();
    window->raise();
    window->activateWindow();
    window->setStyle(style);
    window->setAttribute(Qt::WA_QuitOnClose, false);
    if (completion)
        completion();
}

void dismissPopover(QWidget *receiver, PresentCompletion completion)
{
    if (!receiver)
        return;
    QWidget *window = receiver->window();
    if (auto *popover = qobject_cast<PopoverWindow *>(window)) {
        popover->closePopover(std::move(completion));
        return;
    }
    if (QWidget *parent = parentWindow(window))
        detail::removeChildWindow(parent, window);
    window->hide();
    if (completion)
        completion();
}

} // namespace mira
