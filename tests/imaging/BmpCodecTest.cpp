#include "imaging/bmp/BmpCodec.h"

#include <gtest/gtest.h>

#include <climits>

#include "BmpFile.h"
#include "imaging/bitmap/Bitmap.h"
#include "support/Failures.h"
#include "support/Notifications.h"
#include "support/Pictures.h"

namespace mirth {
namespace {

using namespace testing;

const std::string kNotValid = "Bitmap image is not valid";
const std::string kReadError = "Stream read error";

// A 24-bit file whose rows (bottom row first) are given without padding.
BmpFile TrueColour(int32_t width, std::vector<std::vector<uint8_t>> fileRows)
{
    BmpFile file;
    file.width = width;
    file.height = static_cast<int32_t>(fileRows.size());
    for (auto& row : fileRows) {
        row.resize(static_cast<size_t>(RowStride(width, 24)), 0);
        file.pixels.insert(file.pixels.end(), row.begin(), row.end());
    }
    file.imageSize = static_cast<uint32_t>(file.pixels.size());
    return file;
}

std::vector<TColorEntry> Ramp(int count)
{
    std::vector<TColorEntry> colors;
    for (int i = 0; i < count; ++i)
        colors.push_back(Bgr(uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)));
    return colors;
}

TEST(BmpReader, NoBytesEmptyTheBitmapWithoutNotice)
{
    auto bitmap = RandomBitmap(3, 3);
    ChangeCounter changes(*bitmap);
    LoadBytes(*bitmap, {});
    EXPECT_TRUE(bitmap->Empty());
    EXPECT_EQ(bitmap->PixelLayout(), plDevice);
    EXPECT_EQ(changes.count, 0);
    EXPECT_TRUE(SavedBytes(*bitmap).empty());
}

TEST(BmpReader, FailuresNameTheirCauseAndLeaveTheBitmapAsItWas)
{
    const std::vector<uint8_t> good = TrueColour(2, {{1, 2, 3, 4, 5, 6}, {7, 8, 9}}).Bytes();
    auto variant = [](auto change) {
        BmpFile file = TrueColour(2, {{1, 2, 3}, {4, 5, 6}});
        change(file);
        return file.Bytes();
    };
    std::vector<uint8_t> typeBA = good;
    typeBA[1] = 'A';
    std::vector<uint8_t> endlessHeader = good;
    endlessHeader[17] = 0xFF;  // a header size of nearly 4 GiB
    std::vector<uint8_t> shortMasks = variant([](BmpFile& f) {
        f.bits = 16;
        f.compression = kCompressionBitFields;
    });
    shortMasks.resize(14 + 40 + 8);
    const std::vector<uint8_t> enormous = variant([](BmpFile& f) {
        f.width = 3000000;
        f.height = 2000000;
    });
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        std::string message;
    };
    const Case cases[] = {
        {"type BA", typeBA, kNotValid},
        {"ten bytes", {good.begin(), good.begin() + 10}, kReadError},
        {"ends inside the header", {good.begin(), good.begin() + 30}, kReadError},
        {"header size 8", variant([](BmpFile& f) { f.headerSize = 8; }), kNotValid},
        {"header size 13", variant([](BmpFile& f) { f.headerSize = 13; }), kNotValid},
        {"header longer than the file", endlessHeader, kReadError},
        {"two planes", variant([](BmpFile& f) { f.planes = 2; }), kNotValid},
        {"2 bits", variant([](BmpFile& f) { f.bits = 2; }), kNotValid},
        {"compression 4", variant([](BmpFile& f) { f.compression = 4; }), kNotValid},
        {"run lengths at 24 bits", variant([](BmpFile& f) { f.compression = kCompressionRle8; }), kNotValid},
        {"bit fields at 24 bits", variant([](BmpFile& f) { f.compression = kCompressionBitFields; }), kNotValid},
        {"top-down run lengths", variant([](BmpFile& f) {
             f.bits = 8;
             f.compression = kCompressionRle8;
             f.height = -2;
             f.colors = Ramp(256);
         }),
         kNotValid},
        {"width 0", variant([](BmpFile& f) { f.width = 0; }), kNotValid},
        {"negative width", variant([](BmpFile& f) { f.width = -2; }), kNotValid},
        {"height 0", variant([](BmpFile& f) { f.height = 0; }), kNotValid},
        {"lowest height", variant([](BmpFile& f) { f.height = INT_MIN; }), kNotValid},
        {"short mask block", shortMasks, kReadError},
        {"short colour table", variant([](BmpFile& f) {
             f.bits = 8;
             f.colors = Ramp(10);
             f.pixels.clear();
         }),
         kReadError},
        {"billion colours", variant([](BmpFile& f) { f.bits = 8; f.colorsUsed = 1u << 30; }), kReadError},
        {"compression 4 and a short colour table", variant([](BmpFile& f) {
             f.bits = 8;
             f.compression = 4;
             f.colors = Ramp(10);
             f.pixels.clear();
         }),
         kReadError},
        {"enormous picture", enormous, kNotValid},
    };
    auto bitmap = RandomBitmap(4, 4);
    TBitmap keeper;
    keeper.CopyFrom(bitmap.get());
    ChangeCounter changes(*bitmap);
    for (const Case& c : cases) {
        EXPECT_EQ(MessageOf([&] { LoadBytes(*bitmap, c.bytes); }), c.message) << c.what;
        EXPECT_TRUE(bitmap->SharesImageWith(keeper)) << c.what;
    }
    EXPECT_EQ(changes.count, 0);
    EXPECT_THROW(LoadBytes(*bitmap, typeBA), EInvalidGraphic);
    EXPECT_THROW(LoadBytes(*bitmap, enormous), EInvalidGraphic);
    EXPECT_THROW(LoadBytes(*bitmap, {good.begin(), good.begin() + 10}), EReadError);
}

TEST(BmpWriter, TwoByTwoWorkspaceBitmapIsSeventyExactBytes)
{
    auto bitmap = RandomBitmap(2, 2, 5);
    const std::vector<uint8_t> bytes = SavedBytes(*bitmap);
    std::vector<uint8_t> expected = {
        'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  // file header
        40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0,
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    };
    for (int32_t y : {1, 0}) {  // the bottom row first
        const uint8_t* row = bitmap->ReadOnlyRow(y);
        expected.insert(expected.end(), row, row + 6);
        expected.insert(expected.end(), {0, 0});
    }
    EXPECT_EQ(bytes, expected);
}

TEST(BmpRoundTrip, EveryLayoutReloadsAndSavesToTheSameBytes)
{
    for (TPixelLayout layout : {pl1Bit, pl4Bit, pl8Bit, pl15Bit, pl16Bit, pl24Bit, pl32Bit}) {
        for (int32_t width : {1, 2, 3, 5, 8}) {
            auto bitmap = RandomBitmap(width, 3, unsigned(width));
            bitmap->SetPixelLayout(layout);
            const std::vector<uint8_t> saved = SavedBytes(*bitmap);
            TBitmap reloaded;
            LoadBytes(reloaded, saved);
            EXPECT_EQ(reloaded.PixelLayout(), layout);
            EXPECT_EQ(PixelBytes(reloaded), PixelBytes(*bitmap)) << layout << " " << width;
            EXPECT_EQ(SavedBytes(reloaded), saved) << layout << " " << width;
        }
    }
}

TEST(BmpReader, TopDownFileKeepsItsRowOrderAndIsWrittenBackSo)
{
    const std::vector<uint8_t> top = {1, 2, 3, 4, 5, 6, 7, 8, 9}, bottom = {9, 8, 7, 6, 5, 4, 3, 2, 1};
    TBitmap upward, downward;
    LoadBytes(upward, TrueColour(3, {bottom, top}).Bytes());
    BmpFile topDown = TrueColour(3, {top, bottom});
    topDown.height = -2;
    LoadBytes(downward, topDown.Bytes());

    EXPECT_EQ(PixelBytes(upward), PixelBytes(downward));
    EXPECT_EQ(std::vector<uint8_t>(upward.ReadOnlyRow(0), upward.ReadOnlyRow(0) + 9), top);
    EXPECT_TRUE(downward.Image().TopDown());
    EXPECT_EQ(downward.ReadOnlyRow(0), downward.Image().Pixels());
    EXPECT_EQ(SavedBytes(downward), topDown.Bytes());
}

TEST(BmpReader, ColourTableLengthFollowsColoursUsedAndStopsAt256)
{
    BmpFile full;
    full.bits = 8;
    full.width = 4;
    full.height = 1;
    full.colors = Ramp(256);
    full.pixels = {0, 1, 200, 255};
    TBitmap bitmap;
    LoadBytes(bitmap, full.Bytes());
    EXPECT_EQ(bitmap.Palette().size(), 256u);
    EXPECT_EQ(bitmap.Palette(), full.colors);

    BmpFile sixteen = full;
    sixteen.colorsUsed = 16;
    sixteen.colors = Ramp(16);
    sixteen.pixels = {15, 3, 0, 1};
    LoadBytes(bitmap, sixteen.Bytes());
    EXPECT_EQ(bitmap.Palette().size(), 16u);
    EXPECT_EQ(std::vector<uint8_t>(bitmap.ReadOnlyRow(0), bitmap.ReadOnlyRow(0) + 4), sixteen.pixels);

    // A longer table than any palette holds: the first 256 entries are kept,
    // and the pixels are still found after the whole table.
    BmpFile oversized = full;
    oversized.colorsUsed = 300;
    oversized.colors = Ramp(300);
    LoadBytes(bitmap, oversized.Bytes());
    EXPECT_EQ(bitmap.Palette(), Ramp(256));
    EXPECT_EQ(std::vector<uint8_t>(bitmap.ReadOnlyRow(0), bitmap.ReadOnlyRow(0) + 4), full.pixels);
    const std::vector<uint8_t> saved = SavedBytes(bitmap);
    EXPECT_EQ(Get32(saved, 46), 256u);   // colours used
    EXPECT_EQ(Get32(saved, 10), 1078u);  // pixel offset
}

TEST(BmpWriter, PaletteOfA256ColourPictureSurvivesConversionTo24Bits)
{
    BmpFile file;
    file.bits = 8;
    file.width = 3;
    file.height = 2;
    file.colors = Ramp(256);
    file.pixels = {7, 8, 9, 0, 250, 251, 252, 0};
    TBitmap bitmap;
    LoadBytes(bitmap, file.Bytes());
    bitmap.SetPixelLayout(pl24Bit);
    const std::vector<uint8_t> saved = SavedBytes(bitmap);
    const uint32_t S = 12 * 2;
    EXPECT_EQ(Get32(saved, 2), 1078 + S);
    EXPECT_EQ(Get32(saved, 10), 1078u);
    EXPECT_EQ(Get16(saved, 28), 24);
    EXPECT_EQ(Get32(saved, 46), 256u);
    const std::vector<uint8_t> original = file.Bytes();
    EXPECT_TRUE(std::equal(saved.begin() + 54, saved.begin() + 1078, original.begin() + 54));
    const TColorEntry c = file.colors[7];  // the bottom row's first pixel
    EXPECT_EQ(std::vector<uint8_t>(saved.begin() + 1078, saved.begin() + 1081),
              (std::vector<uint8_t>{c.blue, c.green, c.red}));
}

TEST(BmpWriter, CoreHeaderFileStaysCoreUnlessItCannotDescribeTheStore)
{
    BmpFile core = TrueColour(2, {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}});
    core.headerSize = 12;
    TBitmap bitmap;
    LoadBytes(bitmap, core.Bytes());
    EXPECT_EQ(SavedBytes(bitmap), core.Bytes());

    bitmap.ScanRow(0)[0] = 99;
    std::vector<uint8_t> saved = SavedBytes(bitmap);
    EXPECT_EQ(Get32(saved, 14), 12u);
    EXPECT_EQ(Get32(saved, 10), 26u);
    EXPECT_EQ(Get32(saved, 2), 26u + 16u);
    EXPECT_EQ(saved[26 + 8], 99);  // the top row comes last

    BmpFile paletted;
    paletted.headerSize = 12;
    paletted.bits = 4;
    paletted.colors = Ramp(16);
    paletted.pixels = {0x12, 0, 0, 0, 0x20, 0, 0, 0};
    LoadBytes(bitmap, paletted.Bytes());
    bitmap.ScanRow(0);
    saved = SavedBytes(bitmap);
    EXPECT_EQ(saved, paletted.Bytes());
    EXPECT_EQ(Get32(saved, 10), 26u + 3 * 16);

    // Masks have no place in a core header: such a store gets an info header.
    bitmap.SetPixelLayout(pl16Bit);
    saved = SavedBytes(bitmap);
    EXPECT_EQ(Get32(saved, 14), 40u);
    EXPECT_EQ(Get32(saved, 54 + 4), 0x07E0u);
}

TEST(BmpReader, PixelDataFillsTheStoreAndNoMore)
{
    BmpFile overlong = TrueColour(2, {{1, 2, 3, 4, 5, 6}});
    overlong.imageSize = 0xFFFFFFF0;  // and more bytes follow than the picture holds
    overlong.pixels.resize(overlong.pixels.size() + 100, 0xEE);
    TBitmap bitmap;
    LoadBytes(bitmap, overlong.Bytes());
    EXPECT_EQ(bitmap.Image().PixelBytes(), 8u);
    EXPECT_EQ(PixelBytes(bitmap), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
}

TEST(BmpReader, ShortPixelDataLeavesTheRestBlack)
{
    BmpFile file = TrueColour(2, {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}, {13, 14, 15, 16, 17, 18}});
    file.pixels.resize(10);
    TBitmap bitmap;
    LoadBytes(bitmap, file.Bytes());
    EXPECT_EQ(PixelBytes(bitmap), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0,  //
                                                        7, 8, 0, 0, 0, 0,  //
                                                        1, 2, 3, 4, 5, 6}));
}

TEST(BmpReader, HeaderVariantsAndBitFieldsGiveTheSameColours)
{
    auto red = [](BmpFile file) {
        TBitmap bitmap;
        LoadBytes(bitmap, file.Bytes());
        bitmap.SetPixelLayout(pl24Bit);
        return PixelBytes(bitmap);
    };
    const std::vector<uint8_t> pureRed = {0, 0, 255};
    BmpFile rgb565;
    rgb565.width = rgb565.height = 1;
    rgb565.bits = 16;
    rgb565.compression = kCompressionBitFields;
    rgb565.masks = {0xF800, 0x07E0, 0x001F};
    rgb565.pixels = {0x00, 0xF8, 0, 0};
    EXPECT_EQ(red(rgb565), pureRed);
    rgb565.headerSize = 124;
    EXPECT_EQ(red(rgb565), pureRed);

    BmpFile xrgb = rgb565;
    xrgb.bits = 32;
    xrgb.headerSize = 56;
    xrgb.masks = {0xFF000000, 0x00FF0000, 0x0000FF00};
    xrgb.pixels = {0, 0, 0, 0xFF};
    EXPECT_EQ(red(xrgb), pureRed);

    BmpFile shortHeader;  // the fields a 16-byte header lacks read as 0
    shortHeader.headerSize = 16;
    shortHeader.width = shortHeader.height = 1;
    shortHeader.bits = 8;
    shortHeader.colors = Ramp(256);
    shortHeader.colors[3] = Bgr(0, 0, 255);
    shortHeader.pixels = {3, 0, 0, 0};
    EXPECT_EQ(red(shortHeader), pureRed);
}

// Palette: 0 black, 1 red, 2 green, 3 blue.
BmpFile RunLengthFile(uint16_t bits, int32_t width, int32_t height, std::vector<uint8_t> data)
{
    BmpFile file;
    file.bits = bits;
    file.compression = bits == 8 ? kCompressionRle8 : kCompressionRle4;
    file.width = width;
    file.height = height;
    file.colors = {Bgr(0, 0, 0), Bgr(0, 0, 255), Bgr(0, 255, 0), Bgr(255, 0, 0)};
    file.colorsUsed = 4;
    file.imageSize = static_cast<uint32_t>(data.size());
    file.pixels = std::move(data);
    return file;
}

constexpr uint8_t K[3] = {0, 0, 0}, R[3] = {0, 0, 255}, G[3] = {0, 255, 0}, B[3] = {255, 0, 0};

std::vector<uint8_t> Pixels(std::initializer_list<const uint8_t*> colours)
{
    std::vector<uint8_t> bytes;
    for (const uint8_t* c : colours)
        bytes.insert(bytes.end(), c, c + 3);
    return bytes;
}

TEST(BmpRunLength, BothDepthsDecodeAndAreWrittenBackUnchangedUntilTheFirstChange)
{
    const BmpFile rle8 = RunLengthFile(8, 4, 3, {
        2, 1, 2, 2, 0, 0,              // bottom row: runs
        0, 3, 1, 2, 3, 0, 1, 0, 0, 0,  // middle row: three literal pixels, padded, then a run
        0, 2, 1, 0, 1, 3, 0, 1,        // top row: skip one pixel, one blue, end of bitmap
    });
    const BmpFile rle4 = RunLengthFile(4, 4, 3, {
        4, 0x12, 0, 0,           // bottom row: alternating red and green
        0, 3, 0x12, 0x30, 1, 0x00, 0, 0,
        0, 2, 1, 0, 1, 0x30, 0, 1,
    });
    const auto rle8Picture = Pixels({K, B, K, K, R, G, B, K, R, R, G, G});
    const auto rle4Picture = Pixels({K, B, K, K, R, G, B, K, R, G, R, G});
    for (const auto& [file, picture] : {std::pair{rle8, rle8Picture}, std::pair{rle4, rle4Picture}}) {
        TBitmap bitmap;
        LoadBytes(bitmap, file.Bytes());
        EXPECT_EQ(bitmap.PixelLayout(), plDevice);
        EXPECT_EQ(PixelBytes(bitmap), picture);
        EXPECT_EQ(SavedBytes(bitmap), file.Bytes());

        bitmap.ScanRow(0);
        const std::vector<uint8_t> saved = SavedBytes(bitmap);
        EXPECT_EQ(Get16(saved, 28), 24);
        EXPECT_EQ(Get32(saved, 30), kCompressionNone);
        TBitmap reloaded;
        LoadBytes(reloaded, saved);
        EXPECT_EQ(PixelBytes(reloaded), picture);
    }
}

TEST(BmpRunLength, HostileRunsNeverLeaveThePicture)
{
    struct Case {
        const char* what;
        std::vector<uint8_t> data;
        std::vector<uint8_t> picture;  // top row first
    };
    const Case cases[] = {
        {"a run longer than the row does not wrap", {255, 1, 0, 0, 1, 2}, Pixels({G, K, R, R})},
        {"a skip past the right edge drops pixels", {0, 2, 9, 0, 3, 1, 0, 0, 1, 3}, Pixels({B, K, K, K})},
        {"a skip past the top ends the picture", {1, 1, 0, 2, 0, 200, 2, 2}, Pixels({K, K, R, K})},
        {"a literal run cut off by the end of data", {0, 0, 0, 5, 3}, Pixels({B, K, K, K})},
        {"indices past the table read black", {1, 7, 1, 1}, Pixels({K, K, K, R})},
        {"a dangling byte and no end code", {1, 1, 0}, Pixels({K, K, R, K})},
    };
    for (const Case& c : cases) {
        TBitmap bitmap;
        LoadBytes(bitmap, RunLengthFile(8, 2, 2, c.data).Bytes());
        EXPECT_EQ(PixelBytes(bitmap), c.picture) << c.what;
    }
    TBitmap bitmap;
    LoadBytes(bitmap, RunLengthFile(4, 3, 1, {255, 0x31, 0, 9, 0x12, 0x31, 0x23}).Bytes());
    EXPECT_EQ(PixelBytes(bitmap), Pixels({B, R, B})) << "four bits";
}

TEST(BmpPersistedForm, LengthThenFile)
{
    auto bitmap = RandomBitmap(3, 2);
    TMemoryStream stream;
    bitmap->WriteData(stream);
    const std::vector<uint8_t> file = SavedBytes(*bitmap);
    EXPECT_EQ(Get32(stream.Bytes(), 0), file.size());
    EXPECT_EQ(std::vector<uint8_t>(stream.Bytes().begin() + 4, stream.Bytes().end()), file);

    const uint8_t trailer[] = {0xAB, 0xCD};
    stream.WriteBuffer(trailer, 2);
    stream.SetPosition(0);
    TBitmap read;
    read.ReadData(stream);
    EXPECT_EQ(PixelBytes(read), PixelBytes(*bitmap));
    EXPECT_EQ(stream.Position(), int64_t(4 + file.size()));

    TMemoryStream nothing(std::vector<uint8_t>{0, 0, 0, 0, 'B', 'M'});
    read.ReadData(nothing);
    EXPECT_TRUE(read.Empty());

    TMemoryStream overlong(std::vector<uint8_t>{99, 0, 0, 0, 'B', 'M'});
    TBitmap keeper;
    keeper.CopyFrom(bitmap.get());
    EXPECT_EQ(MessageOf([&] { bitmap->ReadData(overlong); }), kReadError);
    EXPECT_TRUE(bitmap->SharesImageWith(keeper));
}

} // namespace
} // namespace mirth
