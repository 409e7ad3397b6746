#pragma once

#include <mirakit/interactive/GradientButton.h>
#include <mirakit/interactive/GradientView.h>
#include <mirakit/interactive/InteractiveButton.h>
#include <mirakit/interactive/InteractiveLabel.h>
#include <mirakit/interactive/InteractiveView.h>
#include <mirakit/interactive/LineProgressView.h>
#include <mirakit/windows/MiraSlider.h>
#include <mirakit/windows/MiraSwitch.h>
#include <mirakit/windows/NibDesignView.h>
#include <mirakit/windows/PlainTextField.h>
#include <mirakit/windows/QZCloseButton.h>
#include <mirakit/windows/QZCornerView.h>
#include <mirakit/windows/SecurePlainTextField.h>
#include <mirakit/windows/SheetCloseButton.h>

#include <functional>
#include <optional>

// Every MiraKit control, made the same way for the library-wide tests. A new
// control is one row in all(); the hooks have defaults that fit most rows.
namespace controls {

struct Control {
    const char *name;
    std::function<QWidget *(QWidget *parent)> create;
    // The interaction state the user sees; by default that of an InteractiveStateable, none otherwise.
    std::function<std::optional<mira::Interactive::State>(QWidget *)> state;
    // Calls the function on every press action the control reports; by
    // default clicked() of a QAbstractButton and the mouseDown and
    // mouseUpInside actions of an InteractiveStateable.
    std::function<void(QWidget *, std::function<void()>)> observePresses;
    // Where a press lands; by default the centre.
    std::function<QPoint(QWidget *)> pressPoint;
};

inline const mira::TextRange labelLink { 0, 4 };

inline std::shared_ptr<mira::InteractiveLabel::InteractiveItem> labelItem(QWidget *widget)
{
    return static_cast<mira::InteractiveLabel *>(widget)->items().value(0);
}

inline QList<Control> all()
{
    using mira::Interactive;
    QList<Control> rows {
        { "InteractiveView", [](QWidget *parent) { return new mira::InteractiveView(parent); } },
        { "InteractiveButton",
            [](QWidget *parent) { return new mira::InteractiveButton(QStringLiteral("Install"), parent); } },
        { "GradientView", [](QWidget *parent) { return new mira::GradientView(parent); } },
        { "GradientButton", [](QWidget *parent) { return new mira::GradientButton(parent); } },
        { "LineProgressView", [](QWidget *parent) { return new mira::LineProgressView(parent); } },
        { "SheetCloseButton", [](QWidget *parent) { return new mira::SheetCloseButton(parent); } },
        { "QZCloseButton", [](QWidget *parent) { return new mira::QZCloseButton(parent); } },
        { "QZCornerView", [](QWidget *parent) { return new mira::QZCornerView(parent); } },
        { "NibDesignView", [](QWidget *parent) { return new mira::NibDesignView(parent); } },
        { "MiraSlider", [](QWidget *parent) { return new mira::MiraSlider(parent); }, {},
            [](QWidget *widget, std::function<void()> pressed) {
                QObject::connect(static_cast<mira::MiraSlider *>(widget), &mira::MiraSlider::valueEdited, widget,
                    [pressed](double, mira::MiraSlider::ValueState) { pressed(); });
            },
            [](QWidget *widget) { return QPoint(widget->width() / 4, widget->height() / 2); } },
        { "MiraSwitch", [](QWidget *parent) { return new mira::MiraSwitch(parent); }, {},
            [](QWidget *widget, std::function<void()> pressed) {
                QObject::connect(static_cast<mira::MiraSwitch *>(widget), &mira::MiraSwitch::clicked, widget,
                    [pressed](bool) { pressed(); });
            } },
        { "PlainTextField", [](QWidget *parent) { return new mira::PlainTextField(parent); }, {},
            [](QWidget *widget, std::function<void()> pressed) {
                QObject::connect(static_cast<QLineEdit *>(widget), &QLineEdit::textEdited, widget,
                    [pressed](const QString &) { pressed(); });
            } },
        { "SecurePlainTextField", [](QWidget *parent) { return new mira::SecurePlainTextField(parent); }, {},
            [](QWidget *widget, std::function<void()> pressed) {
                QObject::connect(static_cast<QLineEdit *>(widget), &QLineEdit::textEdited, widget,
                    [pressed](const QString &) { pressed(); });
            } },
        { "InteractiveLabel",
            [](QWidget *parent) {
                auto *label = new mira::InteractiveLabel(QStringLiteral("Read the terms."), parent);
                label->setAntiShakeEnable(false);
                label->setEventAction([](mira::TextRange) {}, Interactive::Event::mouseUpInside, labelLink);
                return label;
            },
            [](QWidget *widget) { return std::optional(labelItem(widget)->interactiveState()); },
            [](QWidget *widget, std::function<void()> pressed) {
                auto *label = static_cast<mira::InteractiveLabel *>(widget);
                label->setEventAction(
                    [pressed](mira::TextRange) { pressed(); }, Interactive::Event::mouseDown, labelLink);
            },
            [](QWidget *widget) { return labelItem(widget)->rects().value(0).center().toPoint(); } },
    };
    for (Control &row : rows) {
        if (!row.state)
            row.state = [](QWidget *widget) -> std::optional<Interactive::State> {
                if (auto *stateful = dynamic_cast<mira::InteractiveStateable *>(widget))
                    return stateful->interactiveState();
                return std::nullopt;
            };
        if (!row.observePresses)
            row.observePresses = [](QWidget *widget, std::function<void()> pressed) {
                if (auto *button = qobject_cast<QAbstractButton *>(widget))
                    QObject::connect(button, &QAbstractButton::clicked, button, pressed);
                if (auto *stateful = dynamic_cast<mira::InteractiveStateable *>(widget)) {
                    stateful->setEventAction([pressed](const QVariant &) { pressed(); }, Interactive::Event::mouseDown);
                    stateful->setEventAction(
                        [pressed](const QVariant &) { pressed(); }, Interactive::Event::mouseUpInside);
                }
            };
        if (!row.pressPoint)
            row.pressPoint = [](QWidget *widget) { return widget->rect().center(); };
    }
    return rows;
}

} // namespace controls
