#include "framework/Input.h"

namespace mirth {

TShiftState ShiftStateOf(const QMouseEvent& event)
{
    TShiftState shift;
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (modifiers & Qt::ShiftModifier)
        shift = shift.With(ssShift);
    if (modifiers & Qt::AltModifier)
        shift = shift.With(ssAlt);
    if (modifiers & Qt::ControlModifier)
        shift = shift.With(ssCtrl);
    const Qt::MouseButtons buttons = event.buttons();
    if (buttons & Qt::LeftButton)
        shift = shift.With(ssLeft);
    if (buttons & Qt::RightButton)
        shift = shift.With(ssRight);
    if (buttons & Qt::MiddleButton)
        shift = shift.With(ssMiddle);
    if (event.type() == QEvent::MouseButtonDblClick)
        shift = shift.With(ssDouble);
    return shift;
}

bool MouseButtonOf(Qt::MouseButton qtButton, TMouseButton& button)
{
    switch (qtButton) {
    case Qt::LeftButton:
        button = mbLeft;
        return true;
    case Qt::RightButton:
        button = mbRight;
        return true;
    case Qt::MiddleButton:
        button = mbMiddle;
        return true;
    default:
        return false;
    }
}

void RaiseMouseButtonEvent(const TMouseEvent& handler, TObject* sender, const QMouseEvent& event)
{
    TMouseButton button;
    if (handler && MouseButtonOf(event.button(), button)) {
        const QPoint point = event.position().toPoint();
        handler(sender, button, ShiftStateOf(event), point.x(), point.y());
    }
}

int TWheelNotches::Take(int angleDelta)
{
    constexpr int64_t kNotch = 120;
    carried_ += angleDelta;
    const int64_t notches = carried_ / kNotch;
    carried_ -= notches * kNotch;
    return static_cast<int>(notches);
}

} // namespace mirth
