#include "WidgetPlugin.h"

#include <QWidget>

WidgetPlugin::WidgetPlugin(WidgetEntry entry, QObject *parent)
    : QObject(parent)
    , m_entry(std::move(entry))
{
}

QString WidgetPlugin::name() const
{
    return m_entry.className;
}

QString WidgetPlugin::group() const
{
    return groupName;
}

QString WidgetPlugin::toolTip() const
{
    return m_entry.toolTip;
}

QString WidgetPlugin::whatsThis() const
{
    return m_entry.toolTip;
}

QString WidgetPlugin::includeFile() const
{
    return m_entry.includeFile;
}

QIcon WidgetPlugin::icon() const
{
    return QIcon(QStringLiteral(":/mirakit-designer/") + m_entry.iconName);
}

bool WidgetPlugin::isContainer() const
{
    return false;
}

QWidget *WidgetPlugin::createWidget(QWidget *parent)
{
    return m_entry.create(parent);
}

bool WidgetPlugin::isInitialized() const
{
    return m_initialized;
}

void WidgetPlugin::initialize(QDesignerFormEditorInterface *)
{
    m_initialized = true;
}

QString WidgetPlugin::domXml() const
{
    // "mira::InteractiveButton" becomes the object name "interactiveButton".
    QString objectName = m_entry.className.section(QStringLiteral("::"), -1);
    objectName[0] = objectName[0].toLower();
    return QStringLiteral("<ui language=\"c++\">\n <widget class=\"%1\" name=\"%2\">\n%3 </widget>\n</ui>\n")
        .arg(m_entry.className, objectName, m_entry.defaultProperties);
}
