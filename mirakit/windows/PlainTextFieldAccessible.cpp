#include "PlainTextFieldAccessible_p.h"

#include "PlainTextField.h"

#include <QFontMetrics>

namespace mira {

PlainTextFieldAccessible::PlainTextFieldAccessible(PlainTextField *field)
    : QAccessibleWidget(field, QAccessible::EditableText)
{
}

QAccessibleInterface *PlainTextFieldAccessible::factory(const QString &, QObject *object)
{
    if (auto *field = qobject_cast<PlainTextField *>(object))
        return new PlainTextFieldAccessible(field);
    return nullptr;
}

PlainTextField *PlainTextFieldAccessible::field() const
{
    return static_cast<PlainTextField *>(widget());
}

void *PlainTextFieldAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString PlainTextFieldAccessible::text(QAccessible::Text type) const
{
    if (type == QAccessible::Value)
        return field()->displayText();
    const QString text = QAccessibleWidget::text(type);
    if (type == QAccessible::Name && text.isEmpty())
        return field()->placeholderText();
    return text;
}

void PlainTextFieldAccessible::setText(QAccessible::Text type, const QString &text)
{
    if (type != QAccessible::Value) {
        QAccessibleWidget::setText(type, text);
        return;
    }
    if (!field()->isReadOnly())
        field()->setText(text);
}

QAccessible::State PlainTextFieldAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = field()->isReadOnly();
    state.editable = !field()->isReadOnly();
    state.selectableText = true;
    state.passwordEdit = field()->echoMode() != QLineEdit::Normal;
    return state;
}

void PlainTextFieldAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !field()->hasSelectedText())
        return;
    *startOffset = field()->selectionStart();
    *endOffset = field()->selectionEnd();
}

int PlainTextFieldAccessible::selectionCount() const
{
    return field()->hasSelectedText() ? 1 : 0;
}

void PlainTextFieldAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void PlainTextFieldAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        field()->deselect();
}

void PlainTextFieldAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        field()->setSelection(startOffset, endOffset - startOffset);
}

int PlainTextFieldAccessible::cursorPosition() const
{
    return field()->cursorPosition();
}

void PlainTextFieldAccessible::setCursorPosition(int position)
{
    field()->setCursorPosition(position);
}

QString PlainTextFieldAccessible::text(int startOffset, int endOffset) const
{
    if (startOffset > endOffset)
        return {};
    return field()->displayText().mid(startOffset, endOffset - startOffset);
}

int PlainTextFieldAccessible::characterCount() const
{
    return int(field()->displayText().size());
}

QRect PlainTextFieldAccessible::characterRect(int offset) const
{
    const QString shown = field()->displayText();
    if (offset < 0 || offset >= shown.size())
        return {};
    // Measured from the caret, whose place the field knows; the caret rectangle
    // pads the caret by 5 pixels before it.
    const QFontMetrics metrics(field()->font());
    const QRect caret = field()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const int caretX = caret.x() + 5;
    const int x = caretX - metrics.horizontalAdvance(shown.left(field()->cursorPosition()))
        + metrics.horizontalAdvance(shown.left(offset));
    const QRect local(x, caret.y(), metrics.horizontalAdvance(shown.at(offset)), caret.height());
    return QRect(field()->mapToGlobal(local.topLeft()), local.size());
}

int PlainTextFieldAccessible::offsetAtPoint(const QPoint &point) const
{
    return field()->cursorPositionAt(field()->mapFromGlobal(point));
}

void PlainTextFieldAccessible::scrollToSubstring(int, int endIndex)
{
    field()->setCursorPosition(endIndex);
}

QString PlainTextFieldAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = offset;
    return {};
}

void PlainTextFieldAccessible::deleteText(int startOffset, int endOffset)
{
    replaceText(startOffset, endOffset, QString());
}

void PlainTextFieldAccessible::insertText(int offset, const QString &text)
{
    replaceText(offset, offset, text);
}

void PlainTextFieldAccessible::replaceText(int startOffset, int endOffset, const QString &text)
{
    QString edited = field()->text();
    if (field()->isReadOnly() || startOffset < 0 || endOffset < startOffset || endOffset > edited.size())
        return;
    edited.replace(startOffset, endOffset - startOffset, text);
    field()->setText(edited);
}

} // namespace mira
