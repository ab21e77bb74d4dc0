#pragma once
// WebP files through libwebp: lossy, lossless, with alpha, and the first frame of
// an animation; written lossy.
#include <cstddef>
#include <cstdint>

#include "imaging/pixels/Raster.h"
#include "runtime/Streams.h"

namespace mirth {

// Decodes a WebP file held in memory into target. An animated file gives its first
// frame as it shows on the canvas, transparent around it. EInvalidGraphic
// "WebP image is not valid: <reason>" for what libwebp refuses.
void DecodeWebp(const uint8_t* data, size_t size, TRasterTarget& target);

// Writes rows of blue, green, red bytes as a lossy WebP of quality 75 with
// libwebp's default settings: the bytes its own command-line encoder writes for
// the same pixels at that quality.
void EncodeWebp(const TRasterView& picture, TStream& stream);

} // namespace mirth
