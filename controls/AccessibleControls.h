#pragma once

namespace mirth {

// Gives screen readers the slider (a slider with its value, range and step), the spin
// edits (spin boxes with their value and the increase and decrease actions) and the
// image views (graphics named with their picture's size). Once per process, before the
// first control is asked for; calling it again does nothing.
void InstallAccessibleControls();

} // namespace mirth
