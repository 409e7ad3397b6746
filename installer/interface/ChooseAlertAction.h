#pragma once

#include "ActionBlockOccasion.h"
#include "ButtonStorage.h"

#include <QString>

#include <functional>

/**
 * One choice of a notice: the button's (already localised) title and
 * style, and what happens when the user takes it.
 *
 * The block receives the choice itself. isCheckedBox is carried along for
 * the block to read; the notice shows no check box for it.
 *
 * @code
 * const auto quit = ChooseAlertAction::choice(localizedString(QStringLiteral("Dialog_Button_OK")),
 *                                             ButtonStorage::ButtonStyle::border, [] { qApp->quit(); });
 * @endcode
 */
struct ChooseAlertAction {
    bool isCheckedBox = false;
    QString title;
    ActionBlockOccasion occasion = ActionBlockOccasion::dismiss;
    std::function<void(const ChooseAlertAction &)> block;
    ButtonStorage::ButtonStyle buttonStyle = ButtonStorage::ButtonStyle::theme;

    /// A dismissing choice running @p action (may be empty).
    static ChooseAlertAction choice(
        const QString &title, ButtonStorage::ButtonStyle style, std::function<void()> action = {});
};
