#include "WindowPresentation.h"

#include "SheetShield_p.h"
#include "SheetWindow.h"
#include "StandardWindowButtons.h"
#include "WindowPresentation_p.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace mira {

namespace {

const char relationProperty[] = "_mira_presentedAs";
const char sheetOrderProperty[] = "_mira_sheetOrder";
const char recordProperty[] = "standardButtonEnableTemp";
const char sheetRelation[] = "sheet";
const char childRelation[] = "child";

const QString zoomKey = QStringLiteral("zoomButton");
const QString closeKey = QStringLiteral("closeButton");
const QString miniaturizeKey = QStringLiteral("miniaturizeButton");
const QString resizableKey = QStringLiteral("styleMask.resizable");

QWidget *relatedParent(const QWidget *window, const char *relation)
{
    if (!window || window->property(relationProperty).toByteArray() != relation)
        return nullptr;
    return window->parentWidget();
}

void attach(QWidget *parent, QWidget *window, const char *relation)
{
    const QRect frame = window->geometry();
    if (window->parentWidget() != parent || !(window->windowFlags() & Qt::Tool))
        window->setParent(parent, Qt::Tool | Qt::FramelessWindowHint);
    window->resize(frame.size());
    window->setProperty(relationProperty, QByteArray(relation));
}

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

} // namespace

namespace detail {

void beginSheet(QWidget *parent, QWidget *sheet, bool critical)
{
    // A sheet is part of its parent window rather than a window of its own:
    // it moves with the parent on every display server (Wayland ignores where
    // a client puts its top-level windows) and needs no compositor for its
    // rounded corners.
    const QSize size = sheet->size();
    if (sheet->parentWidget() != parent || sheet->isWindow())
        sheet->setParent(parent, Qt::Widget);
    sheet->resize(size);
    sheet->setProperty(relationProperty, QByteArray(sheetRelation));
    static quint64 presented = 0;
    sheet->setProperty(sheetOrderProperty, ++presented);
    if (!SheetShield::of(sheet))
        new SheetShield(parent, sheet);
    sheet->show();
    sheet->raise();
    if (!critical) {
        // A critical sheet stays ahead of every sheet that comes after it.
        const auto siblings = parent->findChildren<SheetWindow *>(Qt::FindDirectChildrenOnly);
        for (SheetWindow *other : siblings) {
            if (other != sheet && other->isVisible() && other->style() == WindowPresentStyle::criticalSheet)
                other->raise();
        }
    }
    if (!sheet->isAncestorOf(QApplication::focusWidget()))
        focusFirstChild(sheet);
}

void endSheet(QWidget *parent, QWidget *sheet)
{
    if (relatedParent(sheet, sheetRelation) != parent)
        return;
    sheet->hide();
    SheetShield::release(sheet);
    sheet->setProperty(relationProperty, QVariant());
}

void focusFirstChild(QWidget *container)
{
    for (QWidget *widget = container->nextInFocusChain(); widget && widget != container;
         widget = widget->nextInFocusChain()) {
        if (container->isAncestorOf(widget) && (widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(container)
            && widget->isEnabled()) {
            widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    container->setFocus(Qt::OtherFocusReason);
}

void addChildWindow(QWidget *parent, QWidget *child)
{
    attach(parent, child, childRelation);
}

void removeChildWindow(QWidget *parent, QWidget *child)
{
    if (relatedParent(child, childRelation) == parent)
        child->setProperty(relationProperty, QVariant());
}

void centreOn(QWidget *parent, QWidget *window)
{
    const QRect p = parent->frameGeometry();
    const QRect w = window->frameGeometry();
    window->move(qRound(p.x() + (p.width() - w.width()) * 0.5), qRound(p.y() + (p.height() - w.height()) * 0.5));
    window->repaint();
}

} // namespace detail

QWidget *sheetParent(const QWidget *window)
{
    return relatedParent(window, sheetRelation);
}

QWidget *parentWindow(const QWidget *window)
{
    return relatedParent(window, childRelation);
}

void present(QWidget *parent, QWidget *window, bool isEnableStandardButton, WindowPresentStyle style,
    PresentCompletion completion)
{
    if (!parent || !window)
        return;
    QWidget *host = parent->window();
    switch (style) {
    case WindowPresentStyle::sheet:
    case WindowPresentStyle::criticalSheet:
        detail::beginSheet(host, window, style == WindowPresentStyle::criticalSheet);
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

QList<QWidget *> attachedSheets(const QWidget *window)
{
    QList<QWidget *> sheets;
    if (!window)
        return sheets;
    for (QObject *child : window->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (widget && sheetParent(widget) == window)
            sheets.append(widget);
    }
    std::stable_sort(sheets.begin(), sheets.end(), [](const QWidget *a, const QWidget *b) {
        return a->property(sheetOrderProperty).toULongLong() < b->property(sheetOrderProperty).toULongLong();
    });
    return sheets;
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

void disableStandardButtonState(QWidget *window)
{
    if (!window)
        return;
    QVariantMap record;
    const std::pair<StandardWindowButton, QString> buttons[] = {
        { StandardWindowButton::zoom, zoomKey },
        { StandardWindowButton::close, closeKey },
        { StandardWindowButton::miniaturize, miniaturizeKey },
    };
    for (const auto &[button, key] : buttons) {
        if (!StandardWindowButtons::hasButton(window, button))
            continue;
        record.insert(key, StandardWindowButtons::isButtonEnabled(window, button));
        StandardWindowButtons::setButtonEnabled(window, button, false);
    }
    const WindowStyleMask mask = StandardWindowButtons::styleMask(window);
    if (mask & WindowStyle::resizable) {
        record.insert(resizableKey, true);
        StandardWindowButtons::setStyleMask(window, mask & ~WindowStyleMask(WindowStyle::resizable));
    }
    window->setProperty(recordProperty, record);
}

void restoreDisableStandardButtonState(QWidget *window)
{
    if (!window)
        return;
    const QVariant stored = window->property(recordProperty);
    if (!stored.isValid())
        return;
    const QVariantMap record = stored.toMap();
    const std::pair<StandardWindowButton, QString> buttons[] = {
        { StandardWindowButton::zoom, zoomKey },
        { StandardWindowButton::close, closeKey },
        { StandardWindowButton::miniaturize, miniaturizeKey },
    };
    for (const auto &[button, key] : buttons) {
        const QVariant value = record.value(key);
        if (value.typeId() == QMetaType::Bool && StandardWindowButtons::hasButton(window, button))
            StandardWindowButtons::setButtonEnabled(window, button, value.toBool());
    }
    if (record.value(resizableKey).toBool()) {
        StandardWindowButtons::setStyleMask(window, StandardWindowButtons::styleMask(window) | WindowStyle::resizable);
    }
    window->setProperty(recordProperty, QVariant());
}

QVariantMap standardButtonEnableTemp(const QWidget *window)
{
    return window ? window->property(recordProperty).toMap() : QVariantMap();
}

} // namespace mira
