#pragma once
// Animated files: the two formats every browser and chat program plays, each written by
// its own library behind one small interface.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace mirth {

class TBitmap;

enum class TAnimationFormat { Gif, Webp };

struct TAnimationTiming {
    int32_t intervalMs = 100; // how long each frame stays
    bool loops = false;       // forever, or one pass that stays on its last frame
};

// Browsers show a frame shorter than 20 ms for 100 ms, so no interval goes below
// 20 ms (an interval of 0 included) and the file plays alike everywhere; none goes
// above the 655.35 s a GIF frame can last.
int32_t FrameDelayMs(int32_t intervalMs);

// Receives the frames of one animation in order, 24-bit and all of the size given at
// creation, and gives the whole file's bytes at the end. Pixels are taken before
// AddFrame returns; the frame may change afterwards.
class TAnimationEncoder {
public:
    virtual ~TAnimationEncoder() = default;
    virtual void AddFrame(const TBitmap& frame) = 0;
    virtual std::vector<uint8_t> Finish() = 0;
};

// EWriteError naming the library's complaint when it fails.
std::unique_ptr<TAnimationEncoder> MakeAnimationEncoder(TAnimationFormat format, int32_t width, int32_t height,
                                                        TAnimationTiming timing);

// The frame's rows packed top-down, three bytes a pixel in blue, green, red order.
std::vector<uint8_t> PackedBgr(const TBitmap& frame);

} // namespace mirth
