#include "QZAlert.h"

#include "LayoutConstraint.h"
#include "QZCloseButton.h"
#include "QZCornerView.h"
#include "QZKeyWindow.h"
#include "QZLabel.h"
#include "WindowPresentation.h"

#include <platform/Scheduler.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPointer>

#include <algorithm>
#include <typeinfo>

namespace mira {

namespace {

using C = LayoutConstraint;
using A = LayoutConstraint::Attribute;
using R = LayoutConstraint::Relation;

C pin(QWidget *item, A attribute, QWidget *other, A otherAttribute, qreal constant = 0)
{
    return C(item, attribute, R::equal, other, otherAttribute, 1, constant);
}

// The least size a button takes: the setting's, or more when its title needs
// it, so that a translated title or a large font is never clipped.
QSize buttonSize(const QAbstractButton *button, const QZAlertSet &s)
{
    const QSize hint = button->sizeHint();
    return QSize(std::max(qCeil(s.buttonWidth), hint.width()), std::max(qCeil(s.buttonHeight), hint.height()));
}

void setColor(QLabel *label, const QColor &color)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

} // namespace

class QZAlertPrivate {
public:
    QZKeyWindow *window = nullptr;
    QPointer<QZCornerView> content;
    QPointer<QLabel> icon;
    QPointer<QLabel> title;
    QPointer<QLabel> intro;
    QPointer<QAbstractButton> confirm;
    QPointer<QAbstractButton> cancel;
    QPointer<QWidget> buttonBox;
};

QZAlertSet &QZAlert::setting()
{
    // Function-local statics are created once, even with concurrent callers.
    static QZAlertSet *shared = [] {
        auto *set = new QZAlertSet;
        set->setAlignment(1);
        return set;
    }();
    return *shared;
}

QZAlert::QZAlert()
    : d(std::make_unique<QZAlertPrivate>())
{
    d->window = new QZKeyWindow;
    d->window->setDeleteAfterClosing(true);
    setParent(d->window);
    d->content = new QZCornerView;
    d->content->setCornerRadius(10);
    d->window->setContentViewController(d->content);
}

QZAlert::~QZAlert() = default;

QZAlert *QZAlert::create()
{
    return new QZAlert;
}

QZAlert *QZAlert::alertWithTitle(const QString &title, const QString &info)
{
    const QZAlertSet &s = setting();
    auto *alert = new QZAlert;
    QZAlertPrivate *d = alert->d.get();
    d->icon = new QLabel(d->content);
    d->icon->setObjectName(QStringLiteral("QZAlertIcon"));
    d->icon->setPixmap(s.icon);
    if (!title.isEmpty()) {
        d->title = QZLabel::label(title, d->content);
        d->title->setObjectName(QStringLiteral("QZAlertTitle"));
        d->title->setFont(s.titleFont);
        setColor(d->title, s.titleColor);
    }
    d->intro = QZLabel::label(info, d->content);
    d->intro->setObjectName(QStringLiteral("QZAlertIntroduction"));
    d->intro->setFont(s.introlductionFont);
    setColor(d->intro, s.introlductionColor);
    const Qt::Alignment textAlignment
        = s.alignment == 0 ? Qt::AlignLeading | Qt::AlignTop : Qt::AlignHCenter | Qt::AlignTop;
    for (QLabel *label : { d->title.data(), d->intro.data() }) {
        if (label)
            label->setAlignment(textAlignment);
    }
    d->window->setWindowTitle(title);
    d->content->setAccessibleName(title);
    d->content->setAccessibleDescription(info);
    alert->layoutAlert();
    return alert;
}

QWidget *QZAlert::mainWindow()
{
    // A popup, a popover or a presented window is never the main window, even when active.
    const auto isMain = [](const QWidget *window) {
        const Qt::WindowType type = window->windowType();
        return (type == Qt::Window || type == Qt::Dialog) && !sheetParent(window) && !parentWindow(window);
    };
    if (QWidget *active = QApplication::activeWindow(); active && isMain(active))
        return active;
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window->isVisible() && isMain(window))
            return window;
    }
    return QApplication::activeModalWidget();
}

QWidget *QZAlert::existedWindow()
{
    QWidget *window = mainWindow();
    const QList<QWidget *> sheets = attachedSheets(window);
    return sheets.isEmpty() ? window : sheets.last();
}

void QZAlert::endAttachedAlert()
{
    endAttachedAlertWithCode(QZKeyWindow::returnCodeClose);
}

void QZAlert::endAttachedAlertWithCode(int returnCode)
{
    const QList<QWidget *> sheets = attachedSheets(mainWindow());
    if (!sheets.isEmpty())
        dismiss(sheets.last(), returnCode, {});
}

void QZAlert::endAlertByWindowTitle(const QString &title)
{
    if (title.isEmpty())
        return;
    const QList<QWidget *> sheets = attachedSheets(mainWindow());
    for (QWidget *sheet : sheets) {
        if (sheet->windowTitle() == title) {
            dismiss(sheet, QZKeyWindow::returnCodeClose, {});
            return;
        }
    }
}

void QZAlert::endControllerSheet(QWidget *controller, int returnCode)
{
    SheetWindow *sheet = sheetWindowOf(controller);
    if (sheet && (sheetParent(sheet) || parentWindow(sheet)))
        dismiss(sheet, returnCode, {});
}

bool beginSheetWithCompletion(QWidget *controller, QZAlert::Completion completion)
{
    return QZAlert::create()->beginSheetViewController(controller, nullptr, std::move(completion));
}

void endSheet(QWidget *controller)
{
    QZAlert::endControllerSheet(controller, QZKeyWindow::returnCodeClose);
}

void endSheetWithCode(QWidget *controller, int returnCode)
{
    QZAlert::endControllerSheet(controller, returnCode);
}

QZKeyWindow *QZAlert::window() const
{
    return d->window;
}

QAbstractButton *QZAlert::confirmButton() const
{
    return d->confirm;
}

QAbstractButton *QZAlert::cancelButton() const
{
    return d->cancel;
}

QLabel *QZAlert::titleLabel() const
{
    return d->title;
}

QLabel *QZAlert::introlLabel() const
{
    return d->intro;
}

void QZAlert::addConfirmButton(QAbstractButton *button)
{
    if (!button || !d->content)
        return;
    button->setParent(buttonParent());
    button->show();
    d->confirm = button;
    d->window->setDefaultButton(button);
    connect(button, &QAbstractButton::clicked, d->window, &QZKeyWindow::confirmSheet);
    layoutAlert();
}

void QZAlert::addCancelButton(QAbstractButton *button, Action action)
{
    if (!button || !d->content)
        return;
    button->setParent(buttonParent());
    button->show();
    d->cancel = button;
    if (action)
        connect(button, &QAbstractButton::clicked, this, [action = std::move(action)] { action(); });
    else
        connect(button, &QAbstractButton::clicked, d->window, &QZKeyWindow::cancelSheet);
    layoutAlert();
}

void QZAlert::beginSheet()
{
    beginSheetInWindow(nullptr, {});
}

void QZAlert::beginSheetWithCompletion(Completion completion)
{
    beginSheetInWindow(nullptr, std::move(completion));
}

void QZAlert::beginSheetWithCancel(Action cancel, Action confirm)
{
    beginSheetInWindow(nullptr, [cancel = std::move(cancel), confirm = std::move(confirm)](int returnCode) {
        if (returnCode == QZKeyWindow::returnCodeConfirm && confirm)
            confirm();
        else if (returnCode == QZKeyWindow::returnCodeCancel && cancel)
            cancel();
    });
}

void QZAlert::beginSheetInWindow(QWidget *window, Completion completion)
{
    if (d->window->style())
        return; // Already shown; the first completion stays the only one.
    QWidget *parent = window ? window : existedWindow();
    if (!parent || !parent->window()->isVisible()) {
        discard();
        return;
    }
    QWidget *page = d->window->contentViewController();
    if (setting().displayCloseButton && page) {
        const QPointer<QZKeyWindow> sheet = d->window;
        QZCloseButton::addCloseByTarget(page, [sheet] {
            if (sheet)
                sheet->closeSheet();
        });
    }
    layoutAlert();
    if (completion) {
        connect(d->window, &SheetWindow::ended, d->window, [completion = std::move(completion)](int returnCode) {
            platform::Scheduler::shared().post([completion, returnCode] { completion(returnCode); });
        });
    }
    present(parent, d->window, true, WindowPresentStyle::criticalSheet);
}

bool QZAlert::beginSheetViewController(QWidget *controller, QWidget *window, Completion completionHandle)
{
    if (d->window->style()) {
        // This alert is up already; its page stays.
        if (controller)
            controller->deleteLater();
        return false;
    }
    QWidget *parent = window ? window : mainWindow();
    const auto sameClass = [controller](const QWidget *sheet) {
        const auto *other = qobject_cast<const SheetWindow *>(sheet);
        const QWidget *page = other ? other->contentViewController() : nullptr;
        return page && typeid(*page) == typeid(*controller);
    };
    if (!controller || !parent || !parent->window()->isVisible()) {
        if (controller)
            controller->deleteLater();
        discard();
        return false;
    }
    const QList<QWidget *> sheets = attachedSheets(parent->window());
    if (std::any_of(sheets.begin(), sheets.end(), sameClass)) {
        controller->deleteLater();
        discard();
        return false;
    }
    d->window->setContentViewController(controller);
    delete d->content;
    beginSheetInWindow(parent, std::move(completionHandle));
    return true;
}

void QZAlert::endSheet()
{
    endSheetWithCode(QZKeyWindow::returnCodeClose);
}

void QZAlert::endSheetWithCode(int returnCode)
{
    d->window->endSheetWithCode(returnCode);
}

QWidget *QZAlert::buttonParent()
{
    if (setting().alignment == 0)
        return d->content;
    // The centred layout keeps both buttons in one row that is centred as a whole.
    if (!d->buttonBox) {
        d->buttonBox = new QWidget(d->content);
        d->buttonBox->setObjectName(QStringLiteral("QZAlertButtons"));
        d->buttonBox->show();
    }
    return d->buttonBox;
}

void QZAlert::discard()
{
    d->window->deleteLater();
}

void QZAlert::layoutAlert()
{
    QZCornerView *content = d->content;
    if (!content)
        return;
    const QZAlertSet &s = setting();
    const bool sideBySide = s.alignment == 0;

    // The buttons' row decides whether the alert must be wider than the setting says.
    QAbstractButton *const buttons[] = { d->cancel, d->confirm };
    qreal rowWidth = 0;
    int rowHeight = 0;
    int count = 0;
    for (QAbstractButton *button : buttons) {
        if (!button)
            continue;
        const QSize size = buttonSize(button, s);
        rowWidth += size.width();
        rowHeight = std::max(rowHeight, size.height());
        ++count;
    }
    if (count == 2)
        rowWidth += sideBySide ? s.offsetButton : 10;
    const int width = qCeil(std::max(s.width, rowWidth + 2 * s.marginX));

    const QSize iconSize = d->icon ? d->icon->sizeHint() : QSize(0, 0);
    const int textWidth = std::max(
        1, qFloor(sideBySide ? width - 2 * s.marginX - iconSize.width() - s.offsetIcon : width - 2 * s.marginX));
    qreal y = sideBySide ? s.marginTop : s.marginTop + iconSize.height() + s.offsetIcon;
    if (d->title)
        y += d->title->heightForWidth(textWidth) + s.offsetLabel;
    if (d->intro)
        y += d->intro->heightForWidth(textWidth);
    if (count > 0)
        y += s.offsetLabelButton + rowHeight;
    const int height = qCeil(std::max(s.minHeight, y + s.marginBottom));

    LayoutConstraint::deactivate(LayoutConstraint::constraints(content));
    if (d->buttonBox)
        LayoutConstraint::deactivate(LayoutConstraint::constraints(d->buttonBox));
    QList<C> constraints;
    if (d->icon) {
        constraints << pin(d->icon, A::top, content, A::top, s.marginTop)
                    << (sideBySide ? pin(d->icon, A::leading, content, A::leading, s.marginX)
                                   : pin(d->icon, A::centerX, content, A::centerX));
    }
    // Texts follow the icon: beside it, or centred below it.
    QWidget *above = d->icon;
    for (QLabel *label : { d->title.data(), d->intro.data() }) {
        if (!label)
            continue;
        if (sideBySide && d->icon)
            constraints << pin(label, A::leading, d->icon, A::trailing, s.offsetIcon);
        else
            constraints << pin(label, A::leading, content, A::leading, s.marginX);
        constraints << C::size(label, A::width, textWidth)
                    << C::size(label, A::height, label->heightForWidth(textWidth));
        if (above == d->title)
            constraints << pin(label, A::top, above, A::bottom, s.offsetLabel);
        else if (above && !sideBySide)
            constraints << pin(label, A::top, above, A::bottom, s.offsetIcon);
        else if (above)
            constraints << pin(label, A::top, above, A::top);
        else
            constraints << pin(label, A::top, content, A::top, s.marginTop);
        above = label;
    }

    if (sideBySide) {
        QWidget *trailingNeighbour = nullptr;
        for (QAbstractButton *button : { d->confirm.data(), d->cancel.data() }) {
            if (!button)
                continue;
            const QSize size = buttonSize(button, s);
            constraints << (trailingNeighbour ? pin(button, A::trailing, trailingNeighbour, A::leading, -s.offsetButton)
                                              : pin(button, A::trailing, content, A::trailing, -s.marginX))
                        << pin(button, A::bottom, content, A::bottom, -s.marginBottom)
                        << C::size(button, A::width, size.width()) << C::size(button, A::height, size.height());
            trailingNeighbour = button;
        }
    } else if (d->buttonBox) {
        QWidget *box = d->buttonBox;
        constraints << pin(box, A::bottom, content, A::bottom, -s.marginBottom)
                    << pin(box, A::centerX, content, A::centerX) << C::size(box, A::width, rowWidth)
                    << C::size(box, A::height, rowHeight);
        QList<C> row;
        if (d->cancel) {
            row << pin(d->cancel, A::leading, box, A::leading) << pin(d->cancel, A::top, box, A::top)
                << pin(d->cancel, A::bottom, box, A::bottom)
                << C::size(d->cancel, A::width, buttonSize(d->cancel, s).width());
        }
        if (d->confirm) {
            row << pin(d->confirm, A::trailing, box, A::trailing) << pin(d->confirm, A::top, box, A::top)
                << pin(d->confirm, A::bottom, box, A::bottom)
                << C::size(d->confirm, A::width, buttonSize(d->confirm, s).width());
        }
        LayoutConstraint::activate(row);
    }
    LayoutConstraint::activate(constraints);
    content->setFixedSize(width, height);
    d->window->resize(width, height);
}

} // namespace mira
