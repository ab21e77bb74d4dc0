#include "imaging/picture/Orientation.h"

#include <cstring>

namespace mirth {

namespace {

// Where a shown pixel (x, y) comes from in the stored picture: with the axes swapped
// the stored column is the shown row; then each stored axis may run backwards.
struct SourceMapping {
    bool swapAxes;
    bool mirrorX;
    bool mirrorY;
};

SourceMapping MappingOf(TExifOrientation orientation)
{
    switch (orientation) {
    case 2: return {false, true, false};
    case 3: return {false, true, true};
    case 4: return {false, false, true};
    case 5: return {true, false, false};
    case 6: return {true, false, true};
    case 7: return {true, true, true};
    case 8: return {true, true, false};
    default: return {false, false, false};
    }
}

} // namespace

std::shared_ptr<TBitmapImage> Upright(const TBitmapImage& stored, TExifOrientation orientation)
{
    const SourceMapping mapping = MappingOf(orientation);
    const int32_t width = stored.Width(), height = stored.Height();
    TBitmapHeader header;
    header.width = mapping.swapAxes ? height : width;
    header.height = mapping.swapAxes ? width : height;
    header.bitCount = 24;
    auto shown = TBitmapImage::Make(header);
    shown->header.imageSize = static_cast<uint32_t>(shown->PixelBytes());
    for (int32_t y = 0; y < header.height; ++y) {
        uint8_t* to = shown->Row(y);
        for (int32_t x = 0; x < header.width; ++x, to += 3) {
            int32_t sx = mapping.swapAxes ? y : x, sy = mapping.swapAxes ? x : y;
            if (mapping.mirrorX)
                sx = width - 1 - sx;
            if (mapping.mirrorY)
                sy = height - 1 - sy;
            std::memcpy(to, stored.Row(sy) + size_t(sx) * 3, 3);
        }
    }
    return shown;
}

} // namespace mirth
