#pragma once

#include <mirakit/mirakit_export.h>

#include <QLineEdit>
#include <QRectF>

namespace mira {

/**
 * What a PlainTextField shows its text with: the band of the field's text
 * area, one line of its font high and centred vertically, where the text is
 * drawn, edited and selected, and the echo mode of the text (as written).
 *
 * A field's settings (text, font, alignment, placeholder, ...) live on the
 * field, so replacing its cell through PlainTextField::updateCell() keeps
 * them all.
 */
class MIRAKIT_EXPORT CenterTextFieldCell {
public:
    virtual ~CenterTextFieldCell();

    /// The band of @p textHeight centred vertically in @p titleRect, as wide
    /// as it: a 30-high rectangle and a 17-high text give a band 6.5 lower.
    static QRectF centeredRect(const QRectF &titleRect, qreal textHeight);
    /// centeredRect() of @p field's text area for one line of its font.
    QRectF textRect(const QLineEdit *field) const;
    /// How the text shows; QLineEdit::Normal.
    virtual QLineEdit::EchoMode echoMode() const;
};

/// A CenterTextFieldCell that shows the text as bullets.
class MIRAKIT_EXPORT CenterSecureTextFieldCell : public CenterTextFieldCell {
public:
    /// QLineEdit::Password.
    QLineEdit::EchoMode echoMode() const override;
};

} // namespace mira
