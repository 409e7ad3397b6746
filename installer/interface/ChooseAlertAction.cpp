#include "ChooseAlertAction.h"

ChooseAlertAction ChooseAlertAction::choice(
    const QString &title, ButtonStorage::ButtonStyle style, std::function<void()> action)
{
    ChooseAlertAction choice;
    choice.title = title;
    choice.buttonStyle = style;
    choice.occasion = ActionBlockOccasion::dismiss;
    if (action)
        choice.block = [action = std::move(action)](const ChooseAlertAction &) { action(); };
    return choice;
}
