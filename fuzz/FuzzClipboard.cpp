// Arbitrary bytes offered in the clipboard's bitmap format, as another program might put
// them there, pasted the way the window pastes. The first byte sizes the palette that
// travels beside them. What pastes must copy back out and paste again to the same pixels.
#include <cstdlib>
#include <cstring>

#include "imaging/bitmap/Bitmap.h"
#include "imaging/picture/ClipboardFormats.h"
#include "imaging/picture/Picture.h"
#include "runtime/Exceptions.h"

namespace {

// Larger pictures only repeat the same loops, more slowly.
constexpr int64_t kLargestPasted = 4 << 20;

mirth::TPalette PaletteOf(const uint8_t* data, size_t size)
{
    mirth::TPalette palette;
    for (size_t k = 0; k + 3 <= size; k += 3)
        palette.push_back({data[k], data[k + 1], data[k + 2], 0});
    return palette;
}

int32_t LittleEndian(const std::vector<uint8_t>& bytes, size_t at, size_t width)
{
    uint32_t value = 0;
    for (size_t k = 0; k < width; ++k)
        value |= uint32_t(bytes[at + k]) << (8 * k);
    return width == 2 ? int32_t(int16_t(value)) : int32_t(value);
}

// How many pixels the file's header declares. Pasting converts them all at once, and a
// short file may declare any number up to the store's cap, so the fuzzer leaves the big
// ones alone as it does everywhere else.
int64_t DeclaredPixels(const std::vector<uint8_t>& bytes)
{
    constexpr size_t kHeaderAt = 14;
    if (bytes.size() < kHeaderAt + 12)
        return 0;
    const size_t width = LittleEndian(bytes, kHeaderAt, 4) == 12 ? 2 : 4;
    if (bytes.size() < kHeaderAt + 4 + 2 * width)
        return 0;
    return std::abs(int64_t(LittleEndian(bytes, kHeaderAt + 4, width)) *
                    LittleEndian(bytes, kHeaderAt + 4 + width, width));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace mirth;
    if (size == 0)
        return 0;
    const size_t paletteBytes = std::min<size_t>(3 * size_t(data[0] % 17), size - 1);
    const TPalette palette = PaletteOf(data + 1, paletteBytes);
    const std::vector<uint8_t> bitmapBytes(data + 1 + paletteBytes, data + size);
    if (DeclaredPixels(bitmapBytes) > kLargestPasted)
        return 0;
    TPicture picture;
    try {
        picture.LoadFromClipboardFormat(cfBitmap, bitmapBytes, palette);
    } catch (const Exception&) {
        return 0;
    }
    TBitmap& pasted = picture.AsBitmap();
    if (pasted.Empty() || int64_t(pasted.Width()) * pasted.Height() > kLargestPasted)
        return 0;
    pasted.SetPixelLayout(pl24Bit);

    TClipboardFormat format = 0;
    std::vector<uint8_t> copied;
    TPalette copiedPalette;
    picture.SaveToClipboardFormat(format, copied, copiedPalette);
    TPicture again;
    again.LoadFromClipboardFormat(format, copied, copiedPalette);
    TBitmap& repasted = again.AsBitmap();
    repasted.SetPixelLayout(pl24Bit);
    const TBitmapImage &before = pasted.Image(), &after = repasted.Image();
    if (after.PixelBytes() != before.PixelBytes() ||
        std::memcmp(after.Pixels(), before.Pixels(), before.PixelBytes()) != 0)
        __builtin_trap();
    return 0;
}
