#pragma once

#include <QColor>
#include <QString>

#include <functional>

class QWidget;

/**
 * Gives plain Qt widgets the designable properties the interface files set.
 *
 * A `.ui` file sets them as dynamic properties (stdset="0"); apply() reads
 * them once after loading and turns them into the widget's look:
 *
 * | Property | Effect |
 * |---|---|
 * | cornerRadiusIB, cornerTopLeftIB, cornerTopRightIB, cornerBottomLeftIB, cornerBottomRightIB | rounded corners (all
 * four unless some are switched off) | | borderWidthIB, borderColorIB, backgroundColorIB | border and background | |
 * shadowOffsetIB, shadowRadiusIB, shadowOpacityIB, shadowColorIB | a drop shadow | | isClip | nothing to do: Qt always
 * clips children to their parent's bounds | | textColorIB | the colour of the widget's text (through its palette, which
 * is cheaper than a style sheet) | | backgroundColorIB on a window | the window's background | | localizedKeyIB on a
 * label, line edit, action or any widget with a text property | the text looked up for the key | |
 * placeholderLocalizedKeyIB, placeholderColorIB on a line edit | the looked-up placeholder, in that colour |
 *
 * Widgets that declare a property themselves (MiraKit's controls declare
 * their own designable properties) handle it through their setter; apply()
 * leaves those alone.
 */
class DesignableProperties {
public:
    using Lookup = std::function<QString(const QString &key)>;

    /// Applies the properties of @p root, its descendants and their actions.
    static void apply(QWidget *root, const Lookup &lookup);

    /// The masked-corner bits: 1 minimum x and y, 2 maximum x minimum y,
    /// 4 minimum x maximum y, 8 maximum x and y.
    enum Corner { MinXMinYCorner = 1, MaxXMinYCorner = 2, MinXMaxYCorner = 4, MaxXMaxYCorner = 8 };

    /// The corner bit a named corner property uses. Qt widgets are flipped
    /// (y grows downwards), so top-left is the minimum-y corner.
    static int cornerBit(const QString &property, bool flipped = true);

    /// The masked corners of @p widget: all four unless its corner
    /// properties clear some.
    static int maskedCorners(const QWidget *widget);

    /// The style sheet the layer properties of @p widget amount to; empty
    /// when it sets none.
    static QString layerStyleSheet(const QWidget *widget);

private:
    static void applyToWidget(QWidget *widget, const Lookup &lookup);
};
