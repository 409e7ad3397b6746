#include "Launcher.h"

#include <platform/Workspace.h>

bool Launcher::launchApp(const QString &path)
{
    return !platform::Workspace::startBundle(path);
}
