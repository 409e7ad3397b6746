#include "MiraKitWidgets.h"

#include "WidgetPlugin.h"

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
#include <mirakit/windows/SecurePlainTextField.h>

namespace {

QString geometry(int width, int height)
{
    return QStringLiteral("  <property name=\"geometry\">\n   <rect><x>0</x><y>0</y><width>%1</width>"
                          "<height>%2</height></rect>\n  </property>\n")
        .arg(width)
        .arg(height);
}

QString stringProperty(const char *name, const char *value)
{
    return QStringLiteral("  <property name=\"%1\">\n   <string>%2</string>\n  </property>\n")
        .arg(QLatin1String(name), QLatin1String(value));
}

QString colorProperty(const char *name, QRgb rgb)
{
    const QColor color(rgb);
    return QStringLiteral("  <property name=\"%1\">\n   <color><red>%2</red><green>%3</green><blue>%4</blue></color>\n"
                          "  </property>\n")
        .arg(QLatin1String(name))
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue());
}

template <typename Widget> QWidget *make(QWidget *parent)
{
    return new Widget(parent);
}

QList<WidgetEntry> entries()
{
    const QString header = QStringLiteral("mirakit/interactive/%1.h");
    const QString windowsHeader = QStringLiteral("mirakit/windows/%1.h");
    return {
        { QStringLiteral("mira::InteractiveView"), header.arg(QLatin1String("InteractiveView")),
            QStringLiteral("A panel whose background and border follow hovering, pressing, selection and disabling"),
            QStringLiteral("interactiveview.svg"), geometry(120, 80) + colorProperty("normalBackgroundColor", 0xF2F4F7),
            make<mira::InteractiveView> },
        { QStringLiteral("mira::InteractiveButton"), header.arg(QLatin1String("InteractiveButton")),
            QStringLiteral("A push button whose title, colours, image and border are set per interaction state"),
            QStringLiteral("interactivebutton.svg"),
            geometry(120, 32) + stringProperty("title", "Button") + colorProperty("normalBackgroundColor", 0x3BE5A2),
            make<mira::InteractiveButton> },
        { QStringLiteral("mira::GradientView"), header.arg(QLatin1String("GradientView")),
            QStringLiteral("A panel with a linear gradient background per interaction state"),
            QStringLiteral("gradientview.svg"),
            geometry(120, 80) + colorProperty("normalStartColor", 0x3BE5A2) + colorProperty("normalEndColor", 0x2FB782),
            make<mira::GradientView> },
        { QStringLiteral("mira::GradientButton"), header.arg(QLatin1String("GradientButton")),
            QStringLiteral("A push button with a linear gradient background per interaction state"),
            QStringLiteral("gradientbutton.svg"),
            geometry(120, 32) + stringProperty("title", "Button") + colorProperty("normalStartColor", 0x3BE5A2)
                + colorProperty("normalEndColor", 0x2FB782),
            make<mira::GradientButton> },
        { QStringLiteral("mira::InteractiveLabel"), header.arg(QLatin1String("InteractiveLabel")),
            QStringLiteral("A wrapping text whose character ranges act as links"),
            QStringLiteral("interactivelabel.svg"),
            geometry(160, 24) + stringProperty("text", "Label") + colorProperty("textColor", 0x342929),
            make<mira::InteractiveLabel> },
        { QStringLiteral("mira::LineProgressView"), header.arg(QLatin1String("LineProgressView")),
            QStringLiteral("A thin progress bar: a track and a gradient bar that moves smoothly"),
            QStringLiteral("lineprogressview.svg"), geometry(200, 6) + colorProperty("trackColor", 0xEDEFF2),
            make<mira::LineProgressView> },
        { QStringLiteral("mira::MiraSlider"), windowsHeader.arg(QLatin1String("MiraSlider")),
            QStringLiteral("A slider for a fractional value, with undo and a highlighted knob"),
            QStringLiteral("miraslider.svg"), geometry(200, 22), make<mira::MiraSlider> },
        { QStringLiteral("mira::MiraSwitch"), windowsHeader.arg(QLatin1String("MiraSwitch")),
            QStringLiteral("An on/off switch that can be clicked, dragged or toggled with Space"),
            QStringLiteral("miraswitch.svg"), geometry(50, 30), make<mira::MiraSwitch> },
        { QStringLiteral("mira::PlainTextField"), windowsHeader.arg(QLatin1String("PlainTextField")),
            QStringLiteral("A one-line text field with its text centred vertically and a caret colour of its own"),
            QStringLiteral("plaintextfield.svg"), geometry(200, 30), make<mira::PlainTextField> },
        { QStringLiteral("mira::SecurePlainTextField"), windowsHeader.arg(QLatin1String("SecurePlainTextField")),
            QStringLiteral("A text field that can hide its text, for passwords"),
            QStringLiteral("secureplaintextfield.svg"), geometry(200, 30), make<mira::SecurePlainTextField> },
        { QStringLiteral("mira::NibDesignView"), windowsHeader.arg(QLatin1String("NibDesignView")),
            QStringLiteral("A view whose content is loaded at run time from the Designer file named by nibName"),
            QStringLiteral("nibdesignview.svg"), geometry(200, 120), make<mira::NibDesignView> },
    };
}

} // namespace

MiraKitWidgets::MiraKitWidgets(QObject *parent)
    : QObject(parent)
{
    for (WidgetEntry &entry : entries())
        m_widgets.append(new WidgetPlugin(std::move(entry), this));
}

QList<QDesignerCustomWidgetInterface *> MiraKitWidgets::customWidgets() const
{
    return m_widgets;
}
