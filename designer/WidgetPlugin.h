#pragma once

#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <QIcon>
#include <QObject>

#include <functional>

/**
 * What Qt Designer needs to know about one MiraKit widget: its class (with
 * the namespace, as in .ui files), header, tool tip, icon, the properties a
 * new instance starts with, and how to make one.
 */
struct WidgetEntry {
    QString className;
    QString includeFile;
    QString toolTip;
    QString iconName; // in the plug-in's resource folder ":/mirakit-designer/"
    QString defaultProperties; // <property> elements of a new widget, as in .ui files
    std::function<QWidget *(QWidget *parent)> create;
};

/// One widget of the MiraKit group in Qt Designer's widget box, described by a WidgetEntry.
class WidgetPlugin : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)
public:
    /// The widget box group of every MiraKit widget.
    static inline const QString groupName = QStringLiteral("MiraKit");

    WidgetPlugin(WidgetEntry entry, QObject *parent);

    QString name() const override;
    QString group() const override;
    QString toolTip() const override;
    QString whatsThis() const override;
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override;
    QWidget *createWidget(QWidget *parent) override;
    bool isInitialized() const override;
    void initialize(QDesignerFormEditorInterface *core) override;
    /// A <ui> document with one widget of the class, named after it, with the default properties.
    QString domXml() const override;

private:
    WidgetEntry m_entry;
    bool m_initialized = false;
};
