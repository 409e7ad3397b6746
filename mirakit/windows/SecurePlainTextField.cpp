#include "SecurePlainTextField.h"

#include <QKeyEvent>

namespace mira {

SecurePlainTextField::SecurePlainTextField(QWidget *parent)
    : PlainTextField(parent)
{
    setEchoMode(QLineEdit::Password);
}

SecurePlainTextField::~SecurePlainTextField() = default;

bool SecurePlainTextField::isSecureTextEntry() const
{
    return echoMode() != QLineEdit::Normal;
}

void SecurePlainTextField::setSecureTextEntry(bool secure)
{
    if (isSecureTextEntry() == secure)
        return;
    const int cursor = cursorPosition();
    const int selectionStart = this->selectionStart();
    const int selectionLength = int(selectedText().size());
    setEchoMode(secure ? QLineEdit::Password : QLineEdit::Normal);
    if (selectionLength == 0)
        setCursorPosition(cursor);
    else if (cursor == selectionStart) // selected backwards: the caret stays at the start
        setSelection(selectionStart + selectionLength, -selectionLength);
    else
        setSelection(selectionStart, selectionLength);
    Q_EMIT secureTextEntryChanged(secure);
}

QVariant SecurePlainTextField::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const QVariant answer = PlainTextField::inputMethodQuery(query);
    if (!isSecureTextEntry())
        return answer;
    switch (query) {
    case Qt::ImSurroundingText:
    case Qt::ImCurrentSelection:
    case Qt::ImTextBeforeCursor:
    case Qt::ImTextAfterCursor:
        // Input methods learn how much there is, never what it is.
        return QString(answer.toString().size(), QChar(0x2022));
    default:
        return answer;
    }
}

void SecurePlainTextField::keyPressEvent(QKeyEvent *event)
{
    // QLineEdit's cut copies nothing from a password but still deletes it;
    // like its disabled Cut menu entry, the shortcut leaves the text alone.
    if (isSecureTextEntry() && event->matches(QKeySequence::Cut)) {
        event->accept();
        return;
    }
    PlainTextField::keyPressEvent(event);
}

} // namespace mira
