#pragma once

#include <mirakit/interactive/ButtonCell.h>
#include <mirakit/mirakit_export.h>

namespace mira {

/**
 * A button cell that lays out image and title itself: an explicit gap
 * between them (spacing), inner margins (contentEdgeInset), vertical nudges
 * (imageYOffset, titleYOffset) and graceful shrinking when the button is
 * smaller than its content.
 *
 * The content block is aligned by the cell's alignment: left puts it at the
 * left margin, right pushes it to the right edge by the whole spare width
 * (without vertical centring and without the nudges), anything else centres
 * it. When the bounds are too small, the title gives way first: beside the
 * image it keeps what is left after the image and the gap, and vanishes when
 * not even those fit. Sizes and positions are whole points; a centred title
 * rectangle is one point wider than the title so that it never clips.
 *
 * All values default to 0.
 *
 * @code
 * auto cell = std::make_unique<mira::SpacingButtonCell>();
 * cell->setSpacing(6);
 * cell->setContentEdgeInset({ 0, 12, 0, 12 });
 * button->replaceButtonCell(std::move(cell)); // keeps title, image, font, …
 * @endcode
 */
class MIRAKIT_EXPORT SpacingButtonCell : public ButtonCell {
public:
    /// Inner margins, in points.
    struct EdgeInsets {
        qreal top = 0;
        qreal left = 0;
        qreal bottom = 0;
        qreal right = 0;
        friend bool operator==(const EdgeInsets &, const EdgeInsets &) = default;
    };

    /// Resized image and title sizes for some bounds.
    struct ContentSizes {
        QSizeF image;
        QSizeF title;
    };

    SpacingButtonCell();
    explicit SpacingButtonCell(const QString &title);
    explicit SpacingButtonCell(const QPixmap &image);
    ~SpacingButtonCell() override;

    qreal imageYOffset() const { return m_imageYOffset; }
    void setImageYOffset(qreal offset) { m_imageYOffset = offset; }
    qreal titleYOffset() const { return m_titleYOffset; }
    void setTitleYOffset(qreal offset) { m_titleYOffset = offset; }
    qreal spacing() const { return m_spacing; }
    void setSpacing(qreal spacing) { m_spacing = spacing; }
    EdgeInsets contentEdgeInset() const { return m_insets; }
    void setContentEdgeInset(const EdgeInsets &insets) { m_insets = insets; }
    qreal leftEdgeInset() const { return m_insets.left; }
    void setLeftEdgeInset(qreal inset) { m_insets.left = inset; }
    qreal topEdgeInset() const { return m_insets.top; }
    void setTopEdgeInset(qreal inset) { m_insets.top = inset; }
    qreal rightEdgeInset() const { return m_insets.right; }
    void setRightEdgeInset(qreal inset) { m_insets.right = inset; }
    qreal bottomEdgeInset() const { return m_insets.bottom; }
    void setBottomEdgeInset(qreal inset) { m_insets.bottom = inset; }

    /// Image and title together at full size, without margins.
    QSizeF contentFullSize() const;
    /// Image and title sizes shrunk to fit @p rect minus the margins.
    ContentSizes resizeImageAndTitleSize(const QRectF &rect) const;
    /// The content block's size for @p rect, from the rounded-up resized sizes.
    QSizeF resizeContentSize(const QRectF &rect) const;
    /// Offsets of image and title inside the content block for @p rect.
    ContentSizes resizeContentOffset(const QRectF &rect) const;

    QSizeF cellSize() const override;
    QSizeF cellSize(const QRectF &bounds) const override;
    QRectF imageRect(const QRectF &bounds) const override;
    QRectF titleRect(const QRectF &bounds) const override;

private:
    /// Leading and trailing resolved against the layout direction.
    ImagePosition effectivePosition() const;
    QRectF elementRect(const QRectF &bounds, bool image) const;

    qreal m_imageYOffset = 0;
    qreal m_titleYOffset = 0;
    qreal m_spacing = 0;
    EdgeInsets m_insets;
};

} // namespace mira
