#pragma once
// Pictures made by the tests themselves.
#include <cstring>
#include <random>
#include <vector>

#include "imaging/bitmap/Bitmap.h"

namespace mirth::testing {

// A 24-bit bitmap of pseudo-random pixels, the same for the same seed.
inline std::unique_ptr<TBitmap> RandomBitmap(int32_t width, int32_t height, unsigned seed = 1)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelLayout(pl24Bit);
    bitmap->SetWidth(width);
    bitmap->SetHeight(height);
    std::mt19937 random(seed);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = bitmap->ScanRow(y);
        for (int32_t k = 0; k < 3 * width; ++k)
            row[k] = static_cast<uint8_t>(random());
    }
    return bitmap;
}

// The picture's pixel bytes row by row from the top, without padding.
inline std::vector<uint8_t> PixelBytes(const TBitmap& bitmap)
{
    std::vector<uint8_t> bytes;
    const size_t rowBytes = static_cast<size_t>(bitmap.Width()) * bitmap.Image().Bits() / 8;
    for (int32_t y = 0; y < bitmap.Height(); ++y) {
        const uint8_t* row = bitmap.ReadOnlyRow(y);
        bytes.insert(bytes.end(), row, row + rowBytes);
    }
    return bytes;
}

inline std::vector<uint8_t> Pixel(const TBitmap& bitmap, int32_t x, int32_t y)
{
    const uint8_t* row = bitmap.ReadOnlyRow(y) + 3 * x;
    return {row[0], row[1], row[2]};
}

} // namespace mirth::testing
