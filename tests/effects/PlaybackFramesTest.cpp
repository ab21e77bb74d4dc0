// The frames of a saved morph or animation, and the area-averaging that scales them.
#include <gtest/gtest.h>

#include "effects/Blend.h"
#include "effects/PlaybackFrames.h"
#include "runtime/Exceptions.h"
#include "support/Pictures.h"

namespace mirth {
namespace {

using testing::PixelBytes;
using testing::RandomBitmap;

// The area average written out the slow way: every new pixel integrates the source over
// its rectangle, in double precision.
std::vector<uint8_t> SlowAreaAverage(const TBitmap& source, TFrameSize from, TFrameSize to)
{
    std::vector<uint8_t> out;
    const double sx = double(from.width) / to.width, sy = double(from.height) / to.height;
    for (int32_t y = 0; y < to.height; ++y)
        for (int32_t x = 0; x < to.width; ++x)
            for (int c = 0; c < 3; ++c) {
                double sum = 0;
                for (int32_t j = 0; j < from.height; ++j) {
                    const double wy = std::max(0.0, std::min(j + 1.0, (y + 1) * sy) - std::max(double(j), y * sy));
                    for (int32_t i = 0; wy > 0 && i < from.width; ++i) {
                        const double wx =
                            std::max(0.0, std::min(i + 1.0, (x + 1) * sx) - std::max(double(i), x * sx));
                        sum += wx * wy * source.ReadOnlyRow(j)[3 * i + c];
                    }
                }
                out.push_back(static_cast<uint8_t>(std::lround(sum / (sx * sy))));
            }
    return out;
}

int LargestDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    int largest = a.size() == b.size() ? 0 : 256;
    for (size_t k = 0; k < std::min(a.size(), b.size()); ++k)
        largest = std::max(largest, std::abs(int(a[k]) - int(b[k])));
    return largest;
}

TEST(AreaShrink, EveryNewPixelAveragesTheAreaItCovers)
{
    auto source = RandomBitmap(37, 29, 5);
    const struct {
        TFrameSize from, to;
    } cases[] = {
        {{37, 29}, {37, 29}}, // no scaling: the same bytes
        {{36, 28}, {18, 14}}, // whole 2 × 2 blocks
        {{37, 29}, {10, 7}},  // pixels shared between new pixels
        {{30, 20}, {29, 1}},  // the top-left part, to a single row
    };
    for (const auto& c : cases) {
        const auto shrunk = ShrinkByAreaAverage(*source, c.from, c.to);
        ASSERT_EQ(shrunk->Width(), c.to.width);
        ASSERT_EQ(shrunk->Height(), c.to.height);
        EXPECT_LE(LargestDifference(PixelBytes(*shrunk), SlowAreaAverage(*source, c.from, c.to)), 1)
            << c.to.width << " x " << c.to.height;
    }
    const auto same = ShrinkByAreaAverage(*source, {37, 29}, {37, 29});
    EXPECT_EQ(PixelBytes(*same), PixelBytes(*source));

    EXPECT_EQ(FitLongestSide({6000, 4000}, 1080), (TFrameSize{1080, 720}));
    EXPECT_EQ(FitLongestSide({400, 3000}, 1080), (TFrameSize{144, 1080}));
    EXPECT_EQ(FitLongestSide({5000, 2}, 1080), (TFrameSize{1080, 1}));
    EXPECT_EQ(FitLongestSide({640, 480}, 1080), (TFrameSize{640, 480}));
}

TEST(PlaybackFrames, AMorphThatFitsIsTheBlendAndAScaledOneIsTheBlendScaled)
{
    auto first = RandomBitmap(40, 30, 1), last = RandomBitmap(50, 35, 2);
    TMorphFrames fitting(*first, *last);
    fitting.FitWithin(40);
    ASSERT_EQ(fitting.Count(), 21);
    for (int k = 0; k < 21; ++k) {
        TBitmap blended;
        BlendBitmaps(*first, *last, blended, MorphFactor(k));
        EXPECT_EQ(PixelBytes(*fitting.Frame(k)), PixelBytes(blended)) << k;
    }

    TMorphFrames scaled(*first, *last);
    scaled.FitWithin(16);
    EXPECT_EQ(scaled.Width(), 16);
    EXPECT_EQ(scaled.Height(), 12);
    for (int k : {0, 7, 20}) {
        TBitmap blended;
        BlendBitmaps(*first, *last, blended, MorphFactor(k));
        const auto expected = ShrinkByAreaAverage(blended, {40, 30}, {16, 12});
        EXPECT_LE(LargestDifference(PixelBytes(*scaled.Frame(k)), PixelBytes(*expected)), 1) << k;
    }

    auto small = RandomBitmap(40, 29, 3);
    try {
        TMorphFrames refused(*first, *small);
        FAIL();
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Invalid image size");
    }
}

TEST(PlaybackFrames, TheAnimationTakesEachPictureTopLeftInOrder)
{
    auto a = RandomBitmap(20, 10, 1), b = RandomBitmap(25, 12, 2), c = RandomBitmap(20, 10, 3);
    TAnimationFrames frames({a.get(), b.get(), c.get()});
    ASSERT_EQ(frames.Count(), 3);
    EXPECT_EQ(PixelBytes(*frames.Frame(0)), PixelBytes(*a));
    EXPECT_EQ(PixelBytes(*frames.Frame(2)), PixelBytes(*c));
    TBitmap corner;
    corner.CopyFrom(b.get());
    corner.SetWidth(20);
    corner.SetHeight(10);
    EXPECT_EQ(PixelBytes(*frames.Frame(1)), PixelBytes(corner));
    // Taken when made: a later change to a picture does not reach the frames.
    b->ScanRow(0)[0] ^= 0xFF;
    EXPECT_EQ(PixelBytes(*frames.Frame(1)), PixelBytes(corner));

    frames.FitWithin(10);
    EXPECT_EQ(frames.Frame(1)->Width(), 10);
    EXPECT_EQ(frames.Frame(1)->Height(), 5);

    auto narrow = RandomBitmap(19, 10, 4);
    EXPECT_THROW(TAnimationFrames({a.get(), narrow.get()}), EInvalidOperation);
}

} // namespace
} // namespace mirth
