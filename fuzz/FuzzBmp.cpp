// Arbitrary bytes read as a BMP file by a picture, as a dropped or chosen file is.
// What loads goes the workspace's way, to 24 bits and saved, and must then read
// back to the very same pixels.
#include <cstring>

#include "imaging/bitmap/Bitmap.h"
#include "imaging/picture/Picture.h"
#include "runtime/Exceptions.h"

namespace {

// Larger pictures only repeat the same loops, more slowly.
constexpr int64_t kLargestConverted = 4 << 20;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace mirth;
    TMemoryStream file(std::vector<uint8_t>(data, data + size));
    TPicture picture;
    try {
        picture.LoadStream(file);
    } catch (const Exception&) {
        return 0;
    }
    TBitmap& bitmap = picture.AsBitmap();
    if (bitmap.Empty() || int64_t(bitmap.Width()) * bitmap.Height() > kLargestConverted)
        return 0;
    bitmap.SetPixelLayout(pl24Bit);
    TMemoryStream saved;
    bitmap.SaveStream(saved);

    saved.SetPosition(0);
    TBitmap reloaded;
    reloaded.LoadStream(saved);
    const TBitmapImage &before = bitmap.Image(), &after = reloaded.Image();
    if (after.PixelBytes() != before.PixelBytes() ||
        std::memcmp(after.Pixels(), before.Pixels(), before.PixelBytes()) != 0)
        __builtin_trap();
    return 0;
}
