#pragma once

#include <mirakit/mirakit_export.h>

#include <QAbstractButton>

#include <functional>

/**
 * @file
 * Target-action for buttons: one call that says which object's member a
 * click runs.
 *
 * Unlike QObject::connect(), which adds a connection each time, the button
 * keeps one target-action: setting another replaces the first, and a null
 * target clears it. The connection ends when the target is destroyed.
 *
 * @code
 * mira::addTarget(installButton, page, &InstallPage::install);
 * mira::addTarget(installButton, other, &OtherPage::start);   // install() is no longer called
 * mira::addTarget<InstallPage>(installButton, nullptr, nullptr); // clicks do nothing
 * @endcode
 */
namespace mira {

/// Makes a click on @p button call @p action on @p context, replacing the
/// button's earlier target-action. A null @p context or empty action clears it.
MIRAKIT_EXPORT void setTargetAction(QAbstractButton *button, QObject *context, std::function<void()> action);

/// Makes a click on @p button call (target->*action)(), replacing the
/// button's earlier target-action; a null target or action clears it.
template <typename Target> void addTarget(QAbstractButton *button, Target *target, void (Target::*action)())
{
    if (!target || !action)
        return setTargetAction(button, nullptr, {});
    setTargetAction(button, target, [target, action] { (target->*action)(); });
}

} // namespace mira
