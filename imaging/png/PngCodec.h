#pragma once
// PNG files through libpng: every colour type and bit depth, palettes with
// transparency, interlaced files; written as 8-bit RGB.
#include <cstddef>
#include <cstdint>

#include "imaging/pixels/Raster.h"
#include "runtime/Streams.h"

namespace mirth {

// Decodes a whole PNG file held in memory into target: 16-bit samples scaled to 8 bits
// with rounding, grey and palette pictures expanded to colour, a file with an alpha
// channel or a transparent colour delivered with alpha. Nothing that follows the
// pixel data is read, so a damaged trailer does not lose a complete picture.
// EInvalidGraphic "PNG image is not valid: <reason>" for what libpng refuses; the
// target's own refusal passes on.
void DecodePng(const uint8_t* data, size_t size, TRasterTarget& target);

// Writes rows of blue, green, red bytes as an 8-bit RGB PNG without interlacing,
// tuned for speed on photographs. Write failures of stream pass on.
void EncodePng(const TRasterView& picture, TStream& stream);

} // namespace mirth
