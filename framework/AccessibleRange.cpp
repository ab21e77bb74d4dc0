#include "framework/AccessibleRange.h"

#include <QLabel>

#include <limits>

namespace mirth {
namespace {

// The name Qt would give `control`, with the hint as the last resort, without the blanks
// a hint may carry at its ends.
QString AccessibleNameOf(const QWidget& control)
{
    if (!control.accessibleName().isEmpty())
        return control.accessibleName();
    if (const QWidget* parent = control.parentWidget()) {
        for (const QLabel* label : parent->findChildren<const QLabel*>(Qt::FindDirectChildrenOnly))
            if (label->buddy() == &control)
                return label->text().remove(u'&');
    }
    return control.toolTip().trimmed();
}

} // namespace

TAccessibleRange::TAccessibleRange(QWidget* control, QAccessible::Role role) : QAccessibleWidget(control, role)
{
}

QString TAccessibleRange::text(QAccessible::Text t) const
{
    switch (t) {
    case QAccessible::Name:
        return AccessibleNameOf(*widget());
    case QAccessible::Value:
        return QString::number(Value());
    default:
        return QAccessibleWidget::text(t);
    }
}

void* TAccessibleRange::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

// A value that is no number, or one beyond 32 bits, is refused rather than guessed at.
void TAccessibleRange::setCurrentValue(const QVariant& value)
{
    bool isNumber = false;
    const qlonglong wanted = value.toLongLong(&isNumber);
    if (!isNumber || wanted < std::numeric_limits<int32_t>::min() || wanted > std::numeric_limits<int32_t>::max())
        return;
    if (widget()->isEnabled())
        SetValue(static_cast<int32_t>(wanted));
}

QStringList TAccessibleRange::actionNames() const
{
    return QStringList{increaseAction(), decreaseAction()} + QAccessibleWidget::actionNames();
}

void TAccessibleRange::doAction(const QString& name)
{
    if (!widget()->isEnabled())
        return;
    if (name == increaseAction())
        StepUp();
    else if (name == decreaseAction())
        StepDown();
    else
        QAccessibleWidget::doAction(name);
}

} // namespace mirth
