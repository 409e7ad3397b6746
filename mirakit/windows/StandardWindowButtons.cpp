#include "StandardWindowButtons.h"

#include <QVariant>
#include <QWidget>

namespace mira {

namespace {

const char styleMaskProperty[] = "_mira_styleMask";
const char originalFlagsProperty[] = "_mira_originalFlags";
const char originalMaskProperty[] = "_mira_originalStyleMask";
const char savedMinimumProperty[] = "_mira_resizableMinimum";
const char savedMaximumProperty[] = "_mira_resizableMaximum";
// The record of disableStandardButtonState(): the property and its keys are
// spelled as callers of standardButtonEnableTemp() read them.
const char recordProperty[] = "standardButtonEnableTemp";
const QString resizableKey = QStringLiteral("styleMask.resizable");

struct RecordedButton {
    StandardWindowButton button;
    QLatin1String key;
};
// In the order they are switched off and back on.
const RecordedButton recordedButtons[] = {
    { StandardWindowButton::zoom, QLatin1String("zoomButton") },
    { StandardWindowButton::close, QLatin1String("closeButton") },
    { StandardWindowButton::miniaturize, QLatin1String("miniaturizeButton") },
};

const char *enabledProperty(StandardWindowButton button)
{
    switch (button) {
    case StandardWindowButton::close:
        return "_mira_closeButtonEnabled";
    case StandardWindowButton::miniaturize:
        return "_mira_miniaturizeButtonEnabled";
    case StandardWindowButton::zoom:
        break;
    }
    return "_mira_zoomButtonEnabled";
}

WindowStyleMask derivedStyleMask(const QWidget *window)
{
    const Qt::WindowFlags flags = window->windowFlags();
    WindowStyleMask mask;
    if (!(flags & Qt::FramelessWindowHint))
        mask |= WindowStyle::titled;
    const bool customised = flags & Qt::CustomizeWindowHint;
    if (!customised || (flags & Qt::WindowCloseButtonHint))
        mask |= WindowStyle::closable;
    if (!customised || (flags & Qt::WindowMinimizeButtonHint))
        mask |= WindowStyle::miniaturizable;
    if (window->minimumSize() != window->maximumSize())
        mask |= WindowStyle::resizable;
    return mask;
}

// Remembers how the window looked before it was first configured here, so
// that putting everything back gives it exactly its old flags.
void rememberOriginal(QWidget *window)
{
    if (window->property(originalFlagsProperty).isValid())
        return;
    window->setProperty(originalFlagsProperty, int(window->windowFlags().toInt()));
    window->setProperty(originalMaskProperty, int(derivedStyleMask(window).toInt()));
}

} // namespace

WindowStyleMask StandardWindowButtons::styleMask(const QWidget *window)
{
    if (!window)
        return {};
    const QVariant stored = window->property(styleMaskProperty);
    if (stored.isValid())
        return WindowStyleMask::fromInt(stored.toInt());
    return derivedStyleMask(window);
}

void StandardWindowButtons::setStyleMask(QWidget *window, WindowStyleMask mask)
{
    if (!window)
        return;
    const WindowStyleMask old = styleMask(window);
    const bool wasStored = window->property(styleMaskProperty).isValid();
    if (wasStored && old == mask)
        return;
    rememberOriginal(window);
    window->setProperty(styleMaskProperty, int(mask.toInt()));
    // Only a window with a frame can be resized by the user; an untitled one keeps its size limits.
    if (!(mask & WindowStyle::titled))
        return apply(window);
    if ((old & WindowStyle::resizable) && !(mask & WindowStyle::resizable)) {
        window->setProperty(savedMinimumProperty, window->minimumSize());
        window->setProperty(savedMaximumProperty, window->maximumSize());
        window->setFixedSize(window->size());
    } else if (!(old & WindowStyle::resizable) && (mask & WindowStyle::resizable)) {
        const QVariant minimum = window->property(savedMinimumProperty);
        const QVariant maximum = window->property(savedMaximumProperty);
        window->setMinimumSize(minimum.isValid() ? minimum.toSize() : QSize(0, 0));
        window->setMaximumSize(maximum.isValid() ? maximum.toSize() : QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    }
    apply(window);
}

bool StandardWindowButtons::hasButton(const QWidget *window, StandardWindowButton button)
{
    const WindowStyleMask mask = styleMask(window);
    switch (button) {
    case StandardWindowButton::close:
        return mask & WindowStyle::closable;
    case StandardWindowButton::miniaturize:
        return mask & WindowStyle::miniaturizable;
    case StandardWindowButton::zoom:
        break;
    }
    return mask & WindowStyle::titled;
}

bool StandardWindowButtons::isButtonEnabled(const QWidget *window, StandardWindowButton button)
{
    if (!hasButton(window, button))
        return false;
    const QVariant stored = window->property(enabledProperty(button));
    return !stored.isValid() || stored.toBool();
}

void StandardWindowButtons::setButtonEnabled(QWidget *window, StandardWindowButton button, bool enabled)
{
    if (!hasButton(window, button))
        return;
    if (!window->property(styleMaskProperty).isValid()) {
        rememberOriginal(window);
        window->setProperty(styleMaskProperty, int(styleMask(window).toInt()));
    }
    if (isButtonEnabled(window, button) == enabled && window->property(enabledProperty(button)).isValid())
        return;
    window->setProperty(enabledProperty(button), enabled);
    apply(window);
}

void StandardWindowButtons::apply(QWidget *window)
{
    const WindowStyleMask mask = styleMask(window);
    const auto untouched = [window](StandardWindowButton button) {
        return isButtonEnabled(window, button) == hasButton(window, button);
    };
    const bool allEnabled = untouched(StandardWindowButton::close) && untouched(StandardWindowButton::miniaturize)
        && untouched(StandardWindowButton::zoom);
    const Qt::WindowFlags current = window->windowFlags();
    Qt::WindowFlags flags;
    if (allEnabled && window->property(originalMaskProperty).toInt() == int(mask.toInt())) {
        // Everything is as it was: give the window back its own flags.
        const auto original = Qt::WindowFlags::fromInt(window->property(originalFlagsProperty).toInt());
        flags = (original & ~Qt::WindowType_Mask) | (current & Qt::WindowType_Mask);
    } else {
        flags = current
            & ~(Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint
                | Qt::WindowTitleHint | Qt::WindowSystemMenuHint);
        flags |= Qt::CustomizeWindowHint;
        if (mask & WindowStyle::titled)
            flags |= Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
        if (isButtonEnabled(window, StandardWindowButton::close))
            flags |= Qt::WindowCloseButtonHint;
        if (isButtonEnabled(window, StandardWindowButton::miniaturize))
            flags |= Qt::WindowMinimizeButtonHint;
        if (isButtonEnabled(window, StandardWindowButton::zoom) && (mask & WindowStyle::resizable))
            flags |= Qt::WindowMaximizeButtonHint;
    }
    if (flags == current)
        return;
    const bool wasVisible = window->isVisible();
    window->setWindowFlags(flags);
    // Changing the flags of a shown window may hide it; put it back.
    if (wasVisible && !window->isVisible())
        window->show();
}

void disableStandardButtonState(QWidget *window)
{
    if (!window)
        return;
    QVariantMap record;
    for (const auto &[button, key] : recordedButtons) {
        if (!StandardWindowButtons::hasButton(window, button))
            continue;
        record.insert(key, StandardWindowButtons::isButtonEnabled(window, button));
        StandardWindowButtons::setButtonEnabled(window, button, false);
    }
    const WindowStyleMask mask = StandardWindowButtons::styleMask(window);
    if (mask & WindowStyle::resizable) {
        record.insert(resizableKey, true);
        StandardWindowButtons::setStyleMask(window, mask & ~WindowStyleMask(WindowStyle::resizable));
    }
    window->setProperty(recordProperty, record);
}

void restoreDisableStandardButtonState(QWidget *window)
{
    if (!window)
        return;
    const QVariant stored = window->property(recordProperty);
    if (!stored.isValid())
        return;
    const QVariantMap record = stored.toMap();
    for (const auto &[button, key] : recordedButtons) {
        const QVariant value = record.value(key);
        if (value.typeId() == QMetaType::Bool && StandardWindowButtons::hasButton(window, button))
            StandardWindowButtons::setButtonEnabled(window, button, value.toBool());
    }
    if (record.value(resizableKey).toBool()) {
        StandardWindowButtons::setStyleMask(window, StandardWindowButtons::styleMask(window) | WindowStyle::resizable);
    }
    window->setProperty(recordProperty, QVariant());
}

QVariantMap standardButtonEnableTemp(const QWidget *window)
{
    return window ? window->property(recordProperty).toMap() : QVariantMap();
}

} // namespace mira
