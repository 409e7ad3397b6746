#include "SheetWindow.h"

#include "FocusChain_p.h"
#include "LayoutConstraint.h"
#include "OutsideClickMonitor_p.h"
#include "PopupTransition_p.h"
#include "SheetCloseButton.h"
#include "SheetWindowCloseProtocol.h"
#include "WindowNotifications.h"
#include "WindowRelations.h"
#include "WindowRelations_p.h"

#include <mirakit/interactive/MouseTracker.h>
#include <mirakit/interactive/ViewBehaverWrapper.h>

#include <platform/NotificationCenter.h>

#include <QAccessibleWidget>
#include <QApplication>
#include <QGraphicsDropShadowEffect>
#include <QKeyEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace mira {

namespace {

// The dark translucent circle behind the badge's button.
class BadgeCircle final : public QWidget {
public:
    explicit BadgeCircle(QWidget *parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(1, 2, 12, 12);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, qRound(255 * 0.3)));
        painter.drawRoundedRect(QRectF(rect()), 6, 6);
    }
};

QPalette lightPalette()
{
    return QApplication::style()->standardPalette();
}

// Assistive technology meets a presented sheet as a modal dialog named after
// its page (or, for a page without a name, after the window it belongs to)
// and described by the page's description, so that the question is heard
// together with the choices.
class SheetWindowAccessible final : public QAccessibleWidget {
public:
    explicit SheetWindowAccessible(SheetWindow *sheet)
        : QAccessibleWidget(sheet, QAccessible::Dialog)
    {
    }

    QString text(QAccessible::Text type) const override
    {
        const QString own = QAccessibleWidget::text(type);
        if (!own.isEmpty() || (type != QAccessible::Name && type != QAccessible::Description))
            return own;
        const QWidget *page = sheet()->contentViewController();
        const QString fromPage = !page  ? QString()
            : type == QAccessible::Name ? page->accessibleName()
                                        : page->accessibleDescription();
        if (!fromPage.isEmpty() || type == QAccessible::Description)
            return fromPage;
        const QWidget *below = sheetParent(sheet());
        if (!below)
            below = parentWindow(sheet());
        if (below && !below->window()->windowTitle().isEmpty())
            return below->window()->windowTitle();
        return QGuiApplication::applicationDisplayName();
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.modal = sheet()->style().has_value() && sheet()->isVisible();
        return state;
    }

private:
    SheetWindow *sheet() const { return static_cast<SheetWindow *>(widget()); }
};

QAccessibleInterface *accessibleFactory(const QString &, QObject *object)
{
    if (auto *sheet = qobject_cast<SheetWindow *>(object))
        return new SheetWindowAccessible(sheet);
    return nullptr;
}

} // namespace

class SheetWindowPrivate {
public:
    QPointer<QWidget> controller;
    std::optional<WindowPresentStyle> style;
    QPointer<OutsideClickMonitor> monitor;
    QWidget *closeView = nullptr;
    SheetCloseButton *closeButton = nullptr;
    bool deleteAfterClosing = false;
};

SheetWindow::SheetWindow(const QRect &contentRect, WindowStyleMask styleMask)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint)
    , d(std::make_unique<SheetWindowPrivate>())
{
    static const bool accessible = (QAccessible::installFactory(accessibleFactory), true);
    Q_UNUSED(accessible);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (contentRect.isValid())
        setGeometry(contentRect);
    StandardWindowButtons::setStyleMask(this, styleMask);
    setPalette(lightPalette());
    setAttribute(Qt::WA_TranslucentBackground);
}

SheetWindow::SheetWindow(QWidget *contentViewController, const std::optional<QPalette> &appearance)
    : SheetWindow(QRect(), WindowStyle::closable)
{
    setContentViewController(contentViewController);
    if (appearance)
        setPalette(*appearance);
    else if (const QWidget *main = QApplication::activeWindow())
        setPalette(main->palette());
    if (!contentViewController)
        return;

    QPointF offset(0, 0);
    if (auto *closing = dynamic_cast<SheetWindowCloseProtocol *>(contentViewController)) {
        if (!closing->closeEnable())
            return;
        offset = closing->closeOffset();
    }
    QWidget *badge = closeView();
    badge->setParent(contentViewController);
    badge->show();
    badge->raise();
    // Leading: the badge sits in the top-right corner of a right-to-left page.
    using C = LayoutConstraint;
    C::activate({
        C(badge, C::Attribute::top, C::Relation::equal, contentViewController, C::Attribute::top, 1, offset.x() + 8),
        C(badge, C::Attribute::leading, C::Relation::equal, contentViewController, C::Attribute::leading, 1,
            offset.y() + 8),
        C::size(badge, C::Attribute::width, 14),
        C::size(badge, C::Attribute::height, 16),
    });
}

SheetWindow::~SheetWindow()
{
    platform::NotificationCenter::defaultCenter().removeObserver(this);
    delete d->monitor;
}

QWidget *SheetWindow::contentViewController() const
{
    return d->controller;
}

void SheetWindow::setContentViewController(QWidget *controller)
{
    if (d->controller == controller)
        return;
    if (d->controller)
        layout()->removeWidget(d->controller);
    d->controller = controller;
    if (!controller)
        return;
    // Pages built from interface files carry their design size; what counts
    // is the size their content asks for.
    const QSize hint = controller->sizeHint();
    const QSize size = QLayout::closestAcceptableSize(controller, hint.isValid() ? hint : controller->size());
    layout()->addWidget(controller);
    controller->show();
    resize(size);
}

std::optional<WindowPresentStyle> SheetWindow::style() const
{
    return d->style;
}

void SheetWindow::setStyle(std::optional<WindowPresentStyle> style)
{
    d->style = style;
}

bool SheetWindow::hasLocalMonitor() const
{
    return d->monitor;
}

bool SheetWindow::hasCloseView() const
{
    return d->closeView;
}

QWidget *SheetWindow::closeView()
{
    if (d->closeView)
        return d->closeView;
    d->closeView = new QWidget(this);
    d->closeView->setObjectName(QStringLiteral("SheetWindowCloseView"));
    d->closeView->resize(14, 16);
    new BadgeCircle(d->closeView);
    SheetCloseButton *button = closeButton();
    button->setParent(d->closeView);
    button->setGeometry(0, 0, 14, 16);

    const QPointer<SheetWindow> window = this;
    viewBehaver(d->closeView).mouseTracker()->subscribeMouseTrackEvent([window](MouseTrackEvent event) {
        if (!window)
            return;
        SheetCloseButton *closeButton = window->closeButton();
        if (event == MouseTrackEvent::entered) {
            closeButton->setHighlighted(true);
        } else {
            closeButton->setHighlighted(false);
            closeButton->setAlphaValue(1.0);
        }
    });
    return d->closeView;
}

SheetCloseButton *SheetWindow::closeButton()
{
    if (d->closeButton)
        return d->closeButton;
    d->closeButton = new SheetCloseButton(this);
    d->closeButton->setObjectName(QStringLiteral("SheetWindowCloseButton"));
    connect(d->closeButton, &QAbstractButton::clicked, this, &SheetWindow::closeAction);
    return d->closeButton;
}

void SheetWindow::setDeleteAfterClosing(bool enabled)
{
    d->deleteAfterClosing = enabled;
}

void SheetWindow::closeAction()
{
    auto *closing = dynamic_cast<SheetWindowCloseProtocol *>(d->controller.data());
    if (closing && closing->closeEnable()) {
        closing->closeSheet(closeButton());
        return;
    }
    closeWindow();
}

void SheetWindow::closeWindow(Completion completion)
{
    closeWindow(returnCodeClose, std::move(completion));
}

void SheetWindow::closeWindow(int returnCode, Completion completion)
{
    QWidget *parent = sheetParent(this);
    if (!parent)
        parent = parentWindow(this);
    if (parent)
        restoreDisableStandardButtonState(parent);
    if (!d->style)
        return;

    const QPointer<SheetWindow> self = this;
    const auto finish = [self, returnCode, completion] {
        if (self)
            Q_EMIT self->ended(returnCode);
        if (self && self->d->deleteAfterClosing)
            self->deleteLater();
        if (completion)
            completion();
    };
    switch (*d->style) {
    case WindowPresentStyle::popup:
        popupCloseAnimation([self, finish] {
            if (!self)
                return;
            if (QWidget *p = parentWindow(self))
                detail::removeChildWindow(p, self);
            self->hide();
            finish();
        });
        return;
    case WindowPresentStyle::center:
        if (parent)
            detail::removeChildWindow(parent, this);
        hide();
        break;
    case WindowPresentStyle::sheet:
    case WindowPresentStyle::criticalSheet:
        if (QWidget *sheetHost = sheetParent(this))
            detail::endSheet(sheetHost, this);
        break;
    }
    finish();
}

void SheetWindow::configerStyle()
{
    platform::NotificationCenter::defaultCenter().removeObserver(this);
    if (!d->style)
        return;
    switch (*d->style) {
    case WindowPresentStyle::popup:
        addWindowNotification();
        addLocalMonirorIgnoresParentMouseEvents();
        popupOpenAnimation();
        break;
    case WindowPresentStyle::center:
        addWindowNotification();
        addLocalMonirorIgnoresParentMouseEvents();
        break;
    case WindowPresentStyle::sheet:
    case WindowPresentStyle::criticalSheet:
        if (!graphicsEffect()) {
            // Lifts the sheet off the page it covers.
            auto *shadow = new QGraphicsDropShadowEffect(this);
            shadow->setBlurRadius(24);
            shadow->setOffset(0, 4);
            shadow->setColor(QColor(0, 0, 0, 90));
            setGraphicsEffect(shadow);
        }
        break;
    }
}

void SheetWindow::addWindowNotification()
{
    WindowNotifications::watch(this);
    if (QWidget *parent = parentWidget())
        WindowNotifications::watch(parent->window());
    auto &center = platform::NotificationCenter::defaultCenter();
    center.addObserver(
        WindowNotifications::willClose(), this, [this](const platform::Notification &n) { windowWillClose(n); });
    center.addObserver(
        WindowNotifications::didResize(), this, [this](const platform::Notification &n) { windowResize(n); });
}

void SheetWindow::addLocalMonirorIgnoresParentMouseEvents()
{
    delete d->monitor;
    d->monitor = new OutsideClickMonitor(this);
}

void SheetWindow::popupOpenAnimation(Completion completion)
{
    if (!d->controller)
        return;
    PopupTransition::open(d->controller, std::move(completion));
}

void SheetWindow::popupCloseAnimation(Completion completion)
{
    if (!d->controller)
        return;
    PopupTransition::close(d->controller, std::move(completion));
}

void SheetWindow::windowWillClose(const platform::Notification &notification)
{
    auto *window = qobject_cast<QWidget *>(notification.object);
    if (!window || !window->isWindow())
        return;
    if (window == parentWindow(this))
        closeAction();
}

void SheetWindow::windowResize(const platform::Notification &notification)
{
    auto *window = qobject_cast<QWidget *>(notification.object);
    if (!window || !window->isWindow())
        return;
    QWidget *parent = parentWindow(this);
    if (!parent || (window != parent && window != this))
        return;
    detail::centreOn(parent, this);
}

void SheetWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && d->style && isVisible()) {
        closeAction();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool SheetWindow::focusNextPrevChild(bool next)
{
    if (isWindow() || !sheetParent(this))
        return QWidget::focusNextPrevChild(next);
    // Tab and Backtab go round the sheet's own controls only.
    detail::focusNextChild(this, next);
    return true;
}

void SheetWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // The badge keeps its full strength whether or not the window is active.
    if (event->type() == QEvent::ActivationChange && d->closeButton)
        d->closeButton->setAlphaValue(1.0);
}

} // namespace mira
