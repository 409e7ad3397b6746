#include "SpacingButtonCell.h"

#include <cmath>

namespace mira {

namespace {

using P = ButtonCell::ImagePosition;

bool isEmptySize(const QSizeF &size)
{
    return size.width() <= 0 || size.height() <= 0;
}

bool isBeside(P position)
{
    return position == P::imageLeft || position == P::imageRight || position == P::imageLeading
        || position == P::imageTrailing;
}

bool isStacked(P position)
{
    return position == P::imageBelow || position == P::imageAbove;
}

// Image and title combined by image position.
QSizeF combine(P position, QSizeF image, QSizeF title, qreal spacing)
{
    switch (position) {
    case P::noImage:
        return title;
    case P::imageOnly:
        return image;
    default:
        break;
    }
    if (isBeside(position))
        return QSizeF(title.width() + image.width() + spacing, std::max(title.height(), image.height()));
    if (isStacked(position))
        return QSizeF(std::max(title.width(), image.width()), title.height() + image.height() + spacing);
    return QSizeF(std::max(title.width(), image.width()), std::max(title.height(), image.height()));
}

QSizeF ceilSize(QSizeF size)
{
    return QSizeF(std::ceil(size.width()), std::ceil(size.height()));
}

} // namespace

SpacingButtonCell::SpacingButtonCell() = default;

SpacingButtonCell::SpacingButtonCell(const QString &title)
    : ButtonCell(title)
{
}

SpacingButtonCell::SpacingButtonCell(const QPixmap &image)
    : ButtonCell(image)
{
}

SpacingButtonCell::~SpacingButtonCell() = default;

QSizeF SpacingButtonCell::contentFullSize() const
{
    const QSizeF t = titleFullSize();
    const QSizeF i = imageFullSize();
    if (isEmptySize(t))
        return isEmptySize(i) ? QSizeF(0, 0) : i;
    if (isEmptySize(i))
        return t;
    return combine(imagePosition(), i, t, m_spacing);
}

SpacingButtonCell::ContentSizes SpacingButtonCell::resizeImageAndTitleSize(const QRectF &rect) const
{
    const qreal w = rect.width() - m_insets.left - m_insets.right;
    const qreal h = rect.height() - m_insets.top - m_insets.bottom;
    if (w <= 0 || h <= 0)
        return { QSizeF(0, 0), QSizeF(0, 0) };
    const QSizeF c = contentFullSize();
    const QSizeF t = titleFullSize();
    const QSizeF i = imageFullSize();
    if (w >= c.width() && h >= c.height())
        return { i, t };
    if (isEmptySize(t))
        return { QSizeF(std::min(i.width(), w), std::min(i.height(), h)), QSizeF(0, 0) };
    if (isEmptySize(i))
        return { QSizeF(0, 0), QSizeF(std::min(t.width(), w), std::min(t.height(), h)) };

    const P position = imagePosition();
    const qreal s = m_spacing;
    if (position == P::noImage)
        return { QSizeF(0, 0), QSizeF(std::min(c.width(), w), std::min(c.height(), h)) };
    if (position == P::imageOnly)
        return { QSizeF(std::min(c.width(), w), std::min(c.height(), h)), QSizeF(0, 0) };
    if (isBeside(position)) {
        if (w >= c.width())
            return { QSizeF(i.width(), std::min(i.height(), h)), QSizeF(t.width(), std::min(t.height(), h)) };
        if (w >= i.width() + s)
            return { QSizeF(i.width(), std::min(i.height(), h)), QSizeF(w - i.width() - s, std::min(t.height(), h)) };
        return { QSizeF(w, std::min(i.height(), h)), QSizeF(0, 0) };
    }
    if (isStacked(position)) {
        if (h >= c.height())
            return { QSizeF(std::min(i.width(), w), i.height()), QSizeF(std::min(t.width(), w), t.height()) };
        if (h >= i.height() + s)
            return { QSizeF(std::min(i.width(), w), i.height()), QSizeF(std::min(t.width(), w), h - i.height() - s) };
        return { QSizeF(std::min(i.width(), w), h), QSizeF(0, 0) };
    }
    return { QSizeF(std::min(i.width(), w), std::min(i.height(), h)),
        QSizeF(std::min(t.width(), w), std::min(t.height(), h)) };
}

QSizeF SpacingButtonCell::resizeContentSize(const QRectF &rect) const
{
    const ContentSizes sizes = resizeImageAndTitleSize(rect);
    return combine(imagePosition(), ceilSize(sizes.image), ceilSize(sizes.title), m_spacing);
}

ButtonCell::ImagePosition SpacingButtonCell::effectivePosition() const
{
    const P position = imagePosition();
    const bool leftToRight = layoutDirection() != Qt::RightToLeft;
    if (position == P::imageLeading)
        return leftToRight ? P::imageLeft : P::imageRight;
    if (position == P::imageTrailing)
        return leftToRight ? P::imageRight : P::imageLeft;
    return position;
}

SpacingButtonCell::ContentSizes SpacingButtonCell::resizeContentOffset(const QRectF &rect) const
{
    const ContentSizes sizes = resizeImageAndTitleSize(rect);
    const qreal iw = sizes.image.width(), ih = sizes.image.height();
    const qreal tw = sizes.title.width(), th = sizes.title.height();
    if (iw <= 0 || ih <= 0 || tw <= 0 || th <= 0)
        return { QSizeF(0, 0), QSizeF(0, 0) };
    const qreal cw = resizeContentSize(rect).width();
    const qreal s = m_spacing;
    const qreal dyImage = th >= ih ? (th - ih) / 2 : 0;
    const qreal dyTitle = ih >= th ? (ih - th) / 2 : 0;
    const qreal dxImage = tw >= iw ? (tw - iw) / 2 : 0;
    const qreal dxTitle = iw >= tw ? (iw - tw) / 2 : 0;
    const bool left = alignment() & Qt::AlignLeft;
    const bool right = alignment() & Qt::AlignRight;

    // Offsets travel as sizes: width is x, height is y.
    switch (effectivePosition()) {
    case P::noImage:
    case P::imageOnly:
        return { QSizeF(0, 0), QSizeF(0, 0) };
    case P::imageLeft:
        return { QSizeF(0, dyImage), QSizeF(iw + s, dyTitle) };
    case P::imageRight:
        return { QSizeF(tw + s, dyImage), QSizeF(0, dyTitle) };
    case P::imageBelow:
        if (left)
            return { QSizeF(0, th + s), QSizeF(0, 0) };
        if (right)
            return { QSizeF(std::floor(cw - iw), th + s), QSizeF(std::floor(cw - tw), 0) };
        return { QSizeF(dxImage, th + s), QSizeF(dxTitle, 0) };
    case P::imageAbove:
        if (left)
            return { QSizeF(0, 0), QSizeF(0, ih + s) };
        if (right)
            return { QSizeF(std::floor(cw - iw), 0), QSizeF(std::floor(cw - tw), ih + s) };
        return { QSizeF(dxImage, 0), QSizeF(dxTitle, ih + s) };
    default:
        return { QSizeF(dxImage, dyImage), QSizeF(dxTitle, dyTitle) };
    }
}

QSizeF SpacingButtonCell::cellSize() const
{
    const QSizeF c = contentFullSize();
    return QSizeF(c.width() + m_insets.left + m_insets.right, c.height() + m_insets.top + m_insets.bottom);
}

QSizeF SpacingButtonCell::cellSize(const QRectF &) const
{
    return cellSize();
}

QRectF SpacingButtonCell::elementRect(const QRectF &bounds, bool image) const
{
    const QSizeF content = resizeContentSize(bounds);
    const ContentSizes sizes = resizeImageAndTitleSize(bounds);
    const ContentSizes offsets = resizeContentOffset(bounds);
    const qreal spareWidth = std::floor(bounds.width() - m_insets.left - m_insets.right - content.width());
    const qreal spareHeight = std::floor(bounds.height() - m_insets.top - m_insets.bottom - content.height());
    const qreal dx = spareWidth * 0.5 > 0 ? spareWidth * 0.5 : 0;
    const qreal dy = spareHeight * 0.5 > 0 ? spareHeight * 0.5 : 0;

    const QSizeF offset = image ? offsets.image : offsets.title;
    const qreal nudge = image ? m_imageYOffset : m_titleYOffset;
    const qreal ox = offset.width(), oy = offset.height();
    qreal x, y;
    if (alignment() & Qt::AlignLeft) {
        x = std::floor(m_insets.left + ox);
        y = std::floor(m_insets.top + dy + nudge + oy);
    } else if (alignment() & Qt::AlignRight) {
        x = std::floor(m_insets.left + 2 * dx + ox);
        y = std::floor(m_insets.top + oy);
    } else {
        x = std::floor(m_insets.left + dx + ox);
        y = std::floor(m_insets.top + dy + nudge + oy);
    }
    QSizeF size = image ? sizes.image : sizes.title;
    if (!image && !(alignment() & (Qt::AlignLeft | Qt::AlignRight)))
        size.setWidth(size.width() + 1);
    return QRectF(QPointF(bounds.left() + x, bounds.top() + y), size);
}

QRectF SpacingButtonCell::imageRect(const QRectF &bounds) const
{
    return elementRect(bounds, true);
}

QRectF SpacingButtonCell::titleRect(const QRectF &bounds) const
{
    return elementRect(bounds, false);
}

} // namespace mira
