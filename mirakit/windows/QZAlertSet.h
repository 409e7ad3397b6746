#pragma once

#include <mirakit/mirakit_export.h>

#include <QColor>
#include <QFont>
#include <QPixmap>

namespace mira {

/**
 * The metrics, fonts and colours a QZAlert is laid out from. All lengths are
 * in points. QZAlert::setting() is the one instance the alerts use; change it
 * before building an alert.
 *
 * alignment 0 is the side-by-side layout (icon at the left, texts to its
 * right, buttons at the bottom right); any other value is the centred layout
 * (icon on top, texts centred below it, buttons centred at the bottom).
 * setAlignment() also sets the lengths that suit the layout:
 *
 * | member            | initial | alignment 0 | other |
 * |-------------------|---------|-------------|-------|
 * | width             | 500     | 500         | 400   |
 * | minHeight         | 156     | 156         | 150   |
 * | offsetIcon        | 17      | 17          | 20    |
 * | marginX           | 30      | 30          | 10    |
 * | marginTop         | 45      | 45          | 30    |
 * | marginBottom      | 25      | 25          | 40    |
 * | offsetLabel       | 3       | 3           | 10    |
 * | offsetButton      | 10      | 10          | 10    |
 * | offsetLabelButton | 12      | 12          | 20    |
 * | buttonWidth       | 80      | 80          | 120   |
 * | buttonHeight      | 20      | 20          | 30    |
 */
class MIRAKIT_EXPORT QZAlertSet {
public:
    /// The initial values of the table, the application's font at 14 and 13
    /// points, black at 85 % for the title and at 50 % for the introduction
    /// (alerts are light in every theme), and the application image
    /// ":/gr_tips" (else the style's information icon) as the icon.
    QZAlertSet();

    /// Sets alignment and the lengths of the table's column for it.
    void setAlignment(int alignment);

    bool displayCloseButton = true; ///< Alerts get a round close button at their top left.
    int alignment = 0;
    qreal width = 500; ///< The alert's width; it grows only when its buttons need more.
    qreal minHeight = 156;
    qreal offsetIcon = 17; ///< Between the icon and the texts.
    qreal marginX = 30;
    qreal marginTop = 45;
    qreal marginBottom = 25;
    qreal offsetLabel = 3; ///< Between the title and the introduction.
    qreal offsetButton = 10; ///< Between two side-by-side buttons.
    qreal offsetLabelButton = 12; ///< Between the introduction and the buttons.
    qreal buttonWidth = 80; ///< Least button width; a longer title widens the button.
    qreal buttonHeight = 20; ///< Least button height; a taller font heightens the button.
    QFont titleFont;
    QColor titleColor;
    // The introduction's look, spelled as callers know it.
    QFont introlductionFont;
    QColor introlductionColor;
    QPixmap icon;
};

} // namespace mira
