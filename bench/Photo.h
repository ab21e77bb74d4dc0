#pragma once
// The benchmarks' subject: a 24-megapixel photograph-sized picture.
#include "support/Pictures.h"

namespace mirth::bench {

constexpr int32_t kPhotoWidth = 6000;
constexpr int32_t kPhotoHeight = 4000;
// A 100-megapixel photo, for what must not grow faster than the picture.
constexpr int32_t kLargePhotoWidth = 12000;
constexpr int32_t kLargePhotoHeight = 8400;

inline std::unique_ptr<TBitmap> Photo(unsigned seed = 1)
{
    return testing::RandomBitmap(kPhotoWidth, kPhotoHeight, seed);
}

} // namespace mirth::bench
