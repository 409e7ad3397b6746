#pragma once

#include <mirakit/mirakit_export.h>
#include <mirakit/windows/PopoverConfiger.h>
#include <mirakit/windows/WindowPopoverDirection.h>

#include <QPainterPath>
#include <QWidget>

#include <memory>
#include <optional>

namespace mira {

class PopoverViewControllerPrivate;

/**
 * The inside of a popover window: a rounded body with a small triangular
 * indicator pointing at a source widget, and the caller's page (the
 * "content view controller": any QWidget) inside the body.
 *
 * It works out where the popover window goes (calculateWindowFrame()) and
 * lays itself out for the side actually used (direction()). Usually it is
 * made by mira::popover(); build one yourself to show it with
 * mira::popover(QWidget *, PopoverWindow *, ...).
 *
 * Layout, from the outside in, with the indicator side named by direction():
 * the background (the whole widget less PopoverConfiger::spacing on the
 * indicator side), the content background (the background less
 * backgroundPadding all round) and the page (the content background less
 * contentEdgeInsets, and less indicatorHeight on the indicator side). Body
 * and indicator are one path (bodyPath()), filled with the palette's base
 * colour and outlined with a faint line unless the configer brings its own background view.
 */
class MIRAKIT_EXPORT PopoverViewController : public QWidget {
    Q_OBJECT
public:
    /**
     * Shows @p contentViewController (taken over) pointing at @p sourceView
     * (watched, not owned), looking as @p configer says or, without one, as
     * PopoverConfiger::unconfigured(). Computes the window frame once.
     */
    PopoverViewController(QWidget *contentViewController, QWidget *sourceView,
        const std::optional<PopoverConfiger> &configer = std::nullopt, QWidget *parent = nullptr);
    ~PopoverViewController() override;

    /// The caller's page, or nullptr once it is gone.
    QWidget *contentViewController() const;
    /// The widget the indicator points at, or nullptr once it is gone.
    QWidget *sourceView() const;
    /// The configer in use.
    const PopoverConfiger &configer() const;
    /// The side the indicator is on, as last chosen by calculateWindowFrame(). Initially top.
    WindowPopoverDirection direction() const;

    /// The source's rectangle in global (screen) coordinates; empty without a source.
    QRect sourceFrameInWindow() const;
    /**
     * Where the popover window goes, in global coordinates, choosing the side
     * (see PopoverConfiger::autoIndicatorDirection) and recording it in
     * direction(). Empty without a source or a page.
     */
    QRect calculateWindowFrame();

    /**
     * The outline of body and indicator inside @p bounds: the body is
     * @p bounds less @p indicatorHeight on the @p direction side, with corners
     * of @p cornerRadius; the indicator, @p indicatorWidth wide, stands on the
     * middle of that side moved by @p indicatorOffset (x to the right on top
     * and bottom, y upwards on left and right) and reaches the edge of
     * @p bounds. Radius and indicator are kept within the body.
     */
    static QPainterPath bodyPath(const QRectF &bounds, WindowPopoverDirection direction, qreal indicatorWidth,
        qreal indicatorHeight, qreal cornerRadius, QPointF indicatorOffset);

    /// The window size for the page's size and direction().
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutViews();

    std::unique_ptr<PopoverViewControllerPrivate> const d;
};

} // namespace mira
