#pragma once
#include <QMouseEvent>

#include <cstdint>
#include <functional>

#include "runtime/Classes.h"
#include "runtime/Set.h"

namespace mirth {

enum TShiftFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftFlag>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

using TMouseEvent =
    std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int32_t x, int32_t y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int32_t x, int32_t y)>;

// The keyboard modifiers and the buttons held during the event (for a press, including
// the pressed one; for a release, without the released one).
TShiftState ShiftStateOf(const QMouseEvent& event);

// False for buttons the program does not know (back, forward, ...).
bool MouseButtonOf(Qt::MouseButton qtButton, TMouseButton& button);

// Passes a press or release to `handler` in the program's terms; buttons the program does
// not know raise nothing.
void RaiseMouseButtonEvent(const TMouseEvent& handler, TObject* sender, const QMouseEvent& event);

// Turns the angle deltas of wheel events into whole notches of 120 units, carrying the
// remainder to the next event as Qt's own widgets do: a high-resolution wheel or a touchpad
// sending eighths of a notch steps as far as a notched wheel, and a two-notch event steps
// twice. What is carried is always less than a notch, either way.
class TWheelNotches {
public:
    // The whole notches this delta completes, positive away from the user.
    int Take(int angleDelta);

private:
    int64_t carried_ = 0;
};

} // namespace mirth
