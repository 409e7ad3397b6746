#include "PlainTextField.h"

#include "PlainTextFieldAccessible_p.h"

#include <platform/Scheduler.h>

#include <QFocusEvent>
#include <QPainter>
#include <QPointer>
#include <QStyle>

namespace mira {

class PlainTextFieldPrivate {
public:
    QColor insertionPointColor;
    bool focusRequested = false; // willBecomeFirstResponder() already emitted for the coming focus
    bool focusedOnPurpose = false; // focus has come other than by Qt's pick for a new window
};

PlainTextField::PlainTextField(QWidget *parent)
    : QLineEdit(parent)
    , d(std::make_unique<PlainTextFieldPrivate>())
{
    static const bool accessible = (QAccessible::installFactory(PlainTextFieldAccessible::factory), true);
    Q_UNUSED(accessible);
}

PlainTextField::~PlainTextField() = default;

QColor PlainTextField::insertionPointColor() const
{
    return d->insertionPointColor;
}

void PlainTextField::setInsertionPointColor(const QColor &color)
{
    if (d->insertionPointColor == color)
        return;
    d->insertionPointColor = color;
    update();
    Q_EMIT insertionPointColorChanged(color);
}

bool PlainTextField::becomeFirstResponder()
{
    Q_EMIT willBecomeFirstResponder();
    if (hasFocus())
        return true;
    if (!isEnabled() || !isVisible() || focusPolicy() == Qt::NoFocus)
        return false;
    d->focusRequested = true;
    d->focusedOnPurpose = true;
    // In an inactive window focus arrives when the window is activated.
    setFocus(Qt::OtherFocusReason);
    return hasFocus();
}

void PlainTextField::clearSelect()
{
    setCursorPosition(int(text().size()));
}

void PlainTextField::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (event->reason() == Qt::ActiveWindowFocusReason && !d->focusedOnPurpose) {
        // Qt's pick for a window that just opened, not the user's: hand it back.
        const QPointer<PlainTextField> guard(this);
        platform::Scheduler::shared().post([guard] {
            if (guard && guard->hasFocus() && !guard->d->focusedOnPurpose)
                guard->clearFocus();
        });
        return;
    }
    d->focusedOnPurpose = true;
    if (!d->focusRequested)
        Q_EMIT willBecomeFirstResponder();
    d->focusRequested = false;
    Q_EMIT didBecomeFirstResponder();
}

void PlainTextField::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    if (!d->insertionPointColor.isValid() || !hasFocus() || hasSelectedText() || isReadOnly())
        return;
    // cursorRect() pads the caret by 5 pixels before it and is one pixel taller than the line.
    const QRect padded = cursorRect();
    if (padded.isEmpty())
        return;
    const int width = std::max(1, style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, this));
    QPainter painter(this);
    painter.fillRect(QRect(padded.x() + 5, padded.y(), width, padded.height() - 1), d->insertionPointColor);
}

} // namespace mira
