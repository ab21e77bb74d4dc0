#pragma once
#include <QAccessibleWidget>

#include <cstdint>

namespace mirth {

// What a screen reader sees of a control that holds one integer in a range: the value,
// its bounds and step, which it may also set, and the increase and decrease actions. The
// control is named as Qt names its own: by its accessible name, else by the label that
// has it as buddy, else by its hint. Its inner parts (a spin edit's buttons) are reached
// through the actions, so it shows no children.
class TAccessibleRange : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    TAccessibleRange(QWidget* control, QAccessible::Role role);

    QString text(QAccessible::Text t) const override;
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void* interface_cast(QAccessible::InterfaceType type) override;

    QVariant currentValue() const override { return Value(); }
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override { return Maximum(); }
    QVariant minimumValue() const override { return Minimum(); }
    QVariant minimumStepSize() const override { return Step(); }

    QStringList actionNames() const override;
    void doAction(const QString& name) override;

protected:
    virtual int32_t Value() const = 0;
    virtual void SetValue(int32_t value) = 0;
    virtual int32_t Minimum() const = 0;
    virtual int32_t Maximum() const = 0;
    virtual int32_t Step() const = 0;
    // As the keyboard steps: the control's own rule, not simply the value plus the step.
    virtual void StepUp() = 0;
    virtual void StepDown() = 0;
};

} // namespace mirth
