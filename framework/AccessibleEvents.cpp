#include "framework/AccessibleEvents.h"

#include <QAccessible>

namespace mirth {

void AnnounceValue(QObject* control, int32_t value)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleValueChangeEvent event(control, value);
    QAccessible::updateAccessibility(&event);
}

void AnnounceNameChange(QObject* control)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(control, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

} // namespace mirth
