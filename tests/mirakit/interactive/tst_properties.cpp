#include "MiraKitControls.h"

#include <QMarginsF>
#include <QMetaProperty>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>

namespace {

// The properties MiraKit declares itself, not those of QWidget and the Qt classes beneath.
QList<QMetaProperty> ownProperties(const QMetaObject *meta)
{
    const QMetaObject *qtBase = meta;
    while (QByteArray(qtBase->className()).startsWith("mira::"))
        qtBase = qtBase->superClass();
    QList<QMetaProperty> properties;
    for (int index = qtBase->propertyCount(); index < meta->propertyCount(); ++index)
        properties << meta->property(index);
    return properties;
}

bool same(const QVariant &a, const QVariant &b)
{
    if (a.metaType() == QMetaType::fromType<QPixmap>() && b.metaType() == a.metaType())
        return a.value<QPixmap>().cacheKey() == b.value<QPixmap>().cacheKey();
    return a == b;
}

// A value of the property's type that differs from @p current; invalid for a type not covered yet.
QVariant differentValue(const QMetaProperty &property, const QVariant &current)
{
    if (property.isFlagType()) {
        const Qt::Alignment alignment
            = current.value<Qt::Alignment>() == Qt::AlignRight ? Qt::AlignLeft : Qt::AlignRight;
        return QVariant::fromValue(alignment);
    }
    if (property.isEnumType()) {
        const QMetaEnum values = property.enumerator();
        return (current.toInt() + 1) % values.keyCount();
    }
    const QColor one(0x123456);
    const QColor other(0x654321);
    switch (property.metaType().id()) {
    case QMetaType::Bool:
        return !current.toBool();
    case QMetaType::QColor:
        return current.value<QColor>() == one ? other : one;
    case QMetaType::QString:
        return current.toString() + QStringLiteral("x");
    case QMetaType::Double:
    case QMetaType::Float:
        return current.toDouble() > 0.5 ? current.toDouble() / 2 : current.toDouble() + 0.5;
    case QMetaType::Int:
        return current.toInt() + 100;
    case QMetaType::UInt:
        return current.toUInt() ^ 1u;
    case QMetaType::QPixmap: {
        QPixmap pixmap(8, 8);
        pixmap.fill(one);
        return pixmap;
    }
    default:
        break;
    }
    if (property.metaType() == QMetaType::fromType<QMarginsF>())
        return QVariant::fromValue(current.value<QMarginsF>() + QMarginsF(1, 2, 3, 4));
    if (property.metaType() == QMetaType::fromType<QList<QColor>>())
        return QVariant::fromValue(current.value<QList<QColor>>() == QList<QColor> { one, other }
                ? QList<QColor> { other, one }
                : QList<QColor> { one, other });
    return QVariant();
}

} // namespace

// Every property of every MiraKit control notifies each change once, and only real changes.
class PropertiesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyPropertyNotifiesItsChanges_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QByteArray>("name");
        const QList<controls::Control> rows = controls::all();
        for (int row = 0; row < rows.size(); ++row) {
            QWidget parent;
            QWidget *widget = rows[row].create(&parent);
            for (const QMetaProperty &property : ownProperties(widget->metaObject()))
                QTest::addRow("%s::%s", rows[row].name, property.name()) << row << QByteArray(property.name());
        }
    }
    void everyPropertyNotifiesItsChanges()
    {
        QFETCH(int, row);
        QFETCH(QByteArray, name);
        QWidget parent;
        QWidget *widget = controls::all().at(row).create(&parent);
        const QMetaProperty property = widget->metaObject()->property(widget->metaObject()->indexOfProperty(name));
        QVERIFY2(property.hasNotifySignal(), "no NOTIFY signal");
        // A read-only property reports the control's own state: its signal is all there is to check.
        if (!property.isWritable())
            return;

        const QVariant before = property.read(widget);
        const QVariant different = differentValue(property, before);
        QVERIFY2(different.isValid(), property.typeName());
        QSignalSpy spy(widget, property.notifySignal());
        QVERIFY(property.write(widget, different));
        const bool changed = !same(property.read(widget), before);
        // Only a direction switch may ignore a write: false changes nothing.
        QVERIFY(changed || (property.metaType().id() == QMetaType::Bool && before.toBool()));
        QCOMPARE(spy.count(), changed ? 1 : 0);
        QVERIFY(property.write(widget, different));
        QCOMPARE(spy.count(), changed ? 1 : 0);
    }
};

QTEST_MAIN(PropertiesTest)
#include "tst_properties.moc"
