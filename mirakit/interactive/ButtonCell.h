#pragma once

#include <mirakit/interactive/InteractiveLabelLayout.h>
#include <mirakit/mirakit_export.h>

#include <QColor>
#include <QFont>
#include <QKeySequence>
#include <QPixmap>
#include <QRectF>
#include <QString>

#include <optional>

class QPainter;

namespace mira {

/**
 * The part of a button that holds its title and image and decides where
 * they go: natural size, image rectangle and title rectangle for given
 * bounds, and the drawing of both.
 *
 * A button owns one cell (InteractiveButton::cell()) and asks it for its
 * size hint and for the rectangles it paints into. This base cell places the
 * image beside (or above, below, over) the title with a 4-point gap and
 * aligns the block by alignment(), centred vertically. Subclass it for other
 * layouts (SpacingButtonCell) and install the subclass with
 * InteractiveButton::replaceButtonCell(), which carries every setting over.
 *
 * Defaults: no title, no font (the title is measured and drawn with its own
 * runs), no image, image left of the title, centred, left-to-right.
 */
class MIRAKIT_EXPORT ButtonCell {
public:
    /// Where the image goes relative to the title.
    enum class ImagePosition {
        noImage = 0,
        imageOnly = 1,
        imageLeft = 2,
        imageRight = 3,
        imageBelow = 4,
        imageAbove = 5,
        imageOverlaps = 6,
        imageLeading = 7,
        imageTrailing = 8,
    };

    /// Every setting of a cell; replaceButtonCell() copies all of them.
    struct Settings {
        QString title;
        AttributedText attributedTitle;
        QString alternateTitle;
        QPixmap image;
        QPixmap alternateImage;
        ImagePosition imagePosition = ImagePosition::imageLeft;
        std::optional<QFont> font;
        Qt::Alignment alignment = Qt::AlignHCenter;
        Qt::LayoutDirection layoutDirection = Qt::LeftToRight;
        Qt::TextElideMode lineBreakMode = Qt::ElideNone;
        QKeySequence keyEquivalent;
        QColor backgroundColor;
        bool enabled = true;
        bool bordered = false;
        bool imageDimsWhenDisabled = false;
    };

    ButtonCell();
    explicit ButtonCell(const QString &title);
    explicit ButtonCell(const QPixmap &image);
    virtual ~ButtonCell();

    Settings settings() const { return m_settings; }
    void setSettings(const Settings &settings) { m_settings = settings; }

    QString title() const { return m_settings.title; }
    /// Also replaces the attributed title with the plain text.
    void setTitle(const QString &title);
    AttributedText attributedTitle() const { return m_settings.attributedTitle; }
    /// Also replaces the title with the attributed title's text.
    void setAttributedTitle(const AttributedText &title);
    std::optional<QFont> font() const { return m_settings.font; }
    void setFont(const std::optional<QFont> &font) { m_settings.font = font; }
    QPixmap image() const { return m_settings.image; }
    void setImage(const QPixmap &image) { m_settings.image = image; }
    ImagePosition imagePosition() const { return m_settings.imagePosition; }
    void setImagePosition(ImagePosition position) { m_settings.imagePosition = position; }
    /// Horizontal alignment of the content block (left, right, anything else centres).
    Qt::Alignment alignment() const { return m_settings.alignment; }
    void setAlignment(Qt::Alignment alignment) { m_settings.alignment = alignment; }
    /// Which side leading and trailing image positions mean.
    Qt::LayoutDirection layoutDirection() const { return m_settings.layoutDirection; }
    void setLayoutDirection(Qt::LayoutDirection direction) { m_settings.layoutDirection = direction; }
    bool isEnabled() const { return m_settings.enabled; }
    void setEnabled(bool enabled) { m_settings.enabled = enabled; }

    /// The title's single-line size, rounded up to whole points.
    QSizeF titleFullSize() const;
    /// The image's size, rounded up; empty without an image.
    QSizeF imageFullSize() const;

    /// The natural size.
    virtual QSizeF cellSize() const;
    /// The size for @p bounds; the base cell ignores them.
    virtual QSizeF cellSize(const QRectF &bounds) const;
    virtual QRectF imageRect(const QRectF &bounds) const;
    virtual QRectF titleRect(const QRectF &bounds) const;

    /// Draws the image and the title into their rectangles for @p bounds.
    virtual void draw(QPainter *painter, const QRectF &bounds) const;

protected:
    /**
     * Measures the title on one line: with font() when there is one and the
     * title is not empty, else the attributed title with its own runs.
     * Override to supply other metrics.
     */
    virtual QSizeF measureTitle() const;

private:
    Settings m_settings;
};

} // namespace mira
