#pragma once
// GIF files through giflib: the first frame.
#include <cstddef>
#include <cstdint>

#include "imaging/pixels/Raster.h"

namespace mirth {

// Decodes the first frame of a GIF file held in memory into target, placed on the
// file's logical screen. The frame's transparent colour and the screen around the
// frame come out transparent; when there is neither, the rows carry no alpha.
// EInvalidGraphic "GIF image is not valid: <reason>" for what giflib refuses.
void DecodeGif(const uint8_t* data, size_t size, TRasterTarget& target);

} // namespace mirth
