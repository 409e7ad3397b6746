#include "ButtonStorage.h"

#include "BorderButton.h"
#include "ThemeButton.h"
#include "TitleButton.h"

mira::InteractiveButton *ButtonStorage::makeButton(ButtonStyle style, QWidget *parent)
{
    switch (style) {
    case ButtonStyle::title:
        return new TitleButton(parent);
    case ButtonStyle::border:
        return new BorderButton(parent);
    case ButtonStyle::theme:
        break;
    }
    return new ThemeButton(parent);
}
