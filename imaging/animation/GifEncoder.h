#pragma once
#include "imaging/animation/AnimationEncoder.h"

namespace mirth {

// giflib writes the file; libimagequant gives each frame a palette of its own and
// dithers it. A frame is stored as the rectangle in which it differs from the frame
// before, left in place over it, so that snapshots of one photograph stay small.
// Frames are quantized on every core while earlier ones are written.
std::unique_ptr<TAnimationEncoder> MakeGifEncoder(int32_t width, int32_t height, TAnimationTiming timing);

} // namespace mirth
