#include "imaging/bitmap/Bitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "imaging/bitmap/Canvas.h"
#include "runtime/Exceptions.h"
#include "support/Failures.h"
#include "support/Notifications.h"
#include "support/Pictures.h"

namespace mirth {
namespace {

using testing::ChangeCounter;
using testing::MessageOf;
using testing::PixelBytes;
using testing::RandomBitmap;

TEST(Bitmap, NewBitmapIsEmptyDeviceFormUntilBothSidesAreSet)
{
    TBitmap bitmap;
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.Height(), 0);
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.PixelLayout(), plDevice);

    bitmap.SetWidth(100);
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.Width(), 100);
    bitmap.SetHeight(50);
    EXPECT_FALSE(bitmap.Empty());
    EXPECT_EQ(bitmap.PixelLayout(), plDevice);

    bitmap.SetPixelLayout(pl24Bit);
    EXPECT_EQ(bitmap.Image().Stride(), 300u);
    EXPECT_EQ(PixelBytes(bitmap), std::vector<uint8_t>(300 * 50, 0xFF));

    TBitmap odd;
    odd.SetWidth(101);
    odd.SetHeight(2);
    odd.SetPixelLayout(pl24Bit);
    EXPECT_EQ(odd.Image().Stride(), 304u);
    EXPECT_EQ(odd.ScanRow(0)[303], 0);  // padding stays zero
    EXPECT_EQ(odd.ScanRow(0)[302], 0xFF);
}

TEST(Bitmap, LayoutSetOnEmptyBitmapGovernsLaterPixels)
{
    TBitmap bitmap;
    bitmap.SetPixelLayout(pl24Bit);
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.PixelLayout(), pl24Bit);
    bitmap.SetWidth(4);
    bitmap.SetHeight(2);
    EXPECT_EQ(bitmap.PixelLayout(), pl24Bit);
    EXPECT_EQ(bitmap.Image().Stride(), 12u);
    EXPECT_EQ(PixelBytes(bitmap), std::vector<uint8_t>(24, 0xFF));
}

TEST(Bitmap, ResizingFillsWithWhiteOrBrushAndKeepsTopLeft)
{
    auto bitmap = RandomBitmap(3, 3, 1);
    const auto original = PixelBytes(*bitmap);
    ChangeCounter changes(*bitmap);
    bitmap->SetWidth(3);
    bitmap->SetHeight(3);
    EXPECT_EQ(changes.count, 0);

    bitmap->SetWidth(5);
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(0, std::memcmp(bitmap->ScanRow(1), original.data() + 9, 9));
    EXPECT_EQ(bitmap->ScanRow(1)[9], 0xFF);

    bitmap->Canvas().Brush().SetColor(RGB(10, 20, 30));
    bitmap->SetHeight(4);
    const uint8_t* added = bitmap->ScanRow(3);
    EXPECT_EQ(added[0], 30);  // blue, green, red
    EXPECT_EQ(added[1], 20);
    EXPECT_EQ(added[2], 10);

    bitmap->SetWidth(2);
    bitmap->SetHeight(2);
    EXPECT_EQ(0, std::memcmp(bitmap->ScanRow(0), original.data(), 6));

    bitmap->SetHeight(0);
    EXPECT_TRUE(bitmap->Empty());
    EXPECT_EQ(bitmap->Width(), 2);
}

TEST(Bitmap, ScanRowChecksBoundsAndUnsharesEvenForReading)
{
    auto bitmap = RandomBitmap(4, 3);
    EXPECT_EQ(MessageOf([&] { bitmap->ScanRow(-1); }), "Scan line index out of range");
    EXPECT_EQ(MessageOf([&] { bitmap->ScanRow(3); }), "Scan line index out of range");
    TBitmap empty;
    empty.SetWidth(5);
    EXPECT_THROW(empty.ScanRow(0), EInvalidGraphicOperation);

    TBitmap copy;
    copy.CopyFrom(bitmap.get());
    EXPECT_TRUE(copy.SharesImageWith(*bitmap));
    copy.ScanRow(0);
    EXPECT_FALSE(copy.SharesImageWith(*bitmap));

    TBitmap other;
    other.CopyFrom(bitmap.get());
    bitmap->ScanRow(1)[0] ^= 0xFF;
    EXPECT_NE(other.ScanRow(1)[0], bitmap->ScanRow(1)[0]);
    other.ScanRow(2)[0] ^= 0xFF;
    EXPECT_NE(other.ScanRow(2)[0], bitmap->ScanRow(2)[0]);
}

TEST(Bitmap, CopyFromSharesAndNotifiesNilEmptiesForeignRefuses)
{
    auto source = RandomBitmap(6, 6);
    TBitmap copy;
    ChangeCounter changes(copy);
    copy.CopyFrom(source.get());
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(PixelBytes(copy), PixelBytes(*source));
    copy.CopyFrom(nullptr);
    EXPECT_TRUE(copy.Empty());
    EXPECT_EQ(copy.Width(), 0);
}

TEST(Bitmap, LayoutConversions)
{
    TBitmap bitmap;
    EXPECT_EQ(MessageOf([&] { bitmap.SetPixelLayout(plCustom); }), "Invalid pixel format");

    auto picture = RandomBitmap(9, 5, 4);
    const auto original = PixelBytes(*picture);
    for (TPixelLayout wide : {pl32Bit, plDevice}) {
        TBitmap copy;
        copy.CopyFrom(picture.get());
        copy.SetPixelLayout(wide);
        EXPECT_EQ(copy.PixelLayout(), wide);
        copy.SetPixelLayout(pl24Bit);
        EXPECT_EQ(PixelBytes(copy), original);
    }
    // 4- and 8-bit tables hold black and white exactly, and every index they give
    // converts back to the table's colour.
    for (TPixelLayout indexed : {pl1Bit, pl4Bit, pl8Bit}) {
        auto blackWhite = RandomBitmap(3, 1);
        uint8_t* row = blackWhite->ScanRow(0);
        std::memset(row, 0, 3);
        std::memset(row + 3, 0xFF, 6);
        blackWhite->SetPixelLayout(indexed);
        EXPECT_TRUE(blackWhite->PaletteModified());
        blackWhite->SetPixelLayout(pl24Bit);
        EXPECT_EQ(PixelBytes(*blackWhite), (std::vector<uint8_t>{0, 0, 0, 255, 255, 255, 255, 255, 255}));
        EXPECT_FALSE(blackWhite->Palette().empty());  // a 24-bit bitmap keeps the table it came with
        // Carrying a table larger than 1 bit can index, it still converts to 1 bit and back.
        blackWhite->SetPixelLayout(pl1Bit);
        blackWhite->SetPixelLayout(pl24Bit);
        EXPECT_EQ(PixelBytes(*blackWhite), (std::vector<uint8_t>{0, 0, 0, 255, 255, 255, 255, 255, 255}));
    }
    TBitmap packed;
    packed.CopyFrom(picture.get());
    packed.SetPixelLayout(pl16Bit);
    EXPECT_EQ(packed.PixelLayout(), pl16Bit);
    packed.SetPixelLayout(pl15Bit);
    EXPECT_EQ(packed.PixelLayout(), pl15Bit);
    packed.SetPixelLayout(pl24Bit);
    const auto back = PixelBytes(packed);
    for (size_t k = 0; k < back.size(); ++k)
        ASSERT_EQ(back[k] >> 3, original[k] >> 3) << k;  // five bits survive each channel
}

TEST(Bitmap, LayoutIsReadFromTheHeader)
{
    auto layoutOf = [](uint16_t bits, uint32_t compression, uint32_t greenMask) {
        TBitmapHeader header;
        header.width = 2;
        header.height = -2;
        header.bitCount = bits;
        header.compression = compression;
        header.masks[0] = 0xF800;
        header.masks[1] = greenMask;
        header.masks[2] = 0x001F;
        TBitmap bitmap;
        bitmap.AdoptImage(TBitmapImage::Make(header));
        return bitmap.PixelLayout();
    };
    EXPECT_EQ(layoutOf(16, kCompressionNone, 0), pl15Bit);
    EXPECT_EQ(layoutOf(16, kCompressionBitFields, 0x07E0), pl16Bit);
    EXPECT_EQ(layoutOf(16, kCompressionBitFields, 0x03E0), plCustom);
    EXPECT_EQ(layoutOf(32, kCompressionNone, 0), pl32Bit);
    EXPECT_EQ(layoutOf(32, kCompressionBitFields, 0x07E0), plCustom);
    EXPECT_EQ(layoutOf(8, kCompressionNone, 0), pl8Bit);
}

TEST(Bitmap, TopDownStoreRowZeroIsFirstInMemory)
{
    TBitmapHeader header;
    header.width = 1;
    header.height = -3;
    header.bitCount = 24;
    auto image = TBitmapImage::Make(header);
    image->Pixels()[0] = 7;
    TBitmap bitmap;
    bitmap.AdoptImage(image);
    EXPECT_EQ(bitmap.ScanRow(0)[0], 7);
    EXPECT_EQ(bitmap.Height(), 3);
}

TEST(Bitmap, StoreCapFailsCleanly)
{
    auto bitmap = RandomBitmap(2, 2);
    const auto before = PixelBytes(*bitmap);
    EXPECT_EQ(MessageOf([&] { bitmap->SetWidth(1 << 20); bitmap->SetHeight(1 << 20); }), "Out of system resources");
    EXPECT_EQ(bitmap->Width(), 1 << 20);  // the width was set before the height failed
    EXPECT_EQ(bitmap->Height(), 2);

    // Rows × height of the largest header passes 64 bits: refused, never wrapped.
    TBitmapHeader huge;
    huge.width = INT32_MAX;
    huge.height = -INT32_MAX;
    huge.bitCount = 32;
    EXPECT_THROW(TBitmapImage::Make(huge), EOutOfResources);
}

TEST(Bitmap, PhotographSizedStoresStartBlackAndCopyExactly)
{
    TBitmapHeader header;
    header.width = 1500;
    header.height = 1000;
    header.bitCount = 24;
    auto store = TBitmapImage::Make(header);
    ASSERT_EQ(store->PixelBytes(), 4500000u);
    EXPECT_EQ(std::count(store->Pixels(), store->Pixels() + store->PixelBytes(), 0), 4500000);
    store->Pixels()[0] = 1;
    store->Pixels()[store->PixelBytes() - 1] = 2;
    auto copy = store->Clone();
    EXPECT_EQ(0, std::memcmp(copy->Pixels(), store->Pixels(), store->PixelBytes()));
}

TEST(Bitmap, EqualsComparesEmptiness)
{
    TBitmap a, b;
    EXPECT_TRUE(a.Equals(&b));
    auto filled = RandomBitmap(2, 2);
    EXPECT_FALSE(a.Equals(filled.get()));
    EXPECT_FALSE(filled->Equals(&a));
}

} // namespace
} // namespace mirth
