#include "effects/Rotate.h"

#include <algorithm>

#include "effects/FastTurn.h"
#include "imaging/pixels/PixelFormats.h"

namespace mirth {

namespace {

// Square tiles keep both the rows read and the rows written in cache.
constexpr int32_t kTile = 64;

enum class Turn { Clockwise, CounterClockwise };

// Where source pixel (x, y) of a width × height picture lands.
TPoint Destination(Turn turn, int32_t x, int32_t y, int32_t width, int32_t height)
{
    return turn == Turn::Clockwise ? TPoint{height - 1 - y, x} : TPoint{y, width - 1 - x};
}

std::unique_ptr<TBitmap> Rotate(const TBitmap& source, Turn turn)
{
    const TBitmapImage& from = source.Image();
    const int32_t width = from.Width(), height = from.Height();
    // The turned store keeps the source's pixel form; a colour table comes
    // along where the pixels are its indices.
    TBitmapHeader header;
    header.width = height;
    header.height = width;
    header.bitCount = static_cast<uint16_t>(from.Bits());
    if (from.header.compression == kCompressionBitFields && !from.deviceForm) {
        header.compression = kCompressionBitFields;
        std::copy(std::begin(from.header.masks), std::end(from.header.masks), header.masks);
    }
    header.imageSize = static_cast<uint32_t>(RowStride(header.width, header.bitCount) * header.height);
    // Every pixel is written below (where the source has any).
    auto turned = TBitmapImage::Make(header, from.deviceForm,
                                     from.HasPixels() ? TPixelStart::Unset : TPixelStart::Zeroed);
    if (from.Bits() <= 8)
        turned->palette = from.palette;

    if (turned->HasPixels() && from.HasPixels() &&
        !(from.Bits() == 24 && FastTurn24(from, *turned, turn == Turn::Clockwise))) {
        const int bits = from.Bits();
        for (int32_t top = 0; top < height; top += kTile)
            for (int32_t left = 0; left < width; left += kTile)
                for (int32_t y = top; y < std::min(top + kTile, height); ++y) {
                    const uint8_t* row = from.Row(y);
                    for (int32_t x = left; x < std::min(left + kTile, width); ++x) {
                        const TPoint to = Destination(turn, x, y, width, height);
                        SetRawPixel(turned->Row(to.y), to.x, bits, RawPixel(row, x, bits));
                    }
                }
    }
    auto result = std::make_unique<TBitmap>();
    result->AdoptImage(std::move(turned));
    return result;
}

} // namespace

std::unique_ptr<TBitmap> RotateBitmapClockwise(const TBitmap& source) { return Rotate(source, Turn::Clockwise); }

std::unique_ptr<TBitmap> RotateBitmapCounterClockwise(const TBitmap& source)
{
    return Rotate(source, Turn::CounterClockwise);
}

} // namespace mirth
