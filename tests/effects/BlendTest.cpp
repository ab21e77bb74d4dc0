#include "effects/Blend.h"

#include <gtest/gtest.h>

#include <cmath>

#include "runtime/Exceptions.h"
#include "support/Pictures.h"

namespace mirth {
namespace {

using testing::PixelBytes;
using testing::RandomBitmap;

std::unique_ptr<TBitmap> Uniform(int32_t width, int32_t height, uint8_t value)
{
    auto bitmap = RandomBitmap(width, height);
    for (int32_t y = 0; y < height; ++y)
        std::memset(bitmap->ScanRow(y), value, 3 * static_cast<size_t>(width));
    return bitmap;
}

TEST(MorphFactors, ExtendedSequence)
{
    EXPECT_EQ(MorphFactor(0), 0.0L);
    EXPECT_EQ(MorphFactor(5), 0.25L);  // exactly
    EXPECT_EQ(MorphFactor(20), 1.0L + std::ldexp(1.0L, -63));
    for (int k = 1; k < 20; ++k) {
        if (k == 5)
            continue;
        // Quad precision holds x · 20 exactly, so this compares with k / 20 itself.
        const __float128 excess = static_cast<__float128>(MorphFactor(k)) * 20 - k;
        EXPECT_GT(excess, 0) << k;
        EXPECT_LT(excess, static_cast<__float128>(20 * 2e-19)) << k;
        EXPECT_LT(MorphFactor(k), 1.0L) << k;
    }
    EXPECT_GE(MorphFactor(kMorphFrames - 1), 1.0L);
}

TEST(Blend, TiesRoundToEvenAtAQuarter)
{
    auto target = std::make_unique<TBitmap>();
    auto ones = Uniform(2, 1, 1), threes = Uniform(2, 1, 3);
    BlendBitmaps(*ones, *threes, *target, MorphFactor(5));
    EXPECT_EQ(target->ScanRow(0)[0], 2);  // 0.75 + 0.75 = 1.5

    auto zeros = Uniform(2, 1, 0), twos = Uniform(2, 1, 2);
    BlendBitmaps(*zeros, *twos, *target, MorphFactor(5));
    EXPECT_EQ(target->ScanRow(0)[0], 0);  // 0.5
}

TEST(Blend, EndsOfAPassEqualTheirThumbnails)
{
    auto first = RandomBitmap(37, 23, 1), last = RandomBitmap(37, 23, 2);
    TBitmap target;
    BlendBitmaps(*first, *last, target, MorphFactor(0));
    EXPECT_EQ(PixelBytes(target), PixelBytes(*first));
    BlendBitmaps(*first, *last, target, MorphFactor(20));
    EXPECT_EQ(PixelBytes(target), PixelBytes(*last));
}

void ExpectTheExtendedFormula(TBitmap& first, TBitmap& last)
{
    TBitmap target;
    for (int frame = 0; frame < kMorphFrames; ++frame) {
        const long double x = MorphFactor(frame);
        BlendBitmaps(first, last, target, x);
        const auto a = PixelBytes(first), b = PixelBytes(last), out = PixelBytes(target);
        for (size_t k = 0; k < out.size(); ++k) {
            const long double d = 1.0L - x, p = d * a[k], q = b[k] * x;
            ASSERT_EQ(out[k], static_cast<uint8_t>(std::llrint(nearbyintl(p + q)) & 0xFF)) << frame << " " << k;
        }
    }
}

// Unrelated pictures, and snapshots of one picture that differ in patches, as a lens
// leaves them: runs of equal bytes with differing bytes among and after them.
TEST(Blend, EveryByteFollowsTheExtendedFormula)
{
    auto first = RandomBitmap(61, 17, 3), last = RandomBitmap(61, 17, 4);
    auto snapshot = RandomBitmap(61, 17, 3);
    for (int32_t y = 0; y < 17; y += 2)
        std::copy_n(last->ReadOnlyRow(y) + 7 * y, 5 + y, snapshot->ScanRow(y) + 7 * y);
    for (TBitmap* other : {last.get(), snapshot.get()})
        ExpectTheExtendedFormula(*first, *other);
}

TEST(Blend, TargetTakesFirstsSizeAndLargerLastIsCut)
{
    auto first = RandomBitmap(10, 8, 5), last = RandomBitmap(30, 20, 6);
    auto target = RandomBitmap(50, 50, 7);
    BlendBitmaps(*first, *last, *target, MorphFactor(20));
    EXPECT_EQ(target->Width(), 10);
    EXPECT_EQ(target->Height(), 8);
    for (int32_t y = 0; y < 8; ++y)
        EXPECT_EQ(0, std::memcmp(target->ScanRow(y), last->ScanRow(y), 30));
}

TEST(Blend, SmallerLastIsRefusedBeforeAnythingChanges)
{
    auto first = RandomBitmap(10, 8, 5), narrow = RandomBitmap(9, 8, 6), low = RandomBitmap(10, 7, 6);
    auto target = RandomBitmap(4, 4, 7);
    const auto before = PixelBytes(*target);
    EXPECT_THROW(BlendBitmaps(*first, *narrow, *target, 0.5L), EInvalidOperation);
    EXPECT_THROW(BlendBitmaps(*first, *low, *target, 0.5L), EInvalidOperation);
    EXPECT_EQ(PixelBytes(*target), before);
}

} // namespace
} // namespace mirth
