// The formats people have beyond BMP and JPEG, read and written as the workspace
// does, against each format's own library and tools.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "effects/Rotate.h"
#include "imaging/picture/Picture.h"
#include "imaging/picture/WorkspaceFiles.h"
#include "runtime/Exceptions.h"
#include "support/CodecFiles.h"
#include "support/Failures.h"
#include "support/JpegStreams.h"
#include "support/Pictures.h"
#include "support/TempFolder.h"

namespace mirth {
namespace {

using namespace testing;
using Bgr = std::vector<uint8_t>;

class PictureFormats : public TempFolderTest {};

struct PngCase {
    const char* name;
    PngLayout layout;
    Bgr expected;  // blue, green, red of every pixel, row by row
};

uint8_t High(unsigned v) { return uint8_t(v >> 8); }
uint8_t Low(unsigned v) { return uint8_t(v); }

std::vector<PngCase> PngCases()
{
    std::vector<PngCase> cases;
    // Fully transparent, half transparent, opaque.
    cases.push_back({"rgba", {.width = 3, .height = 1, .colorType = PNG_COLOR_TYPE_RGBA,
                              .rows = {{10, 20, 30, 0, 200, 100, 50, 128, 1, 2, 3, 255}}},
                     {255, 255, 255, 152, 177, 227, 3, 2, 1}});
    // 16-bit samples round to the nearest 8-bit value: 128 → 0, 129 → 1, 32639 → 127.
    cases.push_back({"rgb16", {.width = 2, .height = 1, .bitDepth = 16,
                               .rows = {{High(128), Low(128), High(129), Low(129), 0xFF, 0xFF,
                                         High(32639), Low(32639), 0x80, 0x00, 0, 0}}},
                     {255, 1, 0, 0, 128, 127}});
    // A 4-bit palette whose first colour is transparent and second a fifth opaque.
    cases.push_back({"palette", {.width = 3, .height = 1, .colorType = PNG_COLOR_TYPE_PALETTE, .bitDepth = 4,
                                 .palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}},
                                 .transparency = {0, 51},
                                 .rows = {{0x01, 0x20}}},
                     {255, 255, 255, 204, 255, 204, 255, 0, 0}});
    // A grey whose value 100 is the transparent colour.
    PngLayout grey{.width = 2, .height = 1, .colorType = PNG_COLOR_TYPE_GRAY, .rows = {{100, 50}}};
    grey.transparentColor.gray = 100;
    grey.hasTransparentColor = true;
    cases.push_back({"grey-transparent", grey, {255, 255, 255, 50, 50, 50}});
    // One bit per pixel, interlaced: a 9 × 9 checkerboard.
    PngCase checker{"interlaced-bits", {.width = 9, .height = 9, .colorType = PNG_COLOR_TYPE_GRAY, .bitDepth = 1,
                                        .interlaced = true},
                    {}};
    for (int y = 0; y < 9; ++y) {
        std::vector<uint8_t> row(2);
        for (int x = 0; x < 9; ++x) {
            const bool white = (x + y) % 2 == 1;
            row[x / 8] |= uint8_t(white << (7 - x % 8));
            checker.expected.insert(checker.expected.end(), 3, white ? 255 : 0);
        }
        checker.layout.rows.push_back(row);
    }
    cases.push_back(checker);
    return cases;
}

TEST_F(PictureFormats, PngsOfEveryKindLoadToTheirPixelsOverWhite)
{
    for (const PngCase& c : PngCases()) {
        SCOPED_TRACE(c.name);
        const std::string path = PathOf(std::string(c.name) + ".png");
        WritePng(path, c.layout);
        const auto working = LoadWorkingBitmap(path);
        EXPECT_EQ(working->ClassName(), "TBitmap");
        EXPECT_EQ(working->PixelLayout(), pl24Bit);
        EXPECT_EQ(PixelBytes(*working), c.expected);
    }
    // The same transparent picture as a lossless WebP shows the same.
    ASSERT_EQ(Shell("cwebp -lossless -exact " + PathOf("rgba.png") + " -o " + PathOf("rgba.webp")), 0);
    EXPECT_EQ(PixelBytes(*LoadWorkingBitmap(PathOf("rgba.webp"))), PngCases()[0].expected);
}

TEST_F(PictureFormats, AnimationsGiveTheirFirstFrameWithItsTransparencyOverWhite)
{
    // A 4 × 2 screen; the first frame covers its middle, one pixel transparent; the
    // second, all green, must never show.
    const std::vector<GifColorType> colors{{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    WriteGif(PathOf("anim.gif"), 4, 2, colors,
             {{.left = 1, .top = 0, .width = 2, .height = 2, .indexes = {1, 3, 0, 2}, .transparent = 0},
              {.left = 0, .top = 0, .width = 4, .height = 2, .indexes = std::vector<uint8_t>(8, 2)}});
    const Bgr firstFrame{255, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 255,
                         255, 255, 255, 255, 255, 255, 0, 255, 0, 255, 255, 255};
    EXPECT_EQ(PixelBytes(*LoadWorkingBitmap(PathOf("anim.gif"))), firstFrame);

    ASSERT_EQ(Shell("gif2webp " + PathOf("anim.gif") + " -o " + PathOf("anim.webp")), 0);
    EXPECT_EQ(PixelBytes(*LoadWorkingBitmap(PathOf("anim.webp"))), firstFrame);
}

TEST_F(PictureFormats, HeicAndAvifShowAsLibheifsOwnConverterShowsThem)
{
    SaveWorkingBitmap(*RandomBitmap(64, 48), PathOf("source.png"));
    for (const char* name : {"photo.heic", "photo.avif"}) {
        SCOPED_TRACE(name);
        const std::string avif = std::string(name).ends_with(".avif") ? " -A" : "";
        ASSERT_EQ(Shell("heif-enc -q 80" + avif + " " + PathOf("source.png") + " -o " + PathOf(name)), 0);
        ASSERT_EQ(Shell("heif-convert " + PathOf(name) + " " + PathOf("reference.png")), 0);
        const auto working = LoadWorkingBitmap(PathOf(name));
        EXPECT_EQ(working->Width(), 64);
        EXPECT_EQ(PixelBytes(*working), PixelBytes(*LoadWorkingBitmap(PathOf("reference.png"))));
    }
    // A phone photo stored landscape with a rotation box shows upright.
    WriteTurnedHeic(PathOf("turned.heic"));
    ASSERT_EQ(Shell("heif-convert " + PathOf("turned.heic") + " " + PathOf("upright.png")), 0);
    const auto turned = LoadWorkingBitmap(PathOf("turned.heic"));
    EXPECT_EQ(turned->Width(), 32);
    EXPECT_EQ(PixelBytes(*turned), PixelBytes(*LoadWorkingBitmap(PathOf("upright.png"))));
}

std::unique_ptr<TBitmap> Mirrored(const TBitmap& source)
{
    auto mirrored = std::make_unique<TBitmap>();
    mirrored->CopyFrom(const_cast<TBitmap*>(&source));
    for (int32_t y = 0; y < source.Height(); ++y)
        for (int32_t x = 0; x < source.Width(); ++x)
            std::memcpy(mirrored->ScanRow(y) + 3 * x, source.ReadOnlyRow(y) + 3 * (source.Width() - 1 - x), 3);
    return mirrored;
}

TEST_F(PictureFormats, EveryExifOrientationOfOnePictureShowsTheSameUprightPicture)
{
    // Grey 8 × 8 blocks, each its own level, survive JPEG compression almost exactly.
    TBitmap upright;
    upright.SetPixelLayout(pl24Bit);
    upright.SetWidth(16);
    upright.SetHeight(24);
    for (int32_t y = 0; y < 24; ++y)
        for (int32_t x = 0; x < 16; ++x)
            std::memset(upright.ScanRow(y) + 3 * x, 40 * (y / 8 * 2 + x / 8), 3);
    // How a camera holding the picture each way stores it.
    using Stored = std::function<std::unique_ptr<TBitmap>(const TBitmap&)>;
    const Stored cw = RotateBitmapClockwise, ccw = RotateBitmapCounterClockwise;
    const std::vector<Stored> stored{
        [](const TBitmap& u) { auto copy = std::make_unique<TBitmap>(); copy->CopyFrom(const_cast<TBitmap*>(&u)); return copy; },
        [](const TBitmap& u) { return Mirrored(u); },
        [&](const TBitmap& u) { return cw(*cw(u)); },
        [&](const TBitmap& u) { return Mirrored(*cw(*cw(u))); },
        [&](const TBitmap& u) { return Mirrored(*cw(u)); },
        [&](const TBitmap& u) { return ccw(u); },
        [&](const TBitmap& u) { return Mirrored(*ccw(u)); },
        [&](const TBitmap& u) { return cw(u); }};
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const auto plain = MakeJpeg(*stored[orientation - 1](upright), {.quality = 100});
        const auto shown = LoadWorkingBitmap(Write("o.jpe", WithExifOrientation(plain, orientation)));
        ASSERT_EQ(shown->Width(), 16);
        ASSERT_EQ(shown->Height(), 24);
        const Bgr got = PixelBytes(*shown), want = PixelBytes(upright);
        for (size_t i = 0; i < want.size(); ++i)
            ASSERT_NEAR(got[i], want[i], 2) << "byte " << i;
        if (orientation == 1) {  // as stored: exactly what the file gives without the tag
            EXPECT_EQ(got, PixelBytes(*LoadWorkingBitmap(Write("plain.jpg", plain))));
        }
    }
}

TEST_F(PictureFormats, EverySaveNameGivesItsFormatAndReadsBack)
{
    const auto picture = RandomBitmap(37, 23);
    SaveWorkingBitmap(*picture, PathOf("photo.jpg"));
    for (const char* name : {"a.jpeg", "b.JPE", "c.jfif"}) {
        SaveWorkingBitmap(*picture, PathOf(name));
        EXPECT_EQ(Contents(PathOf(name)), Contents(PathOf("photo.jpg"))) << name;
    }
    for (const char* name : {"d.png", "e.PNG"}) {
        SaveWorkingBitmap(*picture, PathOf(name));
        EXPECT_EQ(Contents(PathOf(name)).substr(0, 4), "\x89PNG") << name;
        EXPECT_EQ(PixelBytes(*LoadWorkingBitmap(PathOf(name))), PixelBytes(*picture)) << name;
    }
    // Lossy WebP: the very bytes the format's own encoder writes at quality 75.
    SaveWorkingBitmap(*picture, PathOf("f.webp"));
    ASSERT_EQ(Shell("cwebp -q 75 " + PathOf("d.png") + " -o " + PathOf("reference.webp")), 0);
    EXPECT_EQ(Contents(PathOf("f.webp")), Contents(PathOf("reference.webp")));
    ASSERT_EQ(Shell("dwebp " + PathOf("f.webp") + " -ppm -o " + PathOf("reference.ppm")), 0);
    EXPECT_EQ(PixelBytes(*LoadWorkingBitmap(PathOf("f.webp"))), PixelBytes(*ReadPpm(PathOf("reference.ppm"))));
    for (const char* name : {"g.bmp", "h.gif", "i"}) {
        SaveWorkingBitmap(*picture, PathOf(name));
        EXPECT_EQ(Contents(PathOf(name)).substr(0, 2), "BM") << name;
    }
    EXPECT_THROW(SaveWorkingBitmap(*picture, PathOf("missing/j.png")), EFCreateError);
}

TEST_F(PictureFormats, HugeDeclaredSizesAndDamagedFilesFailCleanlyKeepingThePicture)
{
    // A 65535 × 65535 screen with a two-colour table and a frame as large.
    const Bgr gifBomb{'G', 'I', 'F', '8', '9', 'a', 0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0, 0, 0, 0, 0, 255, 255, 255,
                      ',', 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 2};
    TPicture picture;
    RandomBitmap(5, 4)->SaveFile(PathOf("kept.bmp"));
    picture.LoadFile(PathOf("kept.bmp"));
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, Bgr>>{{"bomb.png", PngBomb()},
                                                                             {"bomb.gif", gifBomb}}) {
        SCOPED_TRACE(name);
        EXPECT_THROW(picture.LoadFile(Write(name, bytes)), EOutOfResources);
        EXPECT_EQ(picture.Width(), 5);
    }
    const Bgr damaged(100, 7);
    for (const auto& [name, message] : std::vector<std::pair<std::string, std::string>>{
             {"bad.png", "PNG image is not valid: not a PNG file"},
             {"bad.webp", "WebP image is not valid: damaged data"},
             {"bad.gif", "GIF image is not valid: Data is not in GIF format"},
             {"bad.heic", "HEIF image is not valid: "}}) {
        SCOPED_TRACE(name);
        EXPECT_THROW(picture.LoadFile(Write(name, damaged)), EInvalidGraphic);
        EXPECT_EQ(MessageOf([&] { picture.LoadFile(PathOf(name)); }).substr(0, message.size()), message);
        EXPECT_EQ(picture.Width(), 5);
    }
}

} // namespace
} // namespace mirth
