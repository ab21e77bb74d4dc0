#include "imaging/jpeg/Jpeg.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "imaging/bitmap/Canvas.h"
#include "imaging/pixels/PixelFormats.h"
#include "imaging/jpeg/Platform.h"
#include "support/Failures.h"
#include "support/JpegStreams.h"
#include "support/Notifications.h"
#include "support/Pictures.h"

namespace mirth {
namespace {

using testing::ChangeCounter;
using testing::DecodeJpeg;
using testing::GradientBitmap;
using testing::JpegKind;
using testing::JpegOptions;
using testing::MessageOf;
using testing::MakeJpeg;
using testing::PixelBytes;

std::unique_ptr<TJPEGImage> Loaded(const std::vector<uint8_t>& bytes)
{
    auto image = std::make_unique<TJPEGImage>();
    TMemoryStream stream(bytes);
    image->LoadStream(stream);
    return image;
}

std::vector<uint8_t> Saved(TJPEGImage& image)
{
    TMemoryStream stream;
    image.SaveStream(stream);
    return stream.Bytes();
}

// Where the first scan's header starts.
size_t ScanStart(const std::vector<uint8_t>& bytes)
{
    for (size_t i = 0; i + 1 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xDA)
            return i;
    return bytes.size();
}

// The largest difference of any channel of any pixel, both bitmaps 24-bit.
int LargestDifference(const TBitmap& a, const TBitmap& b)
{
    const auto x = PixelBytes(a), y = PixelBytes(b);
    EXPECT_EQ(x.size(), y.size());
    int largest = 0;
    for (size_t i = 0; i < std::min(x.size(), y.size()); ++i)
        largest = std::max(largest, std::abs(int(x[i]) - int(y[i])));
    return largest;
}

// The 8-bit bitmap's pixels resolved through its palette, as a 24-bit bitmap.
std::unique_ptr<TBitmap> Resolved(const TBitmap& indexed)
{
    auto colour = std::make_unique<TBitmap>();
    colour->CopyFrom(const_cast<TBitmap*>(&indexed));
    colour->SetPixelLayout(pl24Bit);
    return colour;
}

struct ProgressLog {
    explicit ProgressLog(TGraphic& graphic)
    {
        graphic.OnProgress = [this](TObject*, TProgressStage stage, uint8_t percent, bool, const TRect&,
                                    const std::string&) { stages.push_back({stage, percent}); };
    }
    std::vector<std::pair<TProgressStage, int>> stages;
};

TEST(JpegDecode, ColourStreamsOfEverySamplingAndOrderDecodeTo24BitRowsInBlueGreenRed)
{
    const auto source = GradientBitmap(61, 43);  // odd sizes: partial blocks and row padding
    for (int sampling : {1, 2})
        for (bool progressive : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "sampling " << sampling << " progressive " << progressive);
            auto image = Loaded(MakeJpeg(*source, {.quality = 95, .progressive = progressive, .lumaSampling = sampling}));
            EXPECT_FALSE(image->HasBitmap());  // loading reads the header only
            EXPECT_EQ(image->Width(), 61);
            EXPECT_EQ(image->Height(), 43);
            EXPECT_EQ(image->Progressive, progressive);
            TBitmap& decoded = image->DecodeToBitmap();
            EXPECT_EQ(decoded.PixelLayout(), pl24Bit);
            EXPECT_LE(LargestDifference(decoded, *source), 24);
            EXPECT_EQ(&image->DecodeToBitmap(), &decoded);  // decoded once
        }
}

TEST(JpegDecode, ShowingPassesEndsWithTheSamePictureAsOneDecode)
{
    const auto bytes = MakeJpeg(*GradientBitmap(80, 60), {.progressive = true});
    auto direct = Loaded(bytes);
    auto passes = Loaded(bytes);
    passes->ShowPasses = true;
    EXPECT_EQ(PixelBytes(passes->DecodeToBitmap()), PixelBytes(direct->DecodeToBitmap()));
}

TEST(JpegDecode, ShowingPassesWorksWithEveryQuantizingMode)
{
    const auto source = GradientBitmap(48, 40);
    for (bool gray : {false, true})
        for (TDecodeMode mode : {dmAccurate, dmFast}) {
            SCOPED_TRACE(::testing::Message() << "gray " << gray << " fast " << (mode == dmFast));
            const JpegKind kind = gray ? JpegKind::Gray : JpegKind::Colour;
            auto image = Loaded(MakeJpeg(*source, {.progressive = true, .kind = kind}));
            image->ShowPasses = true;
            image->DecodeMode = mode;
            image->SetOutputDepth(od8Bit);
            TBitmap& decoded = image->DecodeToBitmap();
            EXPECT_EQ(decoded.PixelLayout(), pl8Bit);
            EXPECT_LE(decoded.Palette().size(), 236u);
            if (gray) {
                for (const TColorEntry& entry : decoded.Palette())
                    EXPECT_TRUE(entry.red == entry.green && entry.green == entry.blue);
            } else {
                EXPECT_LE(LargestDifference(*Resolved(decoded), *source), 64);  // dithered
            }
        }
}

TEST(JpegDecode, GrayStreamsGiveAt8BitsAtMost236GrayLevels)
{
    const auto source = GradientBitmap(64, 64);
    auto image = Loaded(MakeJpeg(*source, {.kind = JpegKind::Gray}));
    EXPECT_TRUE(image->Data().IsGray);
    ASSERT_EQ(image->OutputDepth(), od24Bit);
    TBitmap& decoded = image->DecodeToBitmap();
    EXPECT_EQ(decoded.PixelLayout(), pl8Bit);
    const TPalette palette = decoded.Palette();
    ASSERT_FALSE(palette.empty());
    EXPECT_LE(palette.size(), 236u);
    for (const TColorEntry& entry : palette)
        EXPECT_TRUE(entry.red == entry.green && entry.green == entry.blue);
    EXPECT_TRUE(image->PaletteModified());
}

TEST(JpegDecode, EightBitOutputQuantizesToTheCallersPaletteOrItsOwn)
{
    const auto source = GradientBitmap(40, 30);
    const auto bytes = MakeJpeg(*source, {.quality = 95});
    auto own = Loaded(bytes);
    own->SetOutputDepth(od8Bit);
    EXPECT_EQ(own->DecodeToBitmap().PixelLayout(), pl8Bit);
    EXPECT_LE(own->DecodeToBitmap().Palette().size(), 236u);
    EXPECT_LE(LargestDifference(*Resolved(own->DecodeToBitmap()), *source), 40);

    TPalette twoColours(2);
    twoColours[1] = TColorEntry{255, 255, 255, 0};
    for (TDecodeMode mode : {dmAccurate, dmFast}) {
        auto given = Loaded(bytes);
        given->DecodeMode = mode;
        given->SetOutputDepth(od8Bit);
        given->SetPalette(twoColours);
        TBitmap& decoded = given->DecodeToBitmap();
        EXPECT_EQ(decoded.Palette(), twoColours);
        for (uint8_t index : PixelBytes(decoded))
            EXPECT_LT(index, 2);
    }
}

TEST(JpegDecode, FourComponentStreamsBecomeOrdinaryColourPictures)
{
    const auto source = GradientBitmap(37, 21);
    for (JpegKind kind : {JpegKind::Cmyk, JpegKind::Ycck})
        for (bool adobe : {true, false}) {
            if (kind == JpegKind::Ycck && !adobe)
                continue;  // the library writes YCCK only with the marker
            SCOPED_TRACE(::testing::Message() << "ycck " << (kind == JpegKind::Ycck) << " adobe " << adobe);
            auto image = Loaded(MakeJpeg(*source, {.quality = 95, .kind = kind, .adobeMarker = adobe}));
            TBitmap& decoded = image->DecodeToBitmap();
            EXPECT_EQ(decoded.PixelLayout(), pl24Bit);
            EXPECT_LE(LargestDifference(decoded, *source), 24);
        }
}

TEST(JpegDecode, ScaleDownDecodesAFractionOfTheSize)
{
    const auto bytes = MakeJpeg(*GradientBitmap(100, 50), {.progressive = true});
    auto image = Loaded(bytes);
    image->SetScaleDown(sdQuarter);
    image->Progressive = false;
    EXPECT_EQ(image->Width(), 25);
    EXPECT_TRUE(image->Progressive);  // the size query reads the scans too
    EXPECT_EQ(image->Height(), 13);  // the library rounds up
    EXPECT_EQ(image->DecodeToBitmap().Width(), 25);
    EXPECT_EQ(image->DecodeToBitmap().Height(), 13);
}

TEST(JpegDecode, ATruncatedStreamStillDecodesAtFullSize)
{
    auto bytes = MakeJpeg(*GradientBitmap(64, 64));
    bytes.resize(ScanStart(bytes) + (bytes.size() - ScanStart(bytes)) / 2);
    auto image = Loaded(bytes);
    EXPECT_NO_THROW(image->DecodeToBitmap());
    EXPECT_EQ(image->DecodeToBitmap().Width(), 64);
    EXPECT_EQ(image->DecodeToBitmap().Height(), 64);
}

TEST(JpegDecode, AnEmptyStreamLoadsButFailsToDrawWithTheLibrarysEmptyInputCode)
{
    auto image = Loaded({});
    EXPECT_FALSE(image->Empty());
    EXPECT_EQ(image->Width(), 0);
    EXPECT_EQ(image->Height(), 0);
    TBitmap canvas;
    canvas.SetPixelLayout(pl24Bit);
    canvas.SetWidth(4);
    canvas.SetHeight(4);
    ProgressLog log(*image);
    EXPECT_EQ(MessageOf([&] { canvas.Canvas().StretchGraphic({0, 0, 4, 4}, image.get()); }), "JPEG error #42");
    EXPECT_TRUE(log.stages.empty());  // the header failed: no run started
    EXPECT_TRUE(image->DecodeToBitmap().Empty());  // the failed decode is not repeated
}

TEST(JpegDecode, FailuresAreEJpegAndLeaveTheImageAsItWas)
{
    auto image = Loaded(MakeJpeg(*GradientBitmap(16, 8)));
    std::vector<uint8_t> garbage(300, 0x5A);
    TMemoryStream stream(garbage);
    try {
        image->LoadStream(stream);
        FAIL() << "garbage loaded";
    } catch (const EJPEG& e) {
        EXPECT_EQ(e.Message().rfind("JPEG error #", 0), 0u);
    }
    EXPECT_EQ(image->Width(), 16);
    EXPECT_NO_THROW(image->DecodeToBitmap());
}

TEST(JpegDecode, ACorruptScanFailsAndKeepsThePartlyDecodedBitmap)
{
    auto bytes = MakeJpeg(*GradientBitmap(64, 64), {.progressive = true});
    // Overwrite the middle of the entropy-coded data with a bogus marker.
    bytes[bytes.size() / 2] = 0xFF;
    bytes[bytes.size() / 2 + 1] = 0xC8;
    auto image = Loaded(bytes);
    ProgressLog log(*image);
    try {
        image->DecodeToBitmap();
    } catch (const EJPEG&) {
        ASSERT_FALSE(log.stages.empty());
        EXPECT_EQ(log.stages.back(), std::make_pair(psEnding, 0));
    }
    EXPECT_TRUE(image->HasBitmap());
}

TEST(JpegDecode, AHeaderDeclaringAnEnormousPictureFailsOnTheStoreCap)
{
    auto bytes = MakeJpeg(*GradientBitmap(16, 16));
    // The frame header: FF C0, length, precision, then height and width.
    for (size_t i = 0; i + 8 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
            bytes[i + 5] = bytes[i + 7] = 0xFF;  // 65500 by 65500, the library's limit
            bytes[i + 6] = bytes[i + 8] = 0xDC;
            break;
        }
    auto image = Loaded(bytes);
    EXPECT_EQ(image->Width(), 65500);
    EXPECT_EQ(MessageOf([&] { image->DecodeToBitmap(); }), "Out of system resources");
}

TEST(JpegDecode, ProgressIsReportedFromStartToEndAndACancelKeepsWhatWasDecoded)
{
    auto image = Loaded(MakeJpeg(*GradientBitmap(32, 32)));
    ProgressLog log(*image);
    image->DecodeToBitmap();
    ASSERT_GE(log.stages.size(), 2u);
    EXPECT_EQ(log.stages.front(), std::make_pair(psStarting, 0));
    EXPECT_EQ(log.stages.back(), std::make_pair(psEnding, 100));

    auto cancelled = Loaded(MakeJpeg(*GradientBitmap(32, 32)));
    cancelled->OnProgress = [](TObject*, TProgressStage stage, uint8_t, bool, const TRect&, const std::string&) {
        if (stage == psStarting)
            throw EAbort("cancel");
    };
    EXPECT_NO_THROW(cancelled->DecodeToBitmap());
    EXPECT_TRUE(cancelled->DecodeToBitmap().Empty());
}

// A clock that moves 600 ms at every look, so that every progress call of the
// library is due for a report.
class FastClock : public ::testing::Test {
protected:
    void SetUp() override
    {
        now_ = 0;
        SetTickSource([] { return now_ += 600; });
    }
    void TearDown() override { SetTickSource(nullptr); }
    static inline long long now_ = 0;
};

void ThrowOnRunning(TGraphic& graphic, std::function<void()> raise, ProgressLog& log)
{
    graphic.OnProgress = [raise, &log](TObject*, TProgressStage stage, uint8_t percent, bool, const TRect&,
                                       const std::string&) {
        log.stages.push_back({stage, percent});
        if (stage == psRunning)
            raise();
    };
}

TEST_F(FastClock, DecodingReportsRisingPercentagesBetweenStartAndEnd)
{
    auto image = Loaded(MakeJpeg(*GradientBitmap(256, 256), {.progressive = true}));
    ProgressLog log(*image);
    image->DecodeToBitmap();
    ASSERT_GE(log.stages.size(), 4u);
    EXPECT_EQ(log.stages.front(), std::make_pair(psStarting, 0));
    EXPECT_EQ(log.stages.back(), std::make_pair(psEnding, 100));
    // Rising from the start's 0 %: no report repeats it.
    for (size_t i = 1; i + 1 < log.stages.size(); ++i) {
        EXPECT_EQ(log.stages[i].first, psRunning);
        EXPECT_LT(log.stages[i].second, 100);
        EXPECT_GT(log.stages[i].second, log.stages[i - 1].second);
    }
}

TEST_F(FastClock, ACancelDuringTheDecodeKeepsTheRowsSoFarAndOtherFailuresPassOn)
{
    const auto bytes = MakeJpeg(*GradientBitmap(256, 256));
    auto cancelled = Loaded(bytes);
    ProgressLog log(*cancelled);
    ThrowOnRunning(*cancelled, [] { throw EAbort("cancel"); }, log);
    EXPECT_NO_THROW(cancelled->DecodeToBitmap());
    EXPECT_EQ(cancelled->DecodeToBitmap().Width(), 256);
    EXPECT_EQ(log.stages.back(), std::make_pair(psEnding, 0));

    auto failed = Loaded(bytes);
    ProgressLog failures(*failed);
    ThrowOnRunning(*failed, [] { throw EInvalidOperation("handler broke"); }, failures);
    EXPECT_EQ(MessageOf([&] { failed->DecodeToBitmap(); }), "handler broke");
    EXPECT_EQ(failures.stages.back(), std::make_pair(psEnding, 0));
    EXPECT_TRUE(failed->HasBitmap());
}

TEST_F(FastClock, ACancelDuringTheEncodeWritesNothing)
{
    TJPEGImage image;
    image.CopyFrom(GradientBitmap(256, 256).get());
    ProgressLog log(image);
    ThrowOnRunning(image, [] { throw EAbort("cancel"); }, log);
    TMemoryStream stream;
    EXPECT_THROW(image.SaveStream(stream), EAbort);
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_EQ(image.Data().Compressed, nullptr);
}

TEST(JpegImage, APaletteDisplayMakesNewImagesDecodeTo8Bits)
{
    const TJPEGDefaults saved = JpegDefaults;
    SetDisplayBitsPerPixel(8);
    AdaptJpegDefaultsToDisplay();
    auto image = Loaded(MakeJpeg(*GradientBitmap(16, 16)));
    EXPECT_EQ(image->DecodeToBitmap().PixelLayout(), pl8Bit);
    TJPEGImage asked;
    asked.SetOutputDepth(od24Bit);
    EXPECT_EQ(asked.Palette(), HalftonePalette());  // a 24-bit image shows through the halftone palette
    SetDisplayBitsPerPixel(24);
    JpegDefaults = saved;
}

TEST(JpegEncode, SavingEncodesTheCopiedBitmapAsABaselineStreamOnce)
{
    const auto source = GradientBitmap(50, 30);
    TJPEGImage image;
    image.CopyFrom(source.get());
    EXPECT_FALSE(image.Empty());
    EXPECT_EQ(image.Data().Compressed, nullptr);  // copying in does not encode
    image.EncodeQuality = 60;
    const auto bytes = Saved(image);
    const auto decoded = DecodeJpeg(bytes);
    EXPECT_EQ(decoded.width, 50);
    EXPECT_EQ(decoded.height, 30);
    EXPECT_EQ(decoded.components, 3);
    EXPECT_FALSE(decoded.progressive);
    // Bottom-left is pure red with green: the colour order survives.
    const uint8_t* bottomLeft = &decoded.pixels[3 * 50 * 29];
    EXPECT_GT(bottomLeft[0], 230);
    EXPECT_LT(bottomLeft[2], 25);
    EXPECT_EQ(Saved(image), bytes);              // the stream is kept, not re-encoded
    // Drawing shows the bitmap copied in, not the lossy stream.
    EXPECT_TRUE(image.DecodeToBitmap().SharesImageWith(*source));

    TJPEGImage better;
    better.CopyFrom(source.get());
    EXPECT_GT(Saved(better).size(), bytes.size());  // quality 90 by default
}

TEST(JpegEncode, GrayAndProgressiveSettingsShapeTheStream)
{
    const auto source = GradientBitmap(24, 24);
    TJPEGImage gray;
    gray.GrayMode = true;
    gray.CopyFrom(source.get());
    EXPECT_EQ(DecodeJpeg(Saved(gray)).components, 1);
    EXPECT_TRUE(gray.Data().IsGray);

    // A progressive file loaded into an image makes its next encoding progressive.
    auto reused = Loaded(MakeJpeg(*source, {.progressive = true}));
    reused->CopyFrom(source.get());
    EXPECT_TRUE(DecodeJpeg(Saved(*reused)).progressive);
    TJPEGImage fresh;
    fresh.CopyFrom(source.get());
    EXPECT_FALSE(DecodeJpeg(Saved(fresh)).progressive);
}

// Two images that share a block without a stream each encode their own settings:
// the first to save must not hand its stream to the other.
TEST(JpegEncode, CopiesWithoutAStreamEachEncodeTheirOwn)
{
    TJPEGImage colour;
    colour.CopyFrom(GradientBitmap(24, 24).get());
    TJPEGImage gray;
    gray.CopyFrom(&colour);
    gray.GrayMode = true;
    EXPECT_EQ(DecodeJpeg(Saved(colour)).components, 3);
    EXPECT_EQ(DecodeJpeg(Saved(gray)).components, 1);
    EXPECT_FALSE(colour.Data().IsGray);
}

TEST(JpegEncode, NothingToEncodeWritesZeroBytes)
{
    TBitmap empty;
    TJPEGImage image;
    image.CopyFrom(&empty);
    EXPECT_TRUE(Saved(image).empty());

    // A new output depth drops the bitmap copied in: there is nothing left to save.
    TJPEGImage dropped;
    dropped.CopyFrom(GradientBitmap(8, 8).get());
    dropped.SetOutputDepth(od8Bit);
    EXPECT_TRUE(Saved(dropped).empty());
}

TEST(JpegEncode, AnyBitmapLayoutIsAcceptedWithoutChangingTheBitmap)
{
    auto source = GradientBitmap(20, 10);
    source->SetPixelLayout(pl8Bit);
    TJPEGImage image;
    image.CopyFrom(source.get());
    EXPECT_EQ(DecodeJpeg(Saved(image)).width, 20);
    EXPECT_EQ(image.DecodeToBitmap().PixelLayout(), pl8Bit);
}

TEST(JpegEncode, ACancelledSaveWritesNothingAndTheNextSaveEncodes)
{
    TJPEGImage image;
    image.CopyFrom(GradientBitmap(20, 10).get());
    image.OnProgress = [](TObject*, TProgressStage stage, uint8_t, bool, const TRect&, const std::string&) {
        if (stage == psStarting)
            throw EAbort("cancel");
    };
    TMemoryStream stream;
    EXPECT_THROW(image.SaveStream(stream), EAbort);
    EXPECT_EQ(stream.Size(), 0);
    image.OnProgress = nullptr;
    EXPECT_EQ(DecodeJpeg(Saved(image)).width, 20);
}

TEST(JpegImage, CopiesShareTheStreamAndDecodedBitmapsAreCopied)
{
    auto original = Loaded(MakeJpeg(*GradientBitmap(30, 20)));
    TJPEGImage copy;
    copy.CopyFrom(original.get());
    EXPECT_TRUE(copy.SharesDataWith(*original));
    EXPECT_TRUE(copy.Equals(original.get()));
    EXPECT_EQ(Saved(copy), Saved(*original));

    original->DecodeToBitmap();
    TJPEGImage second;
    second.CopyFrom(original.get());
    ASSERT_TRUE(second.HasBitmap());
    EXPECT_TRUE(second.DecodeToBitmap().SharesImageWith(original->DecodeToBitmap()));

    TBitmap bitmap;
    bitmap.CopyFrom(original.get());
    EXPECT_TRUE(bitmap.SharesImageWith(original->DecodeToBitmap()));

    TJPEGImage unrelated;
    unrelated.CopyFrom(GradientBitmap(30, 20).get());
    EXPECT_FALSE(unrelated.Equals(original.get()));
    EXPECT_FALSE(original->Equals(&bitmap));
}

// However it is asked to draw, the image writes into the destination's own pixels,
// never into a store the destination shares, and tells the destination.
TEST(JpegImage, DrawingMakesTheDestinationsPixelsPrivateAndNotifiesIt)
{
    TJPEGImage image;
    image.CopyFrom(GradientBitmap(6, 4).get());
    auto destination = testing::RandomBitmap(6, 4);
    TBitmap sharer;
    sharer.CopyFrom(destination.get());
    const auto shared = PixelBytes(sharer);
    ChangeCounter changes(*destination);
    image.Render(destination->Canvas(), TRect{0, 0, 6, 4});
    EXPECT_EQ(PixelBytes(*destination), PixelBytes(image.DecodeToBitmap()));
    EXPECT_EQ(PixelBytes(sharer), shared);
    EXPECT_EQ(changes.count, 1);
}

TEST(JpegImage, SizeCannotBeSetAndOutputDepthChangesOnlyOnANewValue)
{
    auto image = Loaded(MakeJpeg(*GradientBitmap(10, 10)));
    EXPECT_EQ(MessageOf([&] { image->SetWidth(5); }), "Cannot change the size of a JPEG image");
    EXPECT_THROW(image->SetHeight(5), EInvalidGraphicOperation);
    EXPECT_EQ(image->Width(), 10);

    image->DecodeToBitmap();
    int changes = 0;
    image->OnChange = [&](TObject*) { ++changes; };
    image->SetOutputDepth(od24Bit);
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(image->HasBitmap());
    image->SetOutputDepth(od8Bit);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(image->HasBitmap());
}

TEST(JpegImage, TheClipboardFormIsTheDecodedBitmapsAndAPasteBecomesThePicture)
{
    auto image = Loaded(MakeJpeg(*GradientBitmap(20, 10)));
    TClipboardFormat format = 0;
    std::vector<uint8_t> data;
    TPalette palette;
    image->SaveToClipboardFormat(format, data, palette);
    TBitmap pasted;
    pasted.LoadFromClipboardFormat(format, data, palette);
    EXPECT_EQ(pasted.Width(), 20);

    TJPEGImage target;
    target.LoadFromClipboardFormat(format, data, palette);
    EXPECT_EQ(target.Data().Compressed, nullptr);  // encoded when saved
    EXPECT_EQ(target.Width(), 20);
    EXPECT_EQ(DecodeJpeg(Saved(target)).height, 10);
}

TEST(JpegImage, NewImagesTakeTheDefaults)
{
    const TJPEGDefaults saved = JpegDefaults;
    JpegDefaults.EncodeQuality = 33;
    JpegDefaults.OutputDepth = od8Bit;
    TJPEGImage image;
    JpegDefaults = saved;
    EXPECT_EQ(image.EncodeQuality, 33);
    EXPECT_EQ(image.OutputDepth(), od8Bit);
    EXPECT_TRUE(image.BlockSmoothing);
    EXPECT_TRUE(image.Empty());
}

TEST(JpegImage, PersistedDataIsACountThenTheStreamAndACountPastTheEndIsRefused)
{
    auto image = Loaded(MakeJpeg(*GradientBitmap(12, 12)));
    TMemoryStream form;
    image->WriteData(form);
    EXPECT_EQ(form.Size(), 4 + image->Data().Compressed->Size());
    form.SetPosition(0);
    TJPEGImage restored;
    restored.ReadData(form);
    EXPECT_TRUE(restored.Equals(image.get()));

    TMemoryStream lying(std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3});
    EXPECT_EQ(MessageOf([&] { restored.ReadData(lying); }), "Stream read error");
    EXPECT_EQ(restored.Width(), 12);

    TJPEGImage empty;
    TMemoryStream none;
    empty.WriteData(none);
    EXPECT_EQ(none.Bytes(), (std::vector<uint8_t>{0, 0, 0, 0}));
}

} // namespace
} // namespace mirth
