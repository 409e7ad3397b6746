#include "InteractiveLabelLayout.h"

#include <QPainter>
#include <QTextLine>

#include <algorithm>

namespace mira {

QTextCharFormat AttributedText::formatAt(int position) const
{
    QTextCharFormat result;
    for (const QTextLayout::FormatRange &range : formats) {
        if (position >= range.start && position < range.start + range.length)
            result = range.format;
    }
    return result;
}

void AttributedText::setFormat(const TextRange &range, const QTextCharFormat &format)
{
    const int start = int(range.location);
    const int end = int(range.end());
    QList<QTextLayout::FormatRange> kept;
    for (const QTextLayout::FormatRange &run : std::as_const(formats)) {
        const int runEnd = run.start + run.length;
        if (runEnd <= start || run.start >= end) {
            kept.append(run);
            continue;
        }
        if (run.start < start)
            kept.append({ run.start, start - run.start, run.format });
        if (runEnd > end)
            kept.append({ end, runEnd - end, run.format });
    }
    kept.append({ start, end - start, format });
    std::sort(kept.begin(), kept.end(), [](const auto &a, const auto &b) { return a.start < b.start; });
    formats = kept;
}

InteractiveLabelLayout::InteractiveLabelLayout(
    const AttributedText &text, const QFont &baseFont, const QSizeF &bounds, Qt::LayoutDirection direction)
    : m_layout(QString(text.text).replace(QLatin1Char('\n'), QChar::LineSeparator), baseFont)
{
    // QTextLayout breaks lines only at line separators; the swap keeps every position.
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (!text.text.isEmpty()) {
        const QVariant alignment = text.formatAt(0).property(AttributedText::alignmentProperty);
        if (alignment.isValid() && (Qt::Alignment::fromInt(alignment.toInt()) & Qt::AlignHorizontal_Mask))
            horizontal = Qt::Alignment::fromInt(alignment.toInt()) & Qt::AlignHorizontal_Mask;
        if (horizontal & Qt::AlignHCenter)
            m_padding = 4;
    }
    // QTextLayout takes left and right literally; they mean leading and trailing unless absolute.
    const bool rightToLeft
        = direction == Qt::RightToLeft || (direction == Qt::LayoutDirectionAuto && text.text.isRightToLeft());
    if (rightToLeft && !(horizontal & Qt::AlignAbsolute) && (horizontal & (Qt::AlignLeft | Qt::AlignRight)))
        horizontal ^= Qt::AlignLeft | Qt::AlignRight;
    m_layout.setFormats(text.formats);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setAlignment(horizontal);
    option.setTextDirection(direction);
    m_layout.setTextOption(option);

    const qreal lineWidth = std::max<qreal>(0, bounds.width() - 2 * m_padding);
    const qreal containerHeight = bounds.height() + 4;
    qreal y = 0;
    m_layout.beginLayout();
    for (;;) {
        QTextLine line = m_layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(lineWidth);
        // Once the container is full the rest of the text is not placed.
        if (y + line.height() > containerHeight && !m_lines.isEmpty())
            break;
        line.setPosition(QPointF(m_padding, y));
        // Where the text really lies: centred and right-aligned lines start further in.
        const QRectF used(line.naturalTextRect().x(), y, line.naturalTextWidth(), line.height());
        m_lines.append({ used, TextRange { line.textStart(), line.textLength() } });
        y += line.height();
    }
    m_layout.endLayout();

    qreal usedHeight = 0;
    for (const Line &line : std::as_const(m_lines))
        usedHeight += line.rect.height();
    const qreal gap = m_lines.size() >= 2 ? (bounds.height() - usedHeight) / (m_lines.size() - 1) : 0;
    for (int j = 0; j < m_lines.size(); ++j) {
        m_lines[j].rect.translate(0, j * gap);
        m_shifts.append(j * gap);
    }
}

QList<QRectF> InteractiveLabelLayout::rectsFor(const TextRange &range) const
{
    QList<QRectF> rects;
    for (int j = 0; j < m_lines.size(); ++j) {
        const Line &line = m_lines.at(j);
        const qint64 start = std::max(line.glyphs.location, range.location);
        const qint64 end = std::min(line.glyphs.end(), range.end());
        if (end <= start)
            continue;
        const QTextLine textLine = m_layout.lineAt(j);
        const qreal x1 = textLine.cursorToX(int(start));
        const qreal x2 = textLine.cursorToX(int(end));
        rects.append(QRectF(std::min(x1, x2), line.rect.y(), std::abs(x2 - x1), line.rect.height()));
    }
    return rects;
}

void InteractiveLabelLayout::draw(QPainter *painter, const QColor &defaultColor) const
{
    painter->save();
    painter->setPen(defaultColor);
    for (int j = 0; j < m_lines.size(); ++j)
        m_layout.lineAt(j).draw(painter, QPointF(0, m_shifts.at(j)));
    painter->restore();
}

} // namespace mira
