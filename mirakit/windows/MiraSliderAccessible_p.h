#pragma once

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

namespace mira {

class MiraSlider;

// Assistive technology sees a slider with its value, bounds and arrow-key
// step; setting the value is a user change (clamped, undoable).
class MiraSliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit MiraSliderAccessible(MiraSlider *slider);

    /// The factory to install with QAccessible::installFactory().
    static QAccessibleInterface *create(const QString &className, QObject *object);

    void *interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text type) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant &value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    MiraSlider *slider() const;
};

} // namespace mira
