#pragma once
// HEIC, HEIF and AVIF files through libheif: the primary image.
#include <cstddef>
#include <cstdint>

#include "imaging/pixels/Raster.h"

namespace mirth {

// Decodes the primary image of a HEIF container held in memory into target, with
// the file's rotation, mirroring and cropping applied and any bit depth brought
// to 8 bits by libheif. A picture with an alpha plane is delivered with alpha.
// EInvalidGraphic "HEIF image is not valid: <reason>" for what libheif refuses.
void DecodeHeif(const uint8_t* data, size_t size, TRasterTarget& target);

} // namespace mirth
