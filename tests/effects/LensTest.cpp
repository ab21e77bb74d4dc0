#include "effects/Lens.h"

#include <gtest/gtest.h>

#include <random>

#include "effects/LiteralLens.h"
#include "runtime/Exceptions.h"
#include "support/Pictures.h"

namespace mirth {
namespace {

using testing::LiteralLens;
using testing::Pixel;
using testing::PixelBytes;
using testing::RandomBitmap;

// Applies the lens and answers which reference pixel (x, y) now shows, by giving
// every reference pixel a unique colour.
class LensProbe {
public:
    LensProbe(int32_t width, int32_t height) : reference_(Numbered(width, height)), working_(Numbered(width, height)) {}

    void Apply(TPoint centre, int strength) { DrawLens(*reference_, *working_, centre, strength); }

    TPoint Shows(int32_t x, int32_t y) const
    {
        const auto bytes = Pixel(*working_, x, y);
        const int32_t n = bytes[0] | bytes[1] << 8 | bytes[2] << 16;
        return TPoint{n % working_->Width(), n / working_->Width()};
    }

private:
    static std::unique_ptr<TBitmap> Numbered(int32_t width, int32_t height)
    {
        auto bitmap = RandomBitmap(width, height);
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) {
                const int32_t n = y * width + x;
                uint8_t* p = bitmap->ScanRow(y) + 3 * x;
                p[0] = uint8_t(n), p[1] = uint8_t(n >> 8), p[2] = uint8_t(n >> 16);
            }
        return bitmap;
    }

    std::unique_ptr<TBitmap> reference_, working_;
};

TEST(Lens, SourcePixelsOfTheDefiningExamples)
{
    LensProbe probe(220, 220);
    probe.Apply({100, 100}, 35);
    EXPECT_EQ(probe.Shows(110, 100), (TPoint{103, 100}));
    EXPECT_EQ(probe.Shows(140, 100), (TPoint{130, 100}));
    EXPECT_EQ(probe.Shows(149, 100), (TPoint{148, 100}));
    EXPECT_EQ(probe.Shows(150, 100), (TPoint{150, 100}));  // t = D: factor exactly 1
    EXPECT_EQ(probe.Shows(100, 100), (TPoint{100, 100}));
    // Just below 134.5 in extended precision; double precision would reach the tie.
    EXPECT_EQ(probe.Shows(135, 135), (TPoint{134, 134}));

    probe.Apply({100, 100}, 80);
    EXPECT_EQ(probe.Shows(130, 110), (TPoint{108, 102}));  // (107.5, 102.5), ties to even
}

TEST(Lens, WeakLensOrSecondClickLeavesOnlyReference)
{
    auto reference = RandomBitmap(120, 90, 3);
    auto working = RandomBitmap(120, 90, 4);
    DrawLens(*reference, *working, {60, 40}, 10);
    EXPECT_EQ(PixelBytes(*working), PixelBytes(*reference));

    auto first = RandomBitmap(300, 300, 5);
    TBitmap only, both;
    only.CopyFrom(first.get());
    both.CopyFrom(first.get());
    DrawLens(*first, only, {200, 220}, 60);
    DrawLens(*first, both, {50, 60}, 60);
    DrawLens(*first, both, {200, 220}, 60);
    EXPECT_EQ(PixelBytes(both), PixelBytes(only));
}

TEST(Lens, CentreRuleReplacesBothCoordinates)
{
    EXPECT_EQ(LensCentre({-1, 30}), (TPoint{50, 175}));
    EXPECT_EQ(LensCentre({30, -5}), (TPoint{50, 175}));
    EXPECT_EQ(LensCentre({0, 0}), (TPoint{0, 0}));
    EXPECT_EQ(LensCentre({7, 9}), (TPoint{7, 9}));
}

TEST(Lens, MatchesTheLiteralDefinitionOnRandomPictures)
{
    std::mt19937 random(42);
    for (int round = 0; round < 60; ++round) {
        const int32_t width = 1 + random() % 330, height = 1 + random() % 330;
        auto reference = RandomBitmap(width, height, random());
        // Centres inside, on and beyond the edges; all strengths, extremes included.
        const int32_t span = 500;
        const TPoint centre{int32_t(random() % span) - 80, int32_t(random() % span) - 80};
        const int strength = round % 7 == 0 ? 200 : round % 11 == 0 ? 0 : int(random() % 201);
        const TPoint resolved = LensCentre(centre);

        TBitmap fast, literal;
        fast.CopyFrom(reference.get());
        literal.CopyFrom(reference.get());
        auto fastReference = RandomBitmap(width, height), literalReference = RandomBitmap(width, height);
        fastReference->CopyFrom(reference.get());
        literalReference->CopyFrom(reference.get());
        std::string fastFailure, literalFailure;
        try { DrawLens(*fastReference, fast, resolved, strength); }
        catch (const EInvalidGraphicOperation& e) { fastFailure = e.Message(); }
        try { LiteralLens(*literalReference, literal, resolved, strength); }
        catch (const EInvalidGraphicOperation& e) { literalFailure = e.Message(); }
        ASSERT_EQ(fastFailure, literalFailure) << "round " << round;
        ASSERT_EQ(PixelBytes(fast), PixelBytes(literal)) << "round " << round;
    }
}

TEST(Lens, ReferenceOfOtherSizeFailsAtTheSamePixelAsTheDefinition)
{
    // A shorter reference fails on the first row it lacks; a narrower one takes
    // its last column. Either way the written part equals the definition's.
    for (const auto& [refWidth, refHeight] : {std::pair{80, 40}, std::pair{50, 100}, std::pair{30, 20}}) {
        auto reference = RandomBitmap(refWidth, refHeight, 9);
        auto fast = RandomBitmap(70, 60, 10), literal = RandomBitmap(70, 60, 10);
        std::string fastFailure, literalFailure;
        try { DrawLens(*reference, *fast, {35, 30}, 150); }
        catch (const EInvalidGraphicOperation& e) { fastFailure = e.Message(); }
        try { LiteralLens(*reference, *literal, {35, 30}, 150); }
        catch (const EInvalidGraphicOperation& e) { literalFailure = e.Message(); }
        EXPECT_EQ(fastFailure, literalFailure);
        EXPECT_EQ(PixelBytes(*fast), PixelBytes(*literal));
    }
}

TEST(Lens, NeverWritesRowPadding)
{
    // 5 pixels take 15 bytes, so each row carries one padding byte.
    auto reference = RandomBitmap(5, 40, 1);
    TBitmap working;
    working.CopyFrom(reference.get());
    for (int32_t y = 0; y < 40; ++y)
        working.ScanRow(y)[15] = static_cast<uint8_t>(y + 1);
    DrawLens(*reference, working, {2, 2}, 20);
    for (int32_t y = 0; y < 40; ++y)
        EXPECT_EQ(working.ScanRow(y)[15], y + 1) << y;
    EXPECT_EQ(PixelBytes(working).back(), PixelBytes(*reference).back());
}

TEST(Lens, CentreBelowThePictureStopsWithScanLineError)
{
    auto reference = RandomBitmap(200, 150, 1);
    auto working = RandomBitmap(200, 150, 2);
    const auto before = PixelBytes(*working);
    EXPECT_THROW(
        {
            try { DrawLens(*reference, *working, LensCentre({-3, 10}), 35); }
            catch (const EInvalidGraphicOperation& e) {
                EXPECT_EQ(e.Message(), "Scan line index out of range");
                throw;
            }
        },
        EInvalidGraphicOperation);
    // The rows above the failing pixel were rebuilt; the last row never was.
    EXPECT_EQ(Pixel(*working, 0, 0), Pixel(*reference, 0, 0));
    EXPECT_EQ(PixelBytes(*working).back(), before.back());
}

} // namespace
} // namespace mirth
