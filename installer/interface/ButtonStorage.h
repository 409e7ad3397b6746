#pragma once

class QWidget;
namespace mira {
class InteractiveButton;
}

/**
 * The installer's button styles, and the one place that maps a style to its
 * button class.
 *
 * @code
 * auto *quit = ButtonStorage::makeButton(ButtonStorage::ButtonStyle::border);
 * @endcode
 */
class ButtonStorage {
public:
    enum class ButtonStyle {
        theme = 0, ///< ThemeButton
        title = 1, ///< TitleButton
        border = 2, ///< BorderButton
    };

    /// A new button of @p style with no title, owned by @p parent.
    static mira::InteractiveButton *makeButton(ButtonStyle style, QWidget *parent = nullptr);
};
