#include <mirakit/MiraKit.h>
// The path before the header moved to interactive/: it must keep building.
#include <mirakit/foundation/ViewBehaverWrapper.h>
#include <mirakit/interactive/InteractiveButton.h>
#include <mirakit/interactive/SpacingButtonCell.h>

#include <QApplication>

#include <cstdio>

// Builds a button against the installed package and checks one resolved value.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    mira::InteractiveButton button(QStringLiteral("Install"));
    button.replaceButtonCell(std::make_unique<mira::SpacingButtonCell>());
    button.setBackgroundColor(QColor(0x3BE5A2), mira::Interactive::State::normal);
    const bool ok = button.backgroundColor(mira::Interactive::State::hovered) == QColor(0x3BE5A2)
        && button.title() == QStringLiteral("Install") && mira::viewBehaver(&button).isUserInteractionEnabled();
    std::printf("MiraKit %s: %s\n", mira::version(), ok ? "ok" : "wrong");
    return ok ? 0 : 1;
}
