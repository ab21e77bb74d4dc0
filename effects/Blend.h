#pragma once
#include "imaging/bitmap/Bitmap.h"

namespace mirth {

// The morph advances its factor by the nearest extended value to 0.05; a pass
// ends on the first factor at or above 1, the 21st.
constexpr long double kMorphStep = 0.05L;
constexpr int kMorphFrames = 21;

// The factor of frame k of a morph pass: 0, then k extended additions of the step.
long double MorphFactor(int frame);

// Writes (1 − x)·first + x·last into target, byte by byte in extended precision,
// rounded to nearest even. Target takes first's size; all three become 24-bit. First
// and last are only read, so they go on sharing their pixels with other bitmaps.
// EInvalidOperation "Invalid image size" when last is narrower or lower than
// first, before anything changes.
void BlendBitmaps(TBitmap& first, TBitmap& last, TBitmap& target, long double x);

} // namespace mirth
