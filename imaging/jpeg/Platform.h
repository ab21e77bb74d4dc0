#pragma once

namespace mirth {

// What the image model needs of the machine besides memory. Without a window
// system the display is true colour; the window's start-up tells the real
// depth before any picture is made.

// The display's bits per pixel, planes included.
int DisplayBitsPerPixel();
void SetDisplayBitsPerPixel(int bits);

// A display of 8 bits or fewer shows colours through a palette.
inline bool IsPaletteDisplay() { return DisplayBitsPerPixel() <= 8; }

// The system tick count in milliseconds, from a steady clock unless a test
// replaces the source (none restores the clock).
using TTickSource = long long (*)();
long long TickCount();
void SetTickSource(TTickSource source);

} // namespace mirth
