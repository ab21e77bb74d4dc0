// Photograph-sized stores given back are used again; a new picture must never show what
// an old one held, and sharing must work as with fresh stores.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "imaging/bitmap/Bitmap.h"
#include "imaging/pixels/BlockPool.h"
#include "support/Pictures.h"

namespace mirth {
namespace {

using testing::PixelBytes;
using testing::RandomBitmap;

bool AllZero(const TBitmapImage& image)
{
    const uint8_t* bytes = image.Pixels();
    return std::all_of(bytes, bytes + image.PixelBytes(), [](uint8_t byte) { return byte == 0; });
}

TBitmapHeader Header(int32_t width, int32_t height, uint16_t bits)
{
    TBitmapHeader header;
    header.width = width;
    header.height = height;
    header.bitCount = bits;
    return header;
}

TEST(RecycledStores, ANewStoreNeverShowsWhatAGivenBackOneHeld)
{
    ReleaseKeptBlocks();
    const uint8_t* oldBlock;
    {
        auto photo = RandomBitmap(1600, 1200, 4);
        oldBlock = photo->Image().Pixels();
    }
    // Where large stores are mapped (not in sanitizer builds), the block is kept for reuse.
    const bool recycles = KeptBlockCount() == 1;
    auto fresh = TBitmapImage::Make(Header(1600, 1200, 24));
    if (recycles)
        EXPECT_EQ(fresh->Pixels(), oldBlock);
    EXPECT_TRUE(AllZero(*fresh));

    // A store its maker fills itself keeps zero padding, and pixels narrower than a byte
    // start zeroed whatever the maker asks.
    fresh.reset();
    auto padded = TBitmapImage::Make(Header(1601, 1200, 24), false, TPixelStart::Unset);
    for (int32_t y = 0; y < padded->Height(); ++y)
        ASSERT_EQ(padded->Row(y)[3 * 1601], 0) << y;
    padded.reset();
    {
        auto filled = TBitmapImage::Make(Header(4800, 3600, 8));
        std::memset(filled->Pixels(), 0xA5, filled->PixelBytes());
    }
    EXPECT_TRUE(AllZero(*TBitmapImage::Make(Header(4800 * 8, 3600, 1), false, TPixelStart::Unset)));

    // Copy-on-write through recycled stores: a shared copy written to and then grown by a
    // row, which fills a new store itself; the source stays as it was.
    auto photo = RandomBitmap(1500, 1100, 5);
    const std::vector<uint8_t> original = PixelBytes(*photo);
    TBitmap shared;
    shared.CopyFrom(photo.get());
    shared.ScanRow(7)[11] ^= 0xFF;
    EXPECT_EQ(PixelBytes(*photo), original);
    shared.ScanRow(7)[11] ^= 0xFF;
    shared.SetHeight(1101);
    const std::vector<uint8_t> grown = PixelBytes(shared);
    EXPECT_TRUE(std::equal(original.begin(), original.end(), grown.begin()));
    EXPECT_TRUE(std::all_of(grown.begin() + original.size(), grown.end(), [](uint8_t byte) { return byte == 0xFF; }));
    EXPECT_EQ(PixelBytes(*photo), original);

    ReleaseKeptBlocks();
    EXPECT_EQ(KeptBlockCount(), 0u);
}

} // namespace
} // namespace mirth
