#pragma once
// The picture layer's side of every codec adapter that decodes a whole file at once
// (PNG, WebP, GIF, HEIF): the store's cap before any allocation, and a picture with
// alpha turned into a 24-bit bitmap over white.
#include <cstddef>
#include <cstdint>

#include "imaging/bitmap/Bitmap.h"
#include "imaging/pixels/Raster.h"

namespace mirth {

using TRasterDecoder = void (*)(const uint8_t* data, size_t size, TRasterTarget& target);

// A format read through a codec adapter: its class reference (a kind of bitmap),
// the name its messages use, and the adapter's decoder.
struct TDecodedFormat {
    TGraphicClass graphicClass;
    const char* name;
    TRasterDecoder decode;
};

// A bitmap loaded through a codec adapter: loading reads the rest of the stream
// into memory and decodes it; the result is always a 24-bit bitmap. A failed load
// leaves the bitmap as it was. Everything else, saving included, is the bitmap's.
class TDecodedImage : public TBitmap {
public:
    explicit TDecodedImage(const TDecodedFormat& format) : format_(format) {}
    const TGraphicClass& ClassType() const override { return format_.graphicClass; }
    void LoadStream(TStream& stream) override;

private:
    const TDecodedFormat& format_;
};

// The pixel store a decoder fills: 24 bits, or 32 with alpha in the fourth byte.
// EOutOfResources "Out of system resources" above the store's cap, and
// EInvalidGraphic "<name> image is not valid: no pixels" for an empty size,
// both before anything is allocated.
std::shared_ptr<TBitmapImage> DecodeToStore(const TDecodedFormat& format, const uint8_t* data, size_t size);

// Blue, green, red, alpha pixels over a white ground, rounded to the nearest.
void ComposeOverWhite(const uint8_t* bgra, uint8_t* bgr, int32_t width);

} // namespace mirth
