#pragma once
// The lens exactly as defined, pixel by pixel: the yardstick the fast lens is
// compared against, byte for byte and failure for failure.
#include <cmath>
#include <cstring>

#include "imaging/bitmap/Bitmap.h"

namespace mirth::testing {

inline void LiteralLens(TBitmap& reference, TBitmap& working, TPoint centre, int strength)
{
    const float d = static_cast<float>(100 * strength);
    const int64_t a = centre.x, b = centre.y;
    const int32_t height = working.Height();
    for (int32_t i = 0; i < height; ++i) {
        uint8_t* target = working.ScanRow(i);
        const int32_t width = working.Width();
        for (int32_t c = 0; c < width; ++c) {
            const int64_t q = (c - a) * (c - a) + (i - b) * (i - b);
            const int64_t t = q + 1000;
            const double g = t > d ? 1.0 : static_cast<double>(static_cast<long double>(d) / static_cast<long double>(t));
            const long double sc = nearbyintl(static_cast<long double>(c - a) / g + a);
            const long double sr = nearbyintl(static_cast<long double>(i - b) / g + b);
            const uint8_t* source = reference.ScanRow(static_cast<int32_t>(sr));
            const int64_t column = std::clamp<int64_t>(static_cast<int64_t>(sc), 0, reference.Width() - 1);
            std::memcpy(target + 3 * c, source + 3 * column, 3);
        }
    }
}

} // namespace mirth::testing
