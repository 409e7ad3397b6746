#include "SecurePlainTextField.h"

#include <QKeyEvent>

namespace mira {

SecurePlainTextField::SecurePlainTextField(QWidget *parent)
    : PlainTextField(parent)
{
    updateCell(std::make_unique<CenterSecureTextFieldCell>());
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
    if (secure)
        updateCell(std::make_unique<CenterSecureTextFieldCell>());
    else
        updateCell(std::make_unique<CenterTextFieldCell>());
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
