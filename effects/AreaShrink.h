#pragma once
#include <cstdint>
#include <memory>

#include "imaging/bitmap/Bitmap.h"

namespace mirth {

struct TFrameSize {
    int32_t width = 0;
    int32_t height = 0;
    friend bool operator==(const TFrameSize&, const TFrameSize&) = default;
};

// The size that fits width × height within maxSide on its longest side, keeping the
// proportions (the shorter side rounded, at least 1); a picture that already fits
// keeps its size.
TFrameSize FitLongestSide(TFrameSize size, int32_t maxSide);

// The top-left `from` part of a 24-bit source, scaled down to `to` by averaging the
// area each new pixel covers, partly covered source pixels by the share they cover.
// Every source pixel counts, so a photograph shrunk frame after frame does not shimmer
// as a nearest-neighbour pick would. `to` is at most `from`, which is at most the
// source's size; the result is 24-bit.
std::unique_ptr<TBitmap> ShrinkByAreaAverage(const TBitmap& source, TFrameSize from, TFrameSize to);

} // namespace mirth
