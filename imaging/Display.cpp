#include "imaging/Display.h"

namespace mirth {

namespace {
int displayBits = 24;
} // namespace

int DisplayBitsPerPixel() { return displayBits; }
void SetDisplayBitsPerPixel(int bits) { displayBits = bits; }

} // namespace mirth
