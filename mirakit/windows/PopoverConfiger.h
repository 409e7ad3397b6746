#pragma once

#include <mirakit/windows/PopoverDirectionAlignment.h>
#include <mirakit/windows/WindowPopoverDirection.h>

#include <QMarginsF>
#include <QPalette>
#include <QPointF>
#include <QPointer>
#include <QWidget>

#include <optional>

namespace mira {

/**
 * The look and placement of a popover. Lengths are in device-independent
 * pixels. The fields are declared in the order of a designated initialiser:
 *
 * @code
 * mira::PopoverConfiger configer { .indicatorDirection = mira::WindowPopoverDirection::left,
 *     .cornerRadius = 6, .autoHidden = true };
 * mira::popover(window, new DetailsPage, infoButton, mira::WindowPopoverStyle::popover, configer);
 * @endcode
 *
 * A default-constructed configer differs from what a PopoverViewController
 * uses when it is given none (unconfigured()): that one points its indicator
 * up, puts it in the middle of its side and has square corners.
 */
struct PopoverConfiger {
    /// The side the indicator is on. Default: bottom (the body opens above the source).
    WindowPopoverDirection indicatorDirection = WindowPopoverDirection::bottom;
    /// Where the body sits along the source when it opens above or below. Default: center.
    PopoverDirectionAlignment indicatorAlignment = PopoverDirectionAlignment::center;
    /**
     * Default: true. Opens on the opposite side when the body would not fit
     * on the source's screen (its available area): bottom becomes top, left
     * becomes right and right becomes left; top never changes.
     */
    bool autoIndicatorDirection = true;
    /// Gap between the source and the indicator's tip. Default: 10.
    qreal spacing = 10;
    /// How far the indicator stands out of the body. Default: 8.
    qreal indicatorHeight = 8;
    /// Width of the indicator's base. Default: 10.
    qreal indicatorWidth = 10;
    /**
     * Moves the indicator along its side away from the middle (x to the
     * right on a top or bottom side, y upwards on a left or right side) and
     * the body the other way, so that the indicator still points at the
     * source. Default: (30, 30).
     */
    QPointF indicatorOffset { 30, 30 };
    /// Radius of the body's corners. Default: 10.
    qreal cornerRadius = 10;
    /// Drawn behind the content, cut to the body's shape; the popover takes it over.
    /// Default: none (the body is filled with the palette's base colour and outlined).
    QPointer<QWidget> backgroundView;
    /// Space between the background and the content background. Default: 0.
    qreal backgroundPadding = 0;
    /// Drawn between the background and the content, cut to the body's shape; the popover takes it over. Default: none.
    QPointer<QWidget> contentBackgroundView;
    /// Space around the content inside the body. Default: none.
    QMarginsF contentEdgeInsets;
    /// Close the popover when the user presses anywhere else. Default: false.
    bool autoHidden = false;
    /// Palette of the popover window. Default: none (the active window's).
    std::optional<QPalette> appearance;

    /// What a PopoverViewController uses when it is given no configer:
    /// indicator on top, offset (0, 0), square corners, the rest as above.
    static PopoverConfiger unconfigured()
    {
        PopoverConfiger configer;
        configer.indicatorDirection = WindowPopoverDirection::top;
        configer.indicatorOffset = QPointF(0, 0);
        configer.cornerRadius = 0;
        return configer;
    }
};

} // namespace mira
