#include "effects/Rotate.h"

#include <gtest/gtest.h>

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
