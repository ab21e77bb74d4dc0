#include "effects/Rotate.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/Pictures.h"

namespace mirth {
namespace {

using testing::Pixel;
using testing::PixelBytes;
using testing::RandomBitmap;

TEST(Rotate, QuarterTurnsGiveBackThePicture)
{
    for (const auto& [w, h] : {std::pair{1, 1}, std::pair{1, 7}, std::pair{130, 1}, std::pair{131, 67}}) {
        auto picture = RandomBitmap(w, h, w * 1000 + h);
        auto once = RotateBitmapClockwise(*picture);
        EXPECT_EQ(once->Width(), h);
        EXPECT_EQ(once->Height(), w);
        EXPECT_EQ(once->PixelLayout(), pl24Bit);
        auto twice = RotateBitmapClockwise(*once);
        auto thrice = RotateBitmapClockwise(*twice);
        auto four = RotateBitmapClockwise(*thrice);
        EXPECT_EQ(PixelBytes(*four), PixelBytes(*picture));
        EXPECT_EQ(PixelBytes(*RotateBitmapCounterClockwise(*once)), PixelBytes(*picture));
        EXPECT_EQ(PixelBytes(*RotateBitmapCounterClockwise(*RotateBitmapCounterClockwise(*picture))),
                  PixelBytes(*twice));
    }
}

TEST(Rotate, CornersGoWhereTheTurnSays)
{
    auto picture = RandomBitmap(5, 3, 11);
    auto clockwise = RotateBitmapClockwise(*picture);
    EXPECT_EQ(Pixel(*clockwise, 2, 0), Pixel(*picture, 0, 0));  // top-left to top-right
    EXPECT_EQ(Pixel(*clockwise, 0, 4), Pixel(*picture, 4, 2));
    auto counter = RotateBitmapCounterClockwise(*picture);
    EXPECT_EQ(Pixel(*counter, 0, 4), Pixel(*picture, 0, 0));    // top-left to bottom-left
    EXPECT_EQ(Pixel(*counter, 2, 0), Pixel(*picture, 4, 2));
}

// Every pixel where the turn's definition puts it, at sizes that leave partial blocks and
// strips on every side, in both stored row orders.
TEST(Rotate, EveryPixelLandsWhereTheTurnSays)
{
    for (const auto& [w, h] : {std::pair{8, 5}, std::pair{7, 5}, std::pair{69, 37}, std::pair{133, 70}}) {
        for (const bool topDown : {false, true}) {
            auto picture = RandomBitmap(w, h, w + h);
            if (topDown) {
                TBitmapHeader header = picture->Image().header;
                header.height = -h;
                auto flipped = TBitmapImage::Make(header);
                for (int32_t y = 0; y < h; ++y)
                    std::memcpy(flipped->Row(y), picture->ReadOnlyRow(y), 3 * size_t(w));
                picture->AdoptImage(flipped);
            }
            auto clockwise = RotateBitmapClockwise(*picture);
            auto counter = RotateBitmapCounterClockwise(*picture);
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = 0; x < w; ++x) {
                    ASSERT_EQ(Pixel(*clockwise, h - 1 - y, x), Pixel(*picture, x, y)) << w << "x" << h;
                    ASSERT_EQ(Pixel(*counter, y, w - 1 - x), Pixel(*picture, x, y)) << w << "x" << h;
                }
        }
    }
}

TEST(Rotate, EmptyTurnsIntoEmptyAndSourceIsUntouched)
{
    TBitmap empty;
    EXPECT_TRUE(RotateBitmapClockwise(empty)->Empty());

    auto picture = RandomBitmap(9, 4, 2);
    TBitmap sharer;
    sharer.CopyFrom(picture.get());
    RotateBitmapCounterClockwise(*picture);
    EXPECT_TRUE(sharer.SharesImageWith(*picture));
}

TEST(Rotate, IndexedPicturesKeepTheirColours)
{
    auto picture = RandomBitmap(13, 6, 8);
    picture->SetPixelLayout(pl4Bit);
    auto turned = RotateBitmapClockwise(*picture);
    EXPECT_EQ(turned->PixelLayout(), pl4Bit);
    auto back = RotateBitmapCounterClockwise(*turned);
    back->SetPixelLayout(pl24Bit);
    picture->SetPixelLayout(pl24Bit);
    EXPECT_EQ(PixelBytes(*back), PixelBytes(*picture));
}

} // namespace
} // namespace mirth
