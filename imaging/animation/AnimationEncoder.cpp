#include "imaging/animation/AnimationEncoder.h"

#include <algorithm>
#include <cstring>

#include "imaging/animation/GifEncoder.h"
#include "imaging/animation/WebpEncoder.h"
#include "imaging/bitmap/Bitmap.h"

namespace mirth {

namespace {

constexpr int32_t kShortestDelayMs = 20;
constexpr int32_t kLongestDelayMs = 655350;

} // namespace

int32_t FrameDelayMs(int32_t intervalMs)
{
    return std::clamp(intervalMs, kShortestDelayMs, kLongestDelayMs);
}

std::unique_ptr<TAnimationEncoder> MakeAnimationEncoder(TAnimationFormat format, int32_t width, int32_t height,
                                                        TAnimationTiming timing)
{
    return format == TAnimationFormat::Webp ? MakeWebpEncoder(width, height, timing)
                                            : MakeGifEncoder(width, height, timing);
}

std::vector<uint8_t> PackedBgr(const TBitmap& frame)
{
    const size_t rowBytes = 3 * static_cast<size_t>(frame.Width());
    std::vector<uint8_t> packed(rowBytes * static_cast<size_t>(frame.Height()));
    for (int32_t y = 0; y < frame.Height(); ++y)
        std::memcpy(packed.data() + rowBytes * static_cast<size_t>(y), frame.ReadOnlyRow(y), rowBytes);
    return packed;
}

} // namespace mirth
