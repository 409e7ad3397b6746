#include "MiraSliderAccessible_p.h"

#include "MiraSlider_p.h"

#include <QLocale>

#include <cmath>

namespace mira {

MiraSliderAccessible::MiraSliderAccessible(MiraSlider *slider)
    : QAccessibleWidget(slider, QAccessible::Slider)
{
}

QAccessibleInterface *MiraSliderAccessible::create(const QString &, QObject *object)
{
    if (auto *slider = qobject_cast<MiraSlider *>(object))
        return new MiraSliderAccessible(slider);
    return nullptr;
}

void *MiraSliderAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString MiraSliderAccessible::text(QAccessible::Text type) const
{
    if (type == QAccessible::Value)
        return QLocale().toString(slider()->value());
    return QAccessibleWidget::text(type);
}

QVariant MiraSliderAccessible::currentValue() const
{
    return slider()->value();
}

void MiraSliderAccessible::setCurrentValue(const QVariant &value)
{
    if (slider()->isEnabled() && value.canConvert<double>())
        MiraSliderPrivate::get(slider())->editTo(value.toDouble());
}

QVariant MiraSliderAccessible::maximumValue() const
{
    return slider()->maxValue();
}

QVariant MiraSliderAccessible::minimumValue() const
{
    return slider()->minValue();
}

QVariant MiraSliderAccessible::minimumStepSize() const
{
    return std::abs(slider()->singleStep());
}

MiraSlider *MiraSliderAccessible::slider() const
{
    return static_cast<MiraSlider *>(widget());
}

} // namespace mira
