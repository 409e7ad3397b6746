#include "CenterTextFieldCell.h"

#include <QStyle>
#include <QStyleOptionFrame>

namespace mira {

CenterTextFieldCell::~CenterTextFieldCell() = default;

QRectF CenterTextFieldCell::centeredRect(const QRectF &titleRect, qreal textHeight)
{
    return QRectF(
        titleRect.x(), titleRect.y() + (titleRect.height() - textHeight) * 0.5, titleRect.width(), textHeight);
}

QRectF CenterTextFieldCell::textRect(const QLineEdit *field) const
{
    QStyleOptionFrame option;
    option.initFrom(field);
    const QRect area = field->style()
                           ->subElementRect(QStyle::SE_LineEditContents, &option, field)
                           .marginsRemoved(field->textMargins());
    return centeredRect(area, field->fontMetrics().height());
}

QLineEdit::EchoMode CenterTextFieldCell::echoMode() const
{
    return QLineEdit::Normal;
}

QLineEdit::EchoMode CenterSecureTextFieldCell::echoMode() const
{
    return QLineEdit::Password;
}

} // namespace mira
