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
    std::unique_ptr<CenterTextFieldCell> cell = std::make_unique<CenterTextFieldCell>();
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
    if (hasFocus()) {
        Q_EMIT didBecomeFirstResponder();
        return true;
    }
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
    selectText(int(text().size()), 0);
}

void PlainTextField::selectText(int start, int length)
{
    if (length == 0)
        setCursorPosition(start);
    else
        setSelection(start, length);
}

CenterTextFieldCell *PlainTextField::cell() const
{
    return d->cell.get();
}

void PlainTextField::updateCell(std::unique_ptr<CenterTextFieldCell> cell)
{
    if (!cell)
        return;
    const int cursor = cursorPosition();
    const int selectionStart = this->selectionStart();
    const int selectionLength = int(selectedText().size());
    d->cell = std::move(cell);
    setEchoMode(d->cell->echoMode());
    if (selectionLength == 0)
        selectText(cursor, 0);
    else if (cursor == selectionStart) // selected backwards: the caret stays at the start
        selectText(selectionStart + selectionLength, -selectionLength);
    else
        selectText(selectionStart, selectionLength);
    updateGeometry();
    update();
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
    const QRectF band = d->cell->textRect(this);
    QPainter painter(this);
    painter.fillRect(QRectF(padded.x() + 5, band.y(), width, band.height()), d->insertionPointColor);
}

} // namespace mira
