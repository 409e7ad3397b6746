#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <QMetaObject>
#include <QPluginLoader>
#include <QTest>
#include <QWidget>
#include <QXmlStreamReader>

// The built Designer plug-in, loaded the way Qt Designer loads it.
class DesignerPluginTest : public QObject {
    Q_OBJECT
private:
    QPluginLoader m_loader { QStringLiteral(MIRAKIT_DESIGNER_PLUGIN) };
    QList<QDesignerCustomWidgetInterface *> m_widgets;

    QDesignerCustomWidgetInterface *widget(const QString &name) const
    {
        for (QDesignerCustomWidgetInterface *widget : m_widgets) {
            if (widget->name() == name)
                return widget;
        }
        return nullptr;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QObject *instance = m_loader.instance();
        QVERIFY2(instance, qPrintable(m_loader.errorString()));
        auto *collection = qobject_cast<QDesignerCustomWidgetCollectionInterface *>(instance);
        QVERIFY(collection);
        m_widgets = collection->customWidgets();
    }

    void everyWidgetIsInTheCollection_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("include");
        const std::pair<const char *, const char *> widgets[] = { { "InteractiveView", "interactive" },
            { "InteractiveButton", "interactive" }, { "GradientView", "interactive" },
            { "GradientButton", "interactive" }, { "InteractiveLabel", "interactive" },
            { "LineProgressView", "interactive" }, { "MiraSlider", "windows" }, { "MiraSwitch", "windows" },
            { "PlainTextField", "windows" }, { "SecurePlainTextField", "windows" }, { "NibDesignView", "windows" } };
        for (const auto &[name, folder] : widgets)
            QTest::newRow(name) << QStringLiteral("mira::") + QLatin1String(name)
                                << QStringLiteral("mirakit/%1/%2.h").arg(QLatin1String(folder), QLatin1String(name));
    }
    void everyWidgetIsInTheCollection()
    {
        QFETCH(QString, name);
        QFETCH(QString, include);
        QDesignerCustomWidgetInterface *plugin = widget(name);
        QVERIFY(plugin);
        QCOMPARE(plugin->group(), QStringLiteral("MiraKit"));
        QCOMPARE(plugin->includeFile(), include);
        QVERIFY(!plugin->toolTip().isEmpty());
        QVERIFY(!plugin->icon().isNull());
        QVERIFY(!plugin->isContainer());

        QWidget parent;
        QWidget *created = plugin->createWidget(&parent);
        QVERIFY(created);
        QCOMPARE(created->parent(), &parent);
        QCOMPARE(QString::fromLatin1(created->metaObject()->className()), name);

        // The starting properties name the class and only properties it has, with values it accepts.
        QXmlStreamReader xml(plugin->domXml());
        QString widgetClass;
        QStringList properties;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("widget") && widgetClass.isEmpty()) {
                widgetClass = xml.attributes().value(QLatin1String("class")).toString();
                QVERIFY(!xml.attributes().value(QLatin1String("name")).isEmpty());
            } else if (xml.name() == QLatin1String("property")) {
                properties << xml.attributes().value(QLatin1String("name")).toString();
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(widgetClass, name);
        QVERIFY(!properties.isEmpty());
        for (const QString &property : std::as_const(properties))
            QVERIFY2(created->metaObject()->indexOfProperty(property.toLatin1()) >= 0, qPrintable(property));
    }

    void noWidgetIsListedTwice()
    {
        QStringList names;
        for (QDesignerCustomWidgetInterface *plugin : std::as_const(m_widgets))
            names << plugin->name();
        names.removeDuplicates();
        QCOMPARE(names.size(), m_widgets.size());
    }
};

QTEST_MAIN(DesignerPluginTest)
#include "tst_designerplugin.moc"
