#include "ButtonCell.h"

#include <QPainter>
#include <QTextLayout>
#include <QTextLine>

#include <cmath>

namespace mira {

namespace {

constexpr qreal baseGap = 4;
constexpr qreal measureLimit = 4000;

// Lays the title out on one line. Measuring with a font and a non-empty title
// takes the font as the only attribute; drawing does so only when the
// attributed title has no runs of its own.
void layoutTitle(QTextLayout &layout, const ButtonCell &cell, bool measuring)
{
    const std::optional<QFont> font = cell.font();
    const bool plain = measuring ? !cell.title().isEmpty() : cell.attributedTitle().formats.isEmpty();
    if (font && plain) {
        layout.setText(cell.title());
        layout.setFont(*font);
    } else {
        layout.setText(cell.attributedTitle().text);
        layout.setFont(font.value_or(QFont()));
        layout.setFormats(cell.attributedTitle().formats);
    }
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid())
        line.setLineWidth(measureLimit);
    layout.endLayout();
}

bool isEmptySize(const QSizeF &size)
{
    return size.width() <= 0 || size.height() <= 0;
}

} // namespace

ButtonCell::ButtonCell() = default;

ButtonCell::ButtonCell(const QString &title)
{
    setTitle(title);
}

ButtonCell::ButtonCell(const QPixmap &image)
{
    m_settings.image = image;
}

ButtonCell::~ButtonCell() = default;

void ButtonCell::setTitle(const QString &title)
{
    m_settings.title = title;
    m_settings.attributedTitle = AttributedText { title, {} };
}

void ButtonCell::setAttributedTitle(const AttributedText &title)
{
    m_settings.attributedTitle = title;
    m_settings.title = title.text;
}

QSizeF ButtonCell::measureTitle() const
{
    QTextLayout layout;
    layoutTitle(layout, *this, true);
    if (layout.lineCount() == 0)
        return {};
    const QTextLine line = layout.lineAt(0);
    return QSizeF(std::min(line.naturalTextWidth(), measureLimit), std::min(line.height(), measureLimit));
}

QSizeF ButtonCell::titleFullSize() const
{
    const QSizeF measured = measureTitle();
    return QSizeF(std::ceil(measured.width()), std::ceil(measured.height()));
}

QSizeF ButtonCell::imageFullSize() const
{
    if (m_settings.image.isNull())
        return {};
    const QSizeF size = m_settings.image.deviceIndependentSize();
    return QSizeF(std::ceil(size.width()), std::ceil(size.height()));
}

QSizeF ButtonCell::cellSize() const
{
    const QSizeF t = titleFullSize();
    const QSizeF i = imageFullSize();
    if (isEmptySize(t))
        return isEmptySize(i) ? QSizeF() : i;
    if (isEmptySize(i))
        return t;
    switch (m_settings.imagePosition) {
    case ImagePosition::noImage:
        return t;
    case ImagePosition::imageOnly:
        return i;
    case ImagePosition::imageBelow:
    case ImagePosition::imageAbove:
        return QSizeF(std::max(t.width(), i.width()), t.height() + i.height() + baseGap);
    case ImagePosition::imageOverlaps:
        return t.expandedTo(i);
    default:
        return QSizeF(t.width() + i.width() + baseGap, std::max(t.height(), i.height()));
    }
}

QSizeF ButtonCell::cellSize(const QRectF &) const
{
    return cellSize();
}

// The base layout: the content block aligned horizontally, centred
// vertically; image and title centred against each other.
static void baseLayout(const ButtonCell &cell, const QRectF &bounds, QRectF *imageRect, QRectF *titleRect)
{
    using P = ButtonCell::ImagePosition;
    QSizeF t = cell.titleFullSize();
    QSizeF i = cell.imageFullSize();
    P position = cell.imagePosition();
    if (position == P::noImage || isEmptySize(i))
        i = QSizeF();
    if (position == P::imageOnly || isEmptySize(t))
        t = QSizeF();
    if (position == P::imageLeading || position == P::imageTrailing) {
        const bool leadingIsLeft = cell.layoutDirection() == Qt::LeftToRight;
        position = (position == P::imageLeading) == leadingIsLeft ? P::imageLeft : P::imageRight;
    }
    const bool both = !i.isEmpty() && !t.isEmpty();
    const qreal gap = both ? baseGap : 0;
    const bool vertical = position == P::imageAbove || position == P::imageBelow;
    const bool overlap = position == P::imageOverlaps;
    const QSizeF content = overlap ? t.expandedTo(i)
        : vertical                 ? QSizeF(std::max(t.width(), i.width()), t.height() + i.height() + gap)
                                   : QSizeF(t.width() + i.width() + gap, std::max(t.height(), i.height()));
    qreal x = bounds.left() + (bounds.width() - content.width()) / 2;
    if (cell.alignment() & Qt::AlignLeft)
        x = bounds.left();
    else if (cell.alignment() & Qt::AlignRight)
        x = bounds.right() - content.width();
    const qreal y = bounds.top() + (bounds.height() - content.height()) / 2;
    QPointF imageAt(x + (content.width() - i.width()) / 2, y + (content.height() - i.height()) / 2);
    QPointF titleAt(x + (content.width() - t.width()) / 2, y + (content.height() - t.height()) / 2);
    if (position == P::imageLeft && both) {
        imageAt.setX(x);
        titleAt.setX(x + i.width() + gap);
    } else if (position == P::imageRight && both) {
        titleAt.setX(x);
        imageAt.setX(x + t.width() + gap);
    } else if (position == P::imageAbove && both) {
        imageAt.setY(y);
        titleAt.setY(y + i.height() + gap);
    } else if (position == P::imageBelow && both) {
        titleAt.setY(y);
        imageAt.setY(y + t.height() + gap);
    }
    *imageRect = QRectF(imageAt, i);
    *titleRect = QRectF(titleAt, t);
}

QRectF ButtonCell::imageRect(const QRectF &bounds) const
{
    QRectF image, title;
    baseLayout(*this, bounds, &image, &title);
    return image;
}

QRectF ButtonCell::titleRect(const QRectF &bounds) const
{
    QRectF image, title;
    baseLayout(*this, bounds, &image, &title);
    return title;
}

void ButtonCell::draw(QPainter *painter, const QRectF &bounds) const
{
    painter->save();
    const QRectF imageArea = imageRect(bounds);
    if (!m_settings.image.isNull() && !imageArea.isEmpty() && m_settings.imagePosition != ImagePosition::noImage) {
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        if (!m_settings.enabled && m_settings.imageDimsWhenDisabled)
            painter->setOpacity(0.5);
        painter->drawPixmap(imageArea, m_settings.image, QRectF());
        painter->setOpacity(1);
    }
    const QRectF titleArea = titleRect(bounds);
    if (!titleArea.isEmpty() && m_settings.imagePosition != ImagePosition::imageOnly) {
        QTextLayout layout;
        layoutTitle(layout, *this, false);
        painter->setClipRect(titleArea, Qt::IntersectClip);
        painter->setPen(Qt::black);
        layout.draw(painter, titleArea.topLeft());
    }
    painter->restore();
}

} // namespace mira
