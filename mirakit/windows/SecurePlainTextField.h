#pragma once

#include <mirakit/windows/PlainTextField.h>

namespace mira {

/**
 * A PlainTextField for passwords that can show its text on demand.
 *
 * While secureTextEntry is on (the default) the field shows bullets
 * (QLineEdit::Password): its text cannot be copied, cut or dragged out (the
 * cut shortcut does nothing rather than delete), and input methods and
 * assistive technology are told the bullets, never the text.
 * Turning it off shows the text. Switching installs the other cell
 * (CenterSecureTextFieldCell or CenterTextFieldCell) and keeps the text, the
 * caret position, the selection and focus, so a "show password" switch can
 * be flipped while the user types.
 *
 * @code
 * auto *password = new mira::SecurePlainTextField(form);
 * connect(showSwitch, &mira::MiraSwitch::clicked, password,
 *     [password](bool show) { password->setSecureTextEntry(!show); });
 * @endcode
 */
class MIRAKIT_EXPORT SecurePlainTextField : public PlainTextField {
    Q_OBJECT
    Q_PROPERTY(bool secureTextEntry READ isSecureTextEntry WRITE setSecureTextEntry NOTIFY secureTextEntryChanged)

public:
    explicit SecurePlainTextField(QWidget *parent = nullptr);
    ~SecurePlainTextField() override;

    /// Whether the text is hidden; true by default.
    bool isSecureTextEntry() const;
    void setSecureTextEntry(bool secure);

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

Q_SIGNALS:
    void secureTextEntryChanged(bool secure);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace mira
