#pragma once

#include <mirakit/interactive/InteractiveLabelLayout.h>
#include <mirakit/interactive/InteractiveStateable.h>
#include <mirakit/interactive/MouseTrackingArea.h>
#include <mirakit/mirakit_export.h>

#include <QColor>
#include <QCursor>
#include <QTextCharFormat>
#include <QUuid>
#include <QWidget>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace mira {

class InteractiveLabelPrivate;

/**
 * A read-only, word-wrapping text in which chosen character ranges behave
 * like small controls.
 *
 * Every range you address gets an item (InteractiveItem) with its own
 * interaction state, and per state its own text attributes, cursor and
 * callable, plus press actions that receive the range. Items are found by
 * exact range: the first call for a range creates its item at the end of
 * items(), later calls with the same location and length reach that item.
 * Where ranges overlap, the item created later wins; a range reaching past
 * the end of the text is never styled.
 *
 * The displayed text (attributedStringValue()) is always rebuilt from the
 * origin text (originAttributedStringValue()) with the attributes of every
 * item's current state, each replacing all attributes of its range. The
 * string setters replace the origin text and show it unstyled: the items'
 * attributes come back when an item is next marked (a new attribute or
 * cursor for it, or a change of its state).
 *
 * The pointer is tracked over the item rectangles of the same layout that
 * paints the text. With antiShakeEnable on, motion over items is handled
 * 20 ms after it stops, so sweeping across a line does not flicker; motion
 * off every item is handled on the next turn of the event loop. Enabled is
 * QWidget's own state (the label's or an ancestor's), copied into every
 * item: a disabled label still shows hover but ignores presses and keys.
 *
 * A plain string is shown in the label's font (the system font at 14
 * pixels unless a font was set on the label), its textColor (white unless
 * set) and its alignment (left unless set).
 *
 * @code
 * auto *terms = new mira::InteractiveLabel(tr("Read the terms of use."), page);
 * terms->setTextColor(mira::rgb(0x342929));
 * const mira::TextRange link { 9, 12 }; // "terms of use"
 * QTextCharFormat underlined;
 * underlined.setFontUnderline(true);
 * underlined.setForeground(mira::rgb(0x2D7DD2));
 * QTextCharFormat hovered = underlined;
 * hovered.setForeground(mira::rgb(0x2FB782));
 * terms->setAttributes(underlined, link, mira::Interactive::State::normal);
 * terms->setAttributes(hovered, link, mira::Interactive::State::hovered);
 * terms->setCursor(Qt::PointingHandCursor, link, mira::Interactive::State::normal);
 * terms->setEventAction([](mira::TextRange) { QDesktopServices::openUrl(termsUrl); },
 *                       mira::Interactive::Event::mouseUpInside, link);
 * @endcode
 *
 * Keyboard and assistive technology. Every item with a press action
 * (mouseDown or mouseUpInside) is a link: Tab and Backtab stop at each one
 * in reading order before leaving the label, Return, Enter and Space press
 * the focused one, and keyboard focus is shown as a ring around it.
 * Assistive technology sees the label as static text whose links are its
 * children, each with the link role, its text as name, and a press action.
 * A label without such items takes no focus.
 *
 * Defaults: enabled, not selected, no label cursor, anti-shake on, no
 * debugging borders, no items.
 */
class MIRAKIT_EXPORT InteractiveLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ stringValue WRITE setStringValue NOTIFY textChanged)
    Q_PROPERTY(QColor textColor READ textColor WRITE setTextColor NOTIFY textColorChanged)
    Q_PROPERTY(Qt::Alignment alignment READ alignment WRITE setAlignment NOTIFY alignmentChanged)
    Q_PROPERTY(bool selected READ isSelected WRITE setSelected NOTIFY selectedChanged)
    Q_PROPERTY(bool antiShakeEnable READ antiShakeEnable WRITE setAntiShakeEnable NOTIFY antiShakeEnableChanged)
    Q_PROPERTY(bool drawTextBorder READ drawTextBorder WRITE setDrawTextBorder NOTIFY drawTextBorderChanged)

public:
    class InteractiveItem;
    using Block = std::function<void()>;
    using RangeAction = std::function<void(TextRange range)>;

    /// How long motion over items must rest before it is handled (anti-shake).
    static constexpr std::chrono::milliseconds antiShakeDelay { 20 };

    explicit InteractiveLabel(QWidget *parent = nullptr);
    explicit InteractiveLabel(const QString &text, QWidget *parent = nullptr);
    ~InteractiveLabel() override;

    /// The displayed text as plain characters.
    QString stringValue() const;
    /// Shows @p text unstyled and makes it the origin text (font, colour and alignment of the label).
    void setStringValue(const QString &text);
    /// The displayed text, item attributes included.
    AttributedText attributedStringValue() const;
    /// Shows @p text unstyled and makes it the origin text as it is.
    void setAttributedStringValue(const AttributedText &text);
    /// The text without item attributes, from which the displayed text is rebuilt.
    AttributedText originAttributedStringValue() const;

    /// Text colour of plain strings. Default: none, which shows white.
    QColor textColor() const;
    void setTextColor(const QColor &color);
    /// Horizontal alignment of the text; follows the layout direction. Default Qt::AlignLeft.
    Qt::Alignment alignment() const;
    void setAlignment(Qt::Alignment alignment);

    /// Stores @p attributes (if given) for @p state of the item of @p range, then shows them if they apply.
    void setAttributes(
        const std::optional<QTextCharFormat> &attributes, const TextRange &range, Interactive::State state);
    /// Stores @p block for @p state of the item of @p range; it runs at once if it applies now.
    void setBlock(const Block &block, const TextRange &range, Interactive::State state);
    /// Calls @p action with the item's range when @p event happens on the item
    /// of @p range; a null @p action removes the one stored for @p event.
    void setEventAction(const RangeAction &action, Interactive::Event event, const TextRange &range);
    /// Shows @p cursor over the item of @p range while it is in (or falls back to) @p state.
    void setCursor(const QCursor &cursor, const TextRange &range, Interactive::State state);
    using QWidget::setCursor;

    /// Copied into every item. Default false.
    bool isSelected() const;
    void setSelected(bool selected);
    /// A cursor for the whole label, under the item cursors. Default none.
    std::optional<QCursor> labelCursor() const;
    void setLabelCursor(const std::optional<QCursor> &cursor);
    /// Debounce motion over items by antiShakeDelay. Default true.
    bool antiShakeEnable() const;
    void setAntiShakeEnable(bool enable);
    /// Debugging aid: outline the lines in cyan and the item rectangles in red. Default false.
    bool drawTextBorder() const;
    void setDrawTextBorder(bool draw);

    /// Every item, in creation order.
    QList<std::shared_ptr<InteractiveItem>> items() const;
    /// The first item with a rectangle at @p position (label coordinates) inside the bounds, or none.
    std::shared_ptr<InteractiveItem> itemAt(const QPointF &position) const;
    /// The items with a press action, in reading order (by range start).
    QList<std::shared_ptr<InteractiveItem>> links() const;
    /// The link that has keyboard focus, or none (also while the label has no focus).
    std::shared_ptr<InteractiveItem> focusedLink() const;
    /// The enter/exit/motion region currently installed; none before the first renewal.
    std::optional<MouseTrackingArea> mouseTrackingArea() const;

    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    /// The shown text changed (a new plain or attributed string).
    void textChanged(const QString &text);
    void textColorChanged(const QColor &color);
    void alignmentChanged(Qt::Alignment alignment);
    void selectedChanged(bool selected);
    void antiShakeEnableChanged(bool enable);
    void drawTextBorderChanged(bool draw);

protected:
    /// Installs a new tracking region over the bounds and handles the resting pointer as motion.
    /// Spelled as subclasses know it.
    virtual void configerTrackingArea();
    /// Debounced motion: marks the item under @p position (none when absent) as entered.
    virtual void movedShake(const std::optional<QPointF> &position);

    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    /// Moves between the links first; past the last (or first) one, on to the next widget.
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    friend class InteractiveLabelPrivate;
    std::unique_ptr<InteractiveLabelPrivate> const d;
};

/**
 * One clickable range of an InteractiveLabel, with its own state, per-state
 * attributes, callables and cursors, and press actions that receive the
 * range. Two items are the same when their uuids are.
 *
 * Items are made by the label's range operations and live as long as the
 * label; the label drives them with the item under the pointer (moved(),
 * mouseDown(), mouseUp()) and rebuilds its text when one needs it.
 */
class MIRAKIT_EXPORT InteractiveLabel::InteractiveItem : public InteractiveStateable {
public:
    /// Where the item's cursor applies: its rectangles, and the cursor of its current state.
    struct CursorInfo {
        QList<QRectF> rects;
        QCursor cursor;
    };

    InteractiveItem(const TextRange &range, bool enabled, bool selected);
    ~InteractiveItem() override;

    QUuid uuid() const { return m_uuid; }
    TextRange range() const { return m_range; }

    StateTable<QTextCharFormat> interactiveAttributes() const { return m_attributes; }
    void setInteractiveAttributes(const StateTable<QTextCharFormat> &table) { m_attributes = table; }
    StateTable<Block> interactiveBlocks() const { return m_blocks; }
    void setInteractiveBlocks(const StateTable<Block> &table) { m_blocks = table; }
    StateTable<QCursor> interactiveCursors() const { return m_cursors; }
    void setInteractiveCursors(const StateTable<QCursor> &table) { m_cursors = table; }

    /// Where the range is drawn: one rectangle per line it touches, in label coordinates.
    QList<QRectF> rects() const { return m_rects; }
    void setRects(const QList<QRectF> &rects) { m_rects = rects; }

    /// Whether the label must write the item's attributes into its text again. True at first.
    bool isNeedApply() const { return m_needApply; }
    void setNeedApply() { m_needApply = true; }

    /// Marks the item for applying when the state changed, then runs the state's callable, if any.
    void interactiveStateDidChanged(Interactive::State last) override;
    /// Clears the need-apply mark and, when the range lies inside @p text, gives it the attributes
    /// of the current state (replacing all of its attributes), if any resolve.
    void applyIfNeed(AttributedText &text);
    /// The item's rectangles with the cursor of its current state, if one resolves.
    std::optional<CursorInfo> cursorInfo() const;

    /// Pointer motion: entered when @p hit is this item.
    void moved(const InteractiveItem *hit);
    /// Press: pressed (and mouseDown fired) when @p hit is this item, else not pressed.
    void mouseDown(const InteractiveItem *hit);
    /// Release of a press on this item: mouseUpInside when @p hit is this item, else mouseUpOutside.
    void mouseUp(const InteractiveItem *hit);
    /// Whether a press does something: the item has a mouseDown or mouseUpInside action.
    bool isActionable() const;
    /// A press and release inside, as from the keyboard or assistive technology; the pointer's
    /// hover state is left as it was.
    void activate();

    friend bool operator==(const InteractiveItem &a, const InteractiveItem &b) { return a.m_uuid == b.m_uuid; }

private:
    QUuid m_uuid;
    TextRange m_range;
    StateTable<QTextCharFormat> m_attributes;
    StateTable<Block> m_blocks;
    StateTable<QCursor> m_cursors;
    QList<QRectF> m_rects;
    bool m_needApply = true;
};

} // namespace mira

Q_DECLARE_METATYPE(mira::TextRange)
