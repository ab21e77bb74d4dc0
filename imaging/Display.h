#pragma once

namespace mirth {

// What the image model needs to know of the screen: its bits per pixel (planes
// included). Without a window system it is a true-colour display; the window's
// start-up tells the real depth before any picture is made.
int DisplayBitsPerPixel();
void SetDisplayBitsPerPixel(int bits);

// A display of 8 bits or fewer shows colours through a palette.
inline bool IsPaletteDisplay() { return DisplayBitsPerPixel() <= 8; }

} // namespace mirth
