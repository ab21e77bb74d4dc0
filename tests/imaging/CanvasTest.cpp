#include "imaging/bitmap/Canvas.h"

#include <gtest/gtest.h>

#include "imaging/bitmap/Bitmap.h"
#include "imaging/pixels/PixelFormats.h"
#include "runtime/Exceptions.h"
#include "support/Pictures.h"

namespace mirth {
namespace {

using testing::Pixel;
using testing::PixelBytes;
using testing::RandomBitmap;

void RubberBand(TCanvas& canvas, int32_t l, int32_t t, int32_t r, int32_t b)
{
    canvas.Pen().SetMode(pmNot);
    canvas.Pen().SetWidth(1);
    canvas.Pen().SetStyle(psDot);
    canvas.Brush().SetStyle(bsClear);
    canvas.DrawRectangle(l, t, r, b);
}

TEST(Canvas, RubberBandTwiceRestoresEveryByteAndNeverTouchesASharer)
{
    auto picture = RandomBitmap(40, 30, 1);
    const auto original = PixelBytes(*picture);
    TBitmap sharer;
    sharer.CopyFrom(picture.get());

    for (const TRect& r : {TRect{5, 5, 20, 25}, TRect{20, 25, 5, 5}, TRect{-10, -3, 60, 12}, TRect{3, 3, 4, 9},
                           TRect{3, 3, 9, 4}}) {
        RubberBand(picture->Canvas(), r.left, r.top, r.right, r.bottom);
        EXPECT_NE(PixelBytes(*picture), original);
        RubberBand(picture->Canvas(), r.left, r.top, r.right, r.bottom);
        EXPECT_EQ(PixelBytes(*picture), original);
    }
    EXPECT_EQ(PixelBytes(sharer), original);
}

TEST(Canvas, RubberBandInvertsOnlyDottedOutlinePixels)
{
    auto picture = RandomBitmap(12, 10, 2);
    const auto before = PixelBytes(*picture);
    RubberBand(picture->Canvas(), 2, 2, 10, 8);
    int changed = 0;
    for (int32_t y = 0; y < 10; ++y)
        for (int32_t x = 0; x < 12; ++x) {
            const auto now = Pixel(*picture, x, y);
            const bool border = (x == 2 || x == 9 || y == 2 || y == 7) && x >= 2 && x <= 9 && y >= 2 && y <= 7;
            for (int c = 0; c < 3; ++c) {
                const uint8_t old = before[3 * (y * 12 + x) + c];
                if (now[c] != old) {
                    EXPECT_TRUE(border) << x << "," << y;
                    EXPECT_EQ(now[c], 255 - old);
                }
            }
            changed += now != std::vector<uint8_t>(before.begin() + 3 * (y * 12 + x), before.begin() + 3 * (y * 12 + x) + 3);
        }
    EXPECT_GT(changed, 0);
    EXPECT_LT(changed, 24);  // the 24 border pixels are dotted, not all drawn
}

TEST(Canvas, ZeroSizeRectangleDrawsNothing)
{
    auto picture = RandomBitmap(8, 8, 3);
    const auto before = PixelBytes(*picture);
    RubberBand(picture->Canvas(), 3, 3, 3, 7);
    RubberBand(picture->Canvas(), 3, 3, 7, 3);
    EXPECT_EQ(PixelBytes(*picture), before);
}

TEST(Canvas, SolidFilledRectangleWithCopyPen)
{
    auto picture = RandomBitmap(6, 6, 4);
    TCanvas& canvas = picture->Canvas();
    canvas.Brush().SetColor(RGB(1, 2, 3));
    canvas.Pen().SetColor(RGB(200, 100, 50));
    canvas.DrawRectangle(1, 1, 5, 5);
    EXPECT_EQ(Pixel(*picture, 1, 1), (std::vector<uint8_t>{50, 100, 200}));
    EXPECT_EQ(Pixel(*picture, 4, 4), (std::vector<uint8_t>{50, 100, 200}));
    EXPECT_EQ(Pixel(*picture, 2, 3), (std::vector<uint8_t>{3, 2, 1}));
}

TEST(Canvas, BrushAndPenPropertyRules)
{
    TBrush brush;
    brush.SetColor(RGB(1, 2, 3));
    brush.SetStyle(bsClear);
    EXPECT_EQ(brush.Color(), clWhite);
    brush.SetColor(RGB(4, 5, 6));
    EXPECT_EQ(brush.Style(), bsSolid);
    TPen pen;
    pen.SetWidth(-3);
    EXPECT_EQ(pen.Width(), 1);
}

TEST(Canvas, DrawGraphicCopiesExactlyAndSkipsEmptyGraphics)
{
    auto source = RandomBitmap(7, 5, 5);
    auto target = RandomBitmap(7, 5, 6);
    int changes = 0;
    target->OnChange = [&](TObject*) { ++changes; };
    TBitmap empty;
    target->Canvas().DrawGraphic(0, 0, &empty);
    target->Canvas().DrawGraphic(0, 0, nullptr);
    EXPECT_EQ(changes, 0);
    target->Canvas().DrawGraphic(0, 0, source.get());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(PixelBytes(*target), PixelBytes(*source));
}

TEST(Canvas, StretchIsNearestNeighbour)
{
    auto source = RandomBitmap(2, 2, 7);
    TBitmap target;
    target.SetPixelLayout(pl24Bit);
    target.SetWidth(4);
    target.SetHeight(6);
    target.Canvas().StretchGraphic(target.Canvas().ClipBounds(), source.get());
    for (int32_t y = 0; y < 6; ++y)
        for (int32_t x = 0; x < 4; ++x)
            EXPECT_EQ(Pixel(target, x, y), Pixel(*source, x / 2, y / 3));

    TBitmap small;
    small.SetPixelLayout(pl24Bit);
    small.SetWidth(1);
    small.SetHeight(1);
    small.Canvas().StretchGraphic(TRect{0, 0, 1, 1}, &target);
    EXPECT_EQ(Pixel(small, 0, 0), Pixel(target, 0, 0));
}

TEST(Canvas, CopyAreaReadsSharedSourceWithoutUnsharingIt)
{
    auto source = RandomBitmap(20, 20, 8);
    TBitmap sharer;
    sharer.CopyFrom(source.get());
    TBitmap crop;
    crop.SetWidth(5);
    crop.SetHeight(4);
    crop.SetPixelLayout(pl24Bit);
    crop.Canvas().CopyArea(crop.Canvas().ClipBounds(), source->Canvas(), TRect{10, 12, 15, 16});
    EXPECT_TRUE(sharer.SharesImageWith(*source));
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 5; ++x)
            EXPECT_EQ(Pixel(crop, x, y), Pixel(*source, 10 + x, 12 + y));

    // Beyond the source a fresh crop keeps its own white.
    TBitmap edge;
    edge.SetWidth(5);
    edge.SetHeight(4);
    edge.SetPixelLayout(pl24Bit);
    edge.Canvas().CopyArea(edge.Canvas().ClipBounds(), source->Canvas(), TRect{18, 18, 23, 22});
    EXPECT_EQ(Pixel(edge, 1, 1), Pixel(*source, 19, 19));
    EXPECT_EQ(Pixel(edge, 3, 3), (std::vector<uint8_t>{255, 255, 255}));
}

// A picture copied onto itself, shifted down, up or across, ends as the same copy made
// from a sharer of the original does.
TEST(Canvas, CopyAreaOntoItselfReadsTheSourceBeforeWritingIt)
{
    const TRect corner{0, 0, 8, 6}, shifted{2, 2, 10, 8}, across{2, 0, 10, 6};
    for (auto [to, from] : {std::pair(shifted, corner), std::pair(corner, shifted), std::pair(across, corner)}) {
        auto picture = RandomBitmap(10, 8, 11);
        TBitmap expected;
        expected.CopyFrom(picture.get());
        expected.Canvas().CopyArea(to, picture->Canvas(), from);
        picture->Canvas().CopyArea(to, picture->Canvas(), from);
        EXPECT_EQ(PixelBytes(*picture), PixelBytes(expected)) << to.left << "," << to.top;
    }
}

// Rectangles whose edges lie near the ends of 32 bits draw just what falls on the bitmap:
// a picture stretched across them shows one of its pixels everywhere, and a dotted outline
// keeps the dots it has nearer by (its pattern repeats every four pixels along the edge).
TEST(Canvas, FarAwayEdgesDrawOnlyWhatFallsOnTheBitmap)
{
    constexpr int32_t kFar = 2000000000;
    auto source = RandomBitmap(2, 2, 12);
    auto stretched = RandomBitmap(3, 3, 13), copied = RandomBitmap(3, 3, 14);
    stretched->Canvas().StretchGraphic(TRect{-kFar, -kFar, kFar, kFar}, source.get());
    copied->Canvas().CopyArea(TRect{-kFar, -kFar, kFar, kFar}, source->Canvas(), TRect{0, 0, 2, 2});
    for (const TBitmap* drawn : {stretched.get(), copied.get()})
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 3; ++x)
                EXPECT_EQ(Pixel(*drawn, x, y), Pixel(*source, 1, 1)) << x << "," << y;

    const std::pair<TRect, TRect> outlines[] = {
        {TRect{-kFar, -kFar, 6, 8}, TRect{-4, -4, 6, 8}},
        {TRect{3, 3, kFar + 3, kFar + 3}, TRect{3, 3, 15, 15}},
        {TRect{-kFar, 2, kFar + 3, 7}, TRect{-4, 2, 15, 7}},
    };
    for (const auto& [far, near] : outlines) {
        auto farDrawn = RandomBitmap(10, 10, 15), nearDrawn = RandomBitmap(10, 10, 15);
        RubberBand(farDrawn->Canvas(), far.left, far.top, far.right, far.bottom);
        RubberBand(nearDrawn->Canvas(), near.left, near.top, near.right, near.bottom);
        EXPECT_EQ(PixelBytes(*farDrawn), PixelBytes(*nearDrawn)) << far.left << "," << far.top;
    }
}

TEST(Canvas, CopyModesCombineBitByBit)
{
    auto source = RandomBitmap(3, 3, 9), target = RandomBitmap(3, 3, 10);
    const auto s = PixelBytes(*source), d = PixelBytes(*target);
    target->Canvas().SetCopyMode(cmSrcInvert);
    target->Canvas().DrawGraphic(0, 0, source.get());
    const auto result = PixelBytes(*target);
    for (size_t k = 0; k < result.size(); ++k)
        EXPECT_EQ(result[k], s[k] ^ d[k]);
}

TEST(Canvas, ClipBoundsIsThePicture)
{
    TBitmap bitmap;
    bitmap.SetWidth(640);
    bitmap.SetHeight(480);
    EXPECT_EQ(bitmap.Canvas().ClipBounds(), (TRect{0, 0, 640, 480}));
}

} // namespace
} // namespace mirth

namespace mirth {
namespace {

TEST(Canvas, ACanvasWithoutSurfaceRefusesToDraw)
{
    TCanvas unbound;
    try {
        unbound.DrawRectangle(0, 0, 2, 2);
        FAIL();
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Canvas does not allow drawing");
    }
}

// Indices drawn or converted into 24 bits take their colour-table entries, at
// every depth, and both ways give the same bytes.
// A graphic drawn so near the end of 32 bits that its far edge lies beyond: its near part
// lands unscaled on a bitmap that reaches that far (a one-bit row of INT32_MAX pixels),
// and nothing at all lands on a small one.
TEST(Canvas, AGraphicReachingPastTheLastCoordinateDrawsWhatFallsOnTheBitmap)
{
    TBitmap stripes;
    stripes.SetPixelLayout(pl1Bit);
    stripes.SetWidth(8);
    stripes.SetHeight(1);
    for (int32_t x = 0; x < 8; ++x)
        SetRawPixel(stripes.ScanRow(0), x, 1, x % 3 == 0 ? 0 : 1);
    TBitmapHeader header;
    header.width = INT32_MAX;
    header.height = 1;
    header.bitCount = 1;
    auto store = TBitmapImage::Make(header);  // zeroed, so only the touched pages cost memory
    store->palette = stripes.Palette();
    TBitmap wide;
    wide.AdoptImage(std::move(store));
    const uint32_t blank = RawPixel(wide.ReadOnlyRow(0), INT32_MAX - 6, 1);
    wide.Canvas().DrawGraphic(INT32_MAX - 5, 0, &stripes);
    EXPECT_EQ(RawPixel(wide.ReadOnlyRow(0), INT32_MAX - 6, 1), blank);
    for (int32_t k = 0; k < 5; ++k)
        EXPECT_EQ(RawPixel(wide.ReadOnlyRow(0), INT32_MAX - 5 + k, 1), RawPixel(stripes.ReadOnlyRow(0), k, 1)) << k;

    auto small = RandomBitmap(3, 3, 16);
    const auto before = PixelBytes(*small);
    small->Canvas().DrawGraphic(INT32_MAX - 1, INT32_MAX - 1, &stripes);
    small->Canvas().DrawGraphic(INT32_MAX, 0, small.get());
    EXPECT_EQ(PixelBytes(*small), before);
}

TEST(Canvas, IndexedPicturesDrawAndConvertTo24BitsThroughTheirColourTable)
{
    for (TPixelLayout layout : {pl1Bit, pl4Bit, pl8Bit}) {
        SCOPED_TRACE(layout);
        TBitmap indexed;
        indexed.SetPixelLayout(layout);
        indexed.SetWidth(37);
        indexed.SetHeight(5);
        const int bits = indexed.Image().Bits();
        for (int32_t y = 0; y < 5; ++y)
            for (int32_t x = 0; x < 37; ++x)
                SetRawPixel(indexed.ScanRow(y), x, bits, uint32_t(x * 7 + y) & ((1u << bits) - 1));
        const TPalette palette = indexed.Palette();

        TBitmap drawn;
        drawn.SetPixelLayout(pl24Bit);
        drawn.SetWidth(37);
        drawn.SetHeight(5);
        drawn.Canvas().DrawGraphic(0, 0, &indexed);
        TBitmap converted;
        converted.CopyFrom(&indexed);
        converted.SetPixelLayout(pl24Bit);
        EXPECT_EQ(PixelBytes(drawn), PixelBytes(converted));
        for (int32_t x = 0; x < 37; ++x) {
            const TColorEntry& entry = palette[RawPixel(indexed.ReadOnlyRow(3), x, bits)];
            EXPECT_EQ(Pixel(drawn, x, 3), (std::vector<uint8_t>{entry.blue, entry.green, entry.red}));
        }
    }
}

} // namespace
} // namespace mirth
