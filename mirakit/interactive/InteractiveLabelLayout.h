#pragma once

#include <mirakit/mirakit_export.h>

#include <QFont>
#include <QList>
#include <QRectF>
#include <QString>
#include <QTextLayout>

namespace mira {

/// A character range of a label's text: location and length.
struct TextRange {
    qint64 location = 0;
    qint64 length = 0;

    qint64 end() const { return location + length; }
    friend bool operator==(const TextRange &, const TextRange &) = default;
};

/// Text with formatted runs, as a label shows it.
struct MIRAKIT_EXPORT AttributedText {
    QString text;
    QList<QTextLayout::FormatRange> formats;

    /// The property of a run's QTextCharFormat that holds its paragraph alignment (a Qt::Alignment).
    static constexpr int alignmentProperty = QTextFormat::UserProperty + 0x4d4c;

    /// The format in effect at character @p position (the last run covering it).
    QTextCharFormat formatAt(int position) const;
    /// Replaces every attribute of @p range by @p format.
    void setFormat(const TextRange &range, const QTextCharFormat &format);
};

/**
 * Where the text of a label lies: one rectangle per laid-out line and, for
 * each range asked about, the rectangles its glyphs occupy on each line.
 *
 * The text is laid out from the top in the label's width with a line padding
 * of 2 points on either side (4 when the first character is centred); spare
 * height is spread evenly between the lines, so with two lines the whole gap
 * goes between them. The lines are aligned as the first character's
 * alignmentProperty says (left by default); left and right follow the
 * writing direction, so left-aligned right-to-left text sits on the right.
 */
class MIRAKIT_EXPORT InteractiveLabelLayout {
public:
    struct Line {
        QRectF rect; ///< the rectangle the line's text uses (after alignment), moved down by its share of the gap
        TextRange glyphs; ///< the characters on the line
    };

    /// @p direction Qt::LayoutDirectionAuto takes the direction from the text itself.
    InteractiveLabelLayout(const AttributedText &text, const QFont &baseFont, const QSizeF &bounds,
        Qt::LayoutDirection direction = Qt::LayoutDirectionAuto);

    qreal lineFragmentPadding() const { return m_padding; }
    QList<Line> lines() const { return m_lines; }

    /// One rectangle per line that @p range touches: x and width of the
    /// glyphs of the overlap, y and height of the line.
    QList<QRectF> rectsFor(const TextRange &range) const;

    /// Draws the text with its formats at the laid-out positions.
    void draw(QPainter *painter, const QColor &defaultColor) const;

private:
    QTextLayout m_layout;
    QList<Line> m_lines;
    QList<qreal> m_shifts;
    qreal m_padding = 2;
};

} // namespace mira
