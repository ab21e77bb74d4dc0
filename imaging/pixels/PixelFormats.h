#pragma once
#include <cstdint>
#include <vector>

#include "imaging/pixels/BitmapImage.h"

namespace mirth {

// How a store's header reads as a pixel layout.
TPixelLayout LayoutOf(const TBitmapImage& image);

// The stored value of pixel x of a row: an index, packed bits or blue-green-red
// bytes (blue in the low byte), as wide as the store's depth.
uint32_t RawPixel(const uint8_t* row, int32_t x, int bits);
void SetRawPixel(uint8_t* row, int32_t x, int bits, uint32_t raw);

// Between stored values and colours, through the store's colour table or masks.
TColor ColorOfRaw(const TBitmapImage& image, uint32_t raw);
uint32_t RawOfColor(const TBitmapImage& image, TColor color);

// The stored value in `to` of every index of the colour-table store `from`, so
// that copying indexed pixels resolves each index once; empty when `from` holds
// no indices.
std::vector<uint32_t> TranslatedIndices(const TBitmapImage& from, const TBitmapImage& to);

// The colour tables given to stores converted to 4 and 8 bits, and the
// black-and-white table of a 1-bit store that had none.
const TPalette& StandardPalette16();
const TPalette& HalftonePalette();
const TPalette& MonochromePalette();

} // namespace mirth
