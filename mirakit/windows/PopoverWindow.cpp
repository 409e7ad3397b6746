#include "PopoverWindow.h"

#include "FocusChain_p.h"
#include "OutsideClickMonitor_p.h"
#include "PopoverViewController.h"
#include "PopupTransition_p.h"
#include "WindowRelations.h"
#include "WindowRelations_p.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QHideEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QStyle>

#include <utility>
#include <vector>

namespace mira {

namespace {

// Wayland compositors place top-level windows themselves; a popup window
// with a transient parent is the one kind they place where the client asks,
// relative to that parent.
Qt::WindowFlags platformWindowFlags()
{
    const bool wayland = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    return (wayland ? Qt::Popup : Qt::Tool) | Qt::FramelessWindowHint;
}

qreal zoomScale(WindowPopoverStyle style)
{
    return style == WindowPopoverStyle::popover ? 0.8 : 0.9;
}

class PopoverWindowAccessible final : public QAccessibleWidget {
public:
    explicit PopoverWindowAccessible(PopoverWindow *window)
        : QAccessibleWidget(window, QAccessible::Window)
    {
    }

    QString text(QAccessible::Text type) const override
    {
        const QString own = QAccessibleWidget::text(type);
        if (!own.isEmpty() || type != QAccessible::Name)
            return own;
        const QWidget *page = static_cast<PopoverWindow *>(widget())->contentViewController();
        if (auto *controller = qobject_cast<const PopoverViewController *>(page))
            page = controller->contentViewController();
        if (!page)
            return own;
        return page->windowTitle().isEmpty() ? page->accessibleName() : page->windowTitle();
    }
};

QAccessibleInterface *accessibleFactory(const QString &, QObject *object)
{
    if (auto *window = qobject_cast<PopoverWindow *>(object))
        return new PopoverWindowAccessible(window);
    return nullptr;
}

} // namespace

class PopoverWindowPrivate {
public:
    QPointer<QWidget> content;
    WindowPopoverStyle style = WindowPopoverStyle::none;
    QPointer<OutsideClickMonitor> monitor;
    QPointer<QWidget> previousFocus;
    std::vector<PopoverWindow::Completion> completions;
    bool presented = false;
    bool closing = false;
    bool deleteAfterClosing = false;

    void removeMonitor()
    {
        // Deleted later: the monitor may be the one reporting the press that closes the window.
        if (monitor)
            monitor->deleteLater();
        monitor = nullptr;
    }
};

PopoverWindow::PopoverWindow(QWidget *contentViewController, const std::optional<QPalette> &appearance)
    : QWidget(nullptr, platformWindowFlags())
    , d(std::make_unique<PopoverWindowPrivate>())
{
    static const bool accessible = (QAccessible::installFactory(accessibleFactory), true);
    Q_UNUSED(accessible);
    setObjectName(QStringLiteral("PopoverWindow"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_QuitOnClose, false);
    if (appearance)
        setPalette(*appearance);
    else if (const QWidget *active = QApplication::activeWindow())
        setPalette(active->palette());
    else
        setPalette(QApplication::style()->standardPalette());
    d->content = contentViewController;
    if (contentViewController) {
        contentViewController->setParent(this);
        contentViewController->show();
        resize(sizeHint());
    }
}

PopoverWindow::~PopoverWindow() = default;

QWidget *PopoverWindow::contentViewController() const
{
    return d->content;
}

WindowPopoverStyle PopoverWindow::style() const
{
    return d->style;
}

void PopoverWindow::setStyle(WindowPopoverStyle style)
{
    d->style = style;
    configerStyle();
}

bool PopoverWindow::hasLocalMonitor() const
{
    return d->monitor;
}

bool PopoverWindow::isPresented() const
{
    return d->presented;
}

void PopoverWindow::setDeleteAfterClosing(bool enabled)
{
    d->deleteAfterClosing = enabled;
}

QSize PopoverWindow::sizeHint() const
{
    return d->content ? d->content->sizeHint() : QWidget::sizeHint();
}

void PopoverWindow::configerStyle()
{
    d->removeMonitor();
    if (d->style == WindowPopoverStyle::none)
        return;
    const QPointer<PopoverWindow> self = this;
    d->monitor = new OutsideClickMonitor(this, [self] {
        if (!self)
            return;
        auto *controller = qobject_cast<PopoverViewController *>(self->contentViewController());
        if (controller && controller->configer().autoHidden)
            self->closePopover();
    });
    if (d->content)
        PopupTransition::open(d->content, {}, zoomScale(d->style));
}

void PopoverWindow::closePopover(Completion completion)
{
    if (!d->presented) {
        if (completion)
            completion();
        return;
    }
    if (completion)
        d->completions.push_back(std::move(completion));
    if (d->closing)
        return;
    d->closing = true;
    if (d->style == WindowPopoverStyle::none || !d->content) {
        finishClosing();
        return;
    }
    const QPointer<PopoverWindow> self = this;
    PopupTransition::close(
        d->content,
        [self] {
            if (self)
                self->finishClosing();
        },
        zoomScale(d->style));
}

void PopoverWindow::finishClosing()
{
    if (!d->presented)
        return;
    d->presented = false;
    d->closing = false;
    d->removeMonitor();
    QWidget *host = parentWindow(this);
    if (host)
        detail::removeChildWindow(host, this);
    hide();
    // A window shown again, in any style, starts from its full look.
    if (d->content && d->content->graphicsEffect())
        PopupTransition::effectOf(d->content)->setState(1, 1);
    if (QWidget *previous = d->previousFocus; previous && previous->isVisible() && previous->isEnabled()) {
        previous->activateWindow();
        previous->setFocus(Qt::PopupFocusReason);
    } else if (host && host->isVisible()) {
        host->activateWindow();
    }
    d->previousFocus = nullptr;

    const QPointer<PopoverWindow> self = this;
    const std::vector<Completion> completions = std::exchange(d->completions, {});
    Q_EMIT closed();
    for (const Completion &completion : completions) {
        if (completion)
            completion();
    }
    if (self && self->d->deleteAfterClosing)
        self->deleteLater();
}

void PopoverWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (d->presented)
        return;
    d->presented = true;
    d->closing = false;
    if (QWidget *focused = QApplication::focusWidget(); focused && focused->window() != this)
        d->previousFocus = focused;
    detail::focusFirstChild(this);
}

void PopoverWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // Hidden or closed by someone else (on Wayland a press outside a popup
    // closes it): it is closed all the same. Minimising is no closing.
    if (!event->spontaneous())
        finishClosing();
}

void PopoverWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (d->content)
        d->content->setGeometry(rect());
}

void PopoverWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && d->presented) {
        closePopover();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace mira
