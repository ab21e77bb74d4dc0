#pragma once
// The quarter turn of 24-bit pixels the workspace waits for on every "Rotate".
#include "imaging/pixels/BitmapImage.h"

namespace mirth {

// Writes source turned a quarter into turned, which has the exchanged size: clockwise,
// source pixel (x, y) lands at column height - 1 - y of row x; otherwise at column y of
// row width - 1 - x. Only where the processor has the byte shuffles it needs (SSSE3);
// false, with nothing written, elsewhere.
bool FastTurn24(const TBitmapImage& source, TBitmapImage& turned, bool clockwise);

} // namespace mirth
