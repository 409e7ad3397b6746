#pragma once

#include <mirakit/mirakit_export.h>
#include <mirakit/windows/CenterTextFieldCell.h>

#include <QColor>
#include <QLineEdit>

#include <memory>

namespace mira {

class PlainTextFieldPrivate;

/**
 * A single-line text input with its text centred vertically, an optional
 * caret colour, signals around gaining focus, and no focus of its own when
 * its window first opens.
 *
 * When a window opens, Qt hands focus to its first focusable widget; a
 * PlainTextField gives that automatic focus back on the next turn of the
 * event loop, so a form never opens with a field already being edited. Focus
 * from the user (click, Tab) or from becomeFirstResponder() stays. To open a
 * window with a field focused, call becomeFirstResponder() once it is shown.
 *
 * QLineEdit draws its caret in the palette's Text colour and Qt 6.4 offers
 * no separate caret role, so with an insertionPointColor set the field draws
 * its own caret over Qt's, in that colour and without blinking.
 *
 * Assistive technology sees editable text named by accessibleName(), else by
 * a QLabel whose buddy the field is, else by the placeholder text.
 *
 * Defaults: no caret colour (Qt's caret in the Text colour); text aligned as
 * QLineEdit aligns it, at the leading edge and centred vertically.
 *
 * @code
 * auto *name = new mira::PlainTextField(form);
 * name->setPlaceholderText(tr("Name"));
 * name->setInsertionPointColor(QColor(42, 192, 129));
 * connect(name, &mira::PlainTextField::didBecomeFirstResponder, form, &Form::showHints);
 * @endcode
 */
class MIRAKIT_EXPORT PlainTextField : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(QColor insertionPointColor READ insertionPointColor WRITE setInsertionPointColor NOTIFY
            insertionPointColorChanged)

public:
    explicit PlainTextField(QWidget *parent = nullptr);
    ~PlainTextField() override;

    /// The caret's colour; invalid (the default) for Qt's own caret.
    QColor insertionPointColor() const;
    void setInsertionPointColor(const QColor &color);

    /// Asks for keyboard focus: emits willBecomeFirstResponder(), then, if
    /// the field can take focus (enabled, visible, a focus policy),
    /// focuses it. Returns whether the field has focus now. A field that has
    /// focus already emits didBecomeFirstResponder() again.
    bool becomeFirstResponder();

    /// Puts the caret after the last character with nothing selected.
    void clearSelect();
    /// Selects @p length characters from @p start, the caret after them;
    /// with @p length 0 the caret goes to @p start.
    void selectText(int start, int length);

    /// The cell the text is shown with; a CenterTextFieldCell by default.
    CenterTextFieldCell *cell() const;
    /// Installs @p cell (taken over) in place of the current one and shows
    /// the text as it says; the text, caret, selection and focus stay.
    void updateCell(std::unique_ptr<CenterTextFieldCell> cell);

Q_SIGNALS:
    void insertionPointColorChanged(const QColor &color);
    /// Focus is about to come: from becomeFirstResponder() (even when it
    /// then fails), a click or Tab.
    void willBecomeFirstResponder();
    /// The field has keyboard focus now (or was asked for it while it had it).
    void didBecomeFirstResponder();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    std::unique_ptr<PlainTextFieldPrivate> const d;
};

} // namespace mira
