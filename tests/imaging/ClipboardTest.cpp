#include "imaging/picture/Clipboard.h"

#include <gtest/gtest.h>

#include <cstring>

#include "imaging/bitmap/Bitmap.h"
#include "imaging/picture/ClipboardFormats.h"
#include "imaging/picture/MemoryClipboard.h"
#include "imaging/picture/MetafileAndIcon.h"
#include "imaging/picture/Picture.h"
#include "imaging/pixels/PixelFormats.h"
#include "support/Failures.h"
#include "support/FakeGraphic.h"
#include "support/Pictures.h"

namespace mirth {
namespace {

using testing::FakeRegistration;
using testing::MessageOf;
using testing::TFakeGraphic;
using testing::TFakeGraphicChild;

class Clipboard : public ::testing::Test {
protected:
    // What another program left on the clipboard.
    void Offer(std::initializer_list<std::pair<TClipboardFormat, std::vector<uint8_t>>> formats)
    {
        binding_.Open();
        binding_.Empty();
        for (const auto& [format, data] : formats)
            binding_.SetData(format, data);
        binding_.Close();
    }
    std::vector<TClipboardFormat> Offered()
    {
        binding_.Open();
        auto formats = binding_.OfferedFormats();
        binding_.Close();
        return formats;
    }
    std::vector<uint8_t> DataOf(TClipboardFormat format)
    {
        binding_.Open();
        auto data = binding_.Data(format);
        binding_.Close();
        return data;
    }
    std::string TextOf(const TPicture& picture)
    {
        auto* fake = dynamic_cast<TFakeGraphic*>(picture.Content());
        return fake ? fake->Text() : "(no fake)";
    }

    FakeRegistration fakes_;
    MemoryClipboardBinding binding_;
    TClipboard clipboard_{binding_};
};

TEST_F(Clipboard, OpenAndCloseNestAndOnlyTheOutermostPairReachesTheSystem)
{
    clipboard_.Open();
    clipboard_.Open();
    clipboard_.Close();
    EXPECT_TRUE(binding_.IsOpen());
    clipboard_.Close();
    EXPECT_FALSE(binding_.IsOpen());
    clipboard_.Close();  // one too many: nothing happens
    EXPECT_FALSE(binding_.IsOpen());

    binding_.SetRefusingOpen(true);
    EXPECT_EQ(MessageOf([&] { clipboard_.Open(); }), "Cannot open clipboard");
    binding_.SetRefusingOpen(false);
    clipboard_.Open();
    clipboard_.Close();  // the refused open was not counted
    EXPECT_FALSE(binding_.IsOpen());
}

TEST_F(Clipboard, FailuresInsideAnOperationStillClose)
{
    TPicture picture;
    TBitmap bitmap;
    EXPECT_EQ(MessageOf([&] { clipboard_.CopyTo(picture); }), "Invalid clipboard format");
    EXPECT_FALSE(binding_.IsOpen());
    EXPECT_EQ(MessageOf([&] { clipboard_.CopyTo(bitmap); }), "Unsupported clipboard format");
    EXPECT_FALSE(binding_.IsOpen());

    // Inside an open of the caller's the clipboard stays open, and the count holds.
    clipboard_.Open();
    EXPECT_EQ(MessageOf([&] { clipboard_.CopyTo(picture); }), "Invalid clipboard format");
    EXPECT_TRUE(binding_.IsOpen());
    clipboard_.Close();
    EXPECT_FALSE(binding_.IsOpen());

    binding_.SetRefusingOpen(true);
    EXPECT_EQ(MessageOf([&] { clipboard_.CopyTo(picture); }), "Cannot open clipboard");
    EXPECT_EQ(picture.Content(), nullptr);
}

TEST_F(Clipboard, CopyingReplacesEverythingAndAPictureWithoutContentLeavesItEmpty)
{
    Offer({{cfBitmap, {1}}, {0x1234, {2}}});
    TPicture picture;
    TFakeGraphic fake("hello");
    fake.SetPalette({TColorEntry{1, 2, 3, 0}, TColorEntry{4, 5, 6, 0}});
    picture.SetContent(&fake);
    clipboard_.CopyFrom(picture);
    EXPECT_EQ(Offered(), (std::vector<TClipboardFormat>{TFakeGraphic::kFormat, cfPalette}));
    EXPECT_EQ(DataOf(cfPalette), (std::vector<uint8_t>{1, 2, 3, 0, 4, 5, 6, 0}));
    EXPECT_FALSE(binding_.IsOpen());

    clipboard_.CopyFrom(TPicture());
    EXPECT_TRUE(Offered().empty());

    Offer({{0x1234, {2}}});
    clipboard_.Clear();
    EXPECT_TRUE(Offered().empty());

    TBitmap empty;
    Offer({{0x1234, {2}}});
    clipboard_.CopyFrom(empty);
    EXPECT_TRUE(Offered().empty());
}

TEST_F(Clipboard, PutsWithinOneOpenAddUp)
{
    Offer({{0x1234, {2}}});
    TFakeGraphic first("one");
    TFakeGraphicChild second("two");
    clipboard_.Open();
    clipboard_.CopyFrom(first);
    clipboard_.CopyFrom(second);
    clipboard_.Close();
    EXPECT_EQ(Offered(), (std::vector<TClipboardFormat>{TFakeGraphic::kFormat, TFakeGraphicChild::kFormat}));
}

TEST_F(Clipboard, AGraphicThatCannotProduceItsDataLeavesTheClipboardAlone)
{
    Offer({{0x1234, {2}}});
    TFakeGraphic fake("x");
    fake.refusing = true;
    EXPECT_EQ(MessageOf([&] { clipboard_.CopyFrom(fake); }), "Fake refuses the clipboard");
    EXPECT_EQ(Offered(), std::vector<TClipboardFormat>{0x1234});
    EXPECT_FALSE(binding_.IsOpen());
}

TEST_F(Clipboard, PictureRoundTripTakesTheFirstSupportedFormatWithThePalette)
{
    TFakeGraphicChild child("child");
    TFakeGraphic fake("parent");
    fake.SetPalette({TColorEntry{9, 8, 7, 0}});
    clipboard_.Open();
    clipboard_.CopyFrom(fake);
    clipboard_.CopyFrom(child);
    clipboard_.Close();

    TPicture pasted;
    clipboard_.CopyTo(pasted);
    EXPECT_EQ(TextOf(pasted), "parent");
    EXPECT_EQ(static_cast<TFakeGraphic*>(pasted.Content())->Palette(), fake.Palette());
    EXPECT_FALSE(binding_.IsOpen());

    // Formats without a class are passed over in the walk.
    Offer({{0x1234, {1}}, {TFakeGraphicChild::kFormat, {'c'}}, {TFakeGraphic::kFormat, {'p'}}});
    clipboard_.CopyTo(pasted);
    EXPECT_EQ(&pasted.Content()->ClassType(), &TFakeGraphicChild::Class);
    EXPECT_EQ(TextOf(pasted), "c");
}

TEST_F(Clipboard, PaletteDataIsReadAsWholeEntriesUpTo256)
{
    std::vector<uint8_t> entries(4 * 300 + 3, 7);
    Offer({{TFakeGraphic::kFormat, {'p'}}, {cfPalette, entries}});
    TPicture pasted;
    clipboard_.CopyTo(pasted);
    const TPalette palette = static_cast<TFakeGraphic*>(pasted.Content())->Palette();
    ASSERT_EQ(palette.size(), 256u);
    EXPECT_EQ(palette[255], (TColorEntry{7, 7, 7, 0}));
}

TEST_F(Clipboard, ContainsFormatAsksTheSystemAndWalksForPictureFormats)
{
    EXPECT_FALSE(clipboard_.ContainsFormat(cfBitmap));
    EXPECT_FALSE(clipboard_.ContainsFormat(PictureFormatId()));

    Offer({{0x1234, {1}}});
    EXPECT_TRUE(clipboard_.ContainsFormat(0x1234));
    EXPECT_FALSE(clipboard_.ContainsFormat(PictureFormatId()));
    EXPECT_FALSE(binding_.IsOpen());

    for (TClipboardFormat format : {cfBitmap, cfMetafilePicture, cfEnhancedMetafile, IconFormatId()}) {
        Offer({{0x1234, {1}}, {format, {1}}});
        EXPECT_TRUE(clipboard_.ContainsFormat(PictureFormatId())) << format;
    }
    Offer({{cfPalette, {1}}});
    EXPECT_FALSE(clipboard_.ContainsFormat(PictureFormatId()));

    // Asking for one format needs no open clipboard; the walk does.
    Offer({{cfBitmap, {1}}});
    binding_.SetRefusingOpen(true);
    EXPECT_TRUE(clipboard_.ContainsFormat(cfBitmap));
    EXPECT_EQ(MessageOf([&] { clipboard_.ContainsFormat(PictureFormatId()); }), "Cannot open clipboard");
}

TEST_F(Clipboard, OnlyBitmapsAndMetafilesCanBeCopiedTo)
{
    Offer({{cfBitmap, {}}, {cfMetafilePicture, {1, 2, 3}}});
    TIcon icon;
    EXPECT_EQ(MessageOf([&] { clipboard_.CopyTo(icon); }), "Cannot assign a TClipboard to a TIcon");
    TFakeGraphic fake;
    EXPECT_EQ(MessageOf([&] { clipboard_.CopyTo(fake); }), "Cannot assign a TClipboard to a TFakeGraphic");
    TMetafile metafile;
    EXPECT_EQ(MessageOf([&] { clipboard_.CopyTo(metafile); }), "Metafile is not valid");

    // Offered but without a bitmap: the bitmap is left as it was.
    auto bitmap = testing::RandomBitmap(2, 2);
    const auto before = testing::PixelBytes(*bitmap);
    EXPECT_EQ(MessageOf([&] { clipboard_.CopyTo(*bitmap); }), "Unsupported clipboard format");
    EXPECT_EQ(MessageOf([&] { bitmap->LoadFromClipboardFormat(cfMetafilePicture, {1}, {}); }),
              "Unsupported clipboard format");
    EXPECT_EQ(testing::PixelBytes(*bitmap), before);
    EXPECT_FALSE(binding_.IsOpen());
}

// The bitmap format carries BMP file bytes, so these need the BMP codec.
TEST_F(Clipboard, BitmapRoundTripGivesTheSamePixelsInTheDeviceForm)
{
    TPicture picture;
    auto source = testing::RandomBitmap(5, 3);  // odd width: rows carry padding
    picture.SetContent(source.get());
    clipboard_.CopyFrom(picture);
    EXPECT_TRUE(clipboard_.ContainsFormat(cfBitmap));
    EXPECT_TRUE(clipboard_.ContainsFormat(PictureFormatId()));
    EXPECT_FALSE(clipboard_.ContainsFormat(cfPalette));
    const auto data = DataOf(cfBitmap);
    ASSERT_GE(data.size(), 2u);
    EXPECT_EQ(std::string(data.begin(), data.begin() + 2), "BM");

    TPicture pasted;
    clipboard_.CopyTo(pasted.AsBitmap());
    TBitmap& bitmap = pasted.AsBitmap();
    EXPECT_EQ(bitmap.PixelLayout(), plDevice);
    EXPECT_EQ(bitmap.Width(), 5);
    EXPECT_EQ(bitmap.Height(), 3);
    EXPECT_EQ(testing::PixelBytes(bitmap), testing::PixelBytes(*source));
    EXPECT_FALSE(bitmap.SharesImageWith(*source));

    TPicture walked;
    clipboard_.CopyTo(walked);
    ASSERT_NE(dynamic_cast<TBitmap*>(walked.Content()), nullptr);
    EXPECT_EQ(testing::PixelBytes(walked.AsBitmap()), testing::PixelBytes(*source));
}

TEST_F(Clipboard, APalettedBitmapTravelsWithItsPaletteAndColours)
{
    auto source = testing::RandomBitmap(4, 4);
    source->SetPixelLayout(pl8Bit);
    clipboard_.CopyFrom(*source);
    EXPECT_EQ(Offered(), (std::vector<TClipboardFormat>{cfBitmap, cfPalette}));

    TBitmap pasted;
    clipboard_.CopyTo(pasted);
    EXPECT_EQ(pasted.Palette(), source->Palette());
    EXPECT_TRUE(pasted.PaletteModified());
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 4; ++x)
            EXPECT_EQ(ColorOfRaw(pasted.Image(), RawPixel(pasted.ReadOnlyRow(y), x, pasted.Image().Bits())),
                      ColorOfRaw(source->Image(), RawPixel(source->ReadOnlyRow(y), x, 8)));
}

TEST_F(Clipboard, ATopDownBitmapFromAnotherProgramPastesUpright)
{
    auto source = testing::RandomBitmap(2, 3);
    clipboard_.CopyFrom(*source);
    std::vector<uint8_t> file = DataOf(cfBitmap);
    ASSERT_EQ(file.size(), 54u + 3 * 8);
    // The same picture with its rows stored top first and a negative height.
    std::vector<uint8_t> topDown(file.begin(), file.begin() + 54);
    const int32_t height = -3;
    std::memcpy(&topDown[22], &height, 4);
    for (int row = 2; row >= 0; --row)
        topDown.insert(topDown.end(), file.begin() + 54 + 8 * row, file.begin() + 54 + 8 * (row + 1));
    Offer({{cfBitmap, topDown}});

    TBitmap pasted;
    clipboard_.CopyTo(pasted);
    EXPECT_EQ(pasted.PixelLayout(), plDevice);
    EXPECT_EQ(testing::PixelBytes(pasted), testing::PixelBytes(*source));
}

TEST_F(Clipboard, BitmapDataThatDoesNotReadLeavesTheBitmapAlone)
{
    Offer({{cfBitmap, {'B', 'A', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 40, 0, 0, 0}}});
    auto bitmap = testing::RandomBitmap(2, 2);
    const auto before = testing::PixelBytes(*bitmap);
    EXPECT_EQ(MessageOf([&] { clipboard_.CopyTo(*bitmap); }), "Bitmap image is not valid");
    EXPECT_EQ(testing::PixelBytes(*bitmap), before);
    EXPECT_FALSE(binding_.IsOpen());
}

TEST(SystemClipboard, IsOneObjectAndItsBindingIsFixedOnceUsed)
{
    EXPECT_EQ(&SystemClipboard(), &SystemClipboard());
    EXPECT_EQ(PictureFormatId(), SystemClipboardBinding().RegisterFormat("Vantor Picture"));
    EXPECT_EQ(IconFormatId(), SystemClipboardBinding().RegisterFormat("Vantor Icon"));
    EXPECT_NE(PictureFormatId(), IconFormatId());
    EXPECT_GE(PictureFormatId(), 0xC000u);
    EXPECT_EQ(MessageOf([] { InstallSystemClipboardBinding(std::make_unique<MemoryClipboardBinding>()); }),
              "Clipboard binding is already in use");
}

} // namespace
} // namespace mirth
