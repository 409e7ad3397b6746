#include "WindowPresentation.h"

#include "SheetWindow.h"
#include "WindowRelations_p.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace mira {

namespace {

// Ends a window that is not a SheetWindow the way it was shown.
void dismissWindow(QWidget *receiver, PresentCompletion completion)
{
    QWidget *window = receiver;
    while (!window->isWindow() && !sheetParent(window))
        window = window->parentWidget();
    if (QWidget *parent = sheetParent(window)) {
        restoreDisableStandardButtonState(parent);
        detail::endSheet(parent, window);
    } else if (QWidget *parent = parentWindow(window)) {
        restoreDisableStandardButtonState(parent);
        detail::removeChildWindow(parent, window);
        window->hide();
    } else {
        restoreDisableStandardButtonState(window);
        window->hide();
    }
    if (completion)
        completion();
}

// A critical sheet stays ahead of every sheet that comes after it.
void keepCriticalSheetsAhead(QWidget *parent, QWidget *sheet)
{
    const auto siblings = parent->findChildren<SheetWindow *>(Qt::FindDirectChildrenOnly);
    for (SheetWindow *other : siblings) {
        if (other != sheet && other->isVisible() && other->style() == WindowPresentStyle::criticalSheet)
            other->raise();
    }
}

} // namespace

void present(QWidget *parent, QWidget *window, bool isEnableStandardButton, WindowPresentStyle style,
    PresentCompletion completion)
{
    if (!parent || !window)
        return;
    QWidget *host = parent->window();
    switch (style) {
    case WindowPresentStyle::sheet:
        detail::beginSheet(host, window);
        keepCriticalSheetsAhead(host, window);
        break;
    case WindowPresentStyle::criticalSheet:
        detail::beginSheet(host, window);
        break;
    case WindowPresentStyle::popup:
    case WindowPresentStyle::center:
        detail::addChildWindow(host, window);
        detail::centreOn(host, window);
        window->show();
        window->raise();
        window->activateWindow();
        break;
    }
    if (!isEnableStandardButton)
        disableStandardButtonState(host);
    if (auto *sheet = qobject_cast<SheetWindow *>(window)) {
        sheet->setStyle(style);
        sheet->configerStyle();
    }
    // Closing a presented window never ends the application.
    window->setAttribute(Qt::WA_QuitOnClose, false);
    if (completion)
        completion();
}

void present(QWidget *receiver, QWidget *controller, bool isEnableStandardButton, WindowPresentStyle style,
    const std::optional<QPalette> &appearance, PresentCompletion completion)
{
    if (!controller)
        return;
    if (!receiver) {
        // The page was handed over; with nowhere to show it, it goes.
        controller->deleteLater();
        return;
    }
    auto *window = new SheetWindow(controller, appearance);
    window->setDeleteAfterClosing(true);
    present(receiver->window(), window, isEnableStandardButton, style, std::move(completion));
}

SheetWindow *sheetWindowOf(const QWidget *widget)
{
    for (QWidget *w = const_cast<QWidget *>(widget); w; w = w->parentWidget()) {
        if (auto *sheet = qobject_cast<SheetWindow *>(w))
            return sheet;
        if (w->isWindow())
            break;
    }
    return nullptr;
}

void dismiss(QWidget *receiver, PresentCompletion completion)
{
    if (!receiver)
        return;
    if (auto *sheet = sheetWindowOf(receiver)) {
        restoreDisableStandardButtonState(sheet);
        sheet->closeWindow(std::move(completion));
        return;
    }
    dismissWindow(receiver, std::move(completion));
}

void dismiss(QWidget *receiver, int returnCode, DismissCompletion completion)
{
    if (!receiver)
        return;
    const auto report = [returnCode, completion = std::move(completion)] {
        if (completion)
            completion(returnCode);
    };
    if (auto *sheet = sheetWindowOf(receiver)) {
        restoreDisableStandardButtonState(sheet);
        sheet->closeWindow(returnCode, report);
        return;
    }
    dismissWindow(receiver, report);
}

void center(QWidget *window, QWidget *aligment, const std::optional<QPointF> &offset)
{
    if (!window || aligment == window)
        return;
    QRect reference;
    if (aligment) {
        reference = aligment->frameGeometry();
    } else if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        reference = QRect(QPoint(0, 0), screen->geometry().size());
    } else {
        reference = QRect(0, 0, 0, 0);
    }
    const QRect frame = window->frameGeometry();
    QPointF origin(reference.x() - std::ceil((frame.width() - reference.width()) * 0.5),
        reference.y() - std::ceil((frame.height() - reference.height()) * 0.5));
    if (offset)
        origin += *offset;
    window->move(origin.toPoint());
    window->repaint();
}

} // namespace mira
