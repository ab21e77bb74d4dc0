#pragma once
#include "imaging/animation/AnimationEncoder.h"

namespace mirth {

// libwebp's animation encoder, lossy at quality 75, with its own choice of the
// rectangle and blending each frame is stored with.
std::unique_ptr<TAnimationEncoder> MakeWebpEncoder(int32_t width, int32_t height, TAnimationTiming timing);

} // namespace mirth
