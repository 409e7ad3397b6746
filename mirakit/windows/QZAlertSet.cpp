#include "QZAlertSet.h"

#include <QApplication>
#include <QStyle>

namespace mira {

namespace {

QFont labelFont(qreal points)
{
    QFont font = QApplication::font();
    font.setPointSizeF(points);
    return font;
}

QPixmap tipsIcon()
{
    QPixmap icon(QStringLiteral(":/gr_tips"));
    if (icon.isNull())
        icon = QApplication::style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48);
    return icon;
}

} // namespace

QZAlertSet::QZAlertSet()
    : titleFont(labelFont(14))
    // Alerts are light whatever the theme, so their texts are dark.
    , titleColor(0, 0, 0, qRound(0.85 * 255))
    , introlductionFont(labelFont(13))
    , introlductionColor(0, 0, 0, qRound(0.5 * 255))
    , icon(tipsIcon())
{
}

void QZAlertSet::setAlignment(int value)
{
    alignment = value;
    const bool sideBySide = value == 0;
    width = sideBySide ? 500 : 400;
    minHeight = sideBySide ? 156 : 150;
    offsetIcon = sideBySide ? 17 : 20;
    marginX = sideBySide ? 30 : 10;
    marginTop = sideBySide ? 45 : 30;
    marginBottom = sideBySide ? 25 : 40;
    offsetLabel = sideBySide ? 3 : 10;
    offsetButton = 10;
    offsetLabelButton = sideBySide ? 12 : 20;
    buttonWidth = sideBySide ? 80 : 120;
    buttonHeight = sideBySide ? 20 : 30;
}

} // namespace mira
