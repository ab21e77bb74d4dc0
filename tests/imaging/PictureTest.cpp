#include "imaging/picture/Picture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "imaging/bitmap/Bitmap.h"
#include "imaging/bitmap/Canvas.h"
#include "imaging/picture/FileFormats.h"
#include "imaging/picture/MetafileAndIcon.h"
#include "support/Failures.h"
#include "support/FakeGraphic.h"
#include "support/Pictures.h"

namespace mirth {
namespace {

namespace fs = std::filesystem;
using testing::FakeRegistration;
using testing::MessageOf;
using testing::PixelBytes;
using testing::RandomBitmap;
using testing::TFakeGraphic;
using testing::TFakeGraphicChild;

// Counts the picture's change notifications and keeps its progress reports.
struct PictureWatch {
    explicit PictureWatch(TPicture& picture)
    {
        picture.OnChange = [this, &picture](TObject* sender) {
            EXPECT_EQ(sender, &picture);
            ++changes;
        };
        picture.OnProgress = [this](TObject* sender, TProgressStage stage, uint8_t percent, bool, const TRect&,
                                    const std::string& message) {
            progress.push_back({sender, stage, percent, message});
        };
    }
    struct Report {
        TObject* sender;
        TProgressStage stage;
        uint8_t percent;
        std::string message;
    };
    int changes = 0;
    std::vector<Report> progress;
};

class PictureFiles : public ::testing::Test {
protected:
    PictureFiles() : dir_(fs::temp_directory_path() / ("mirth-picture-" + std::to_string(::getpid())))
    {
        fs::create_directories(dir_);
    }
    ~PictureFiles() override { fs::remove_all(dir_); }

    std::string Write(const std::string& name, const std::string& bytes)
    {
        const fs::path path = dir_ / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    fs::path dir_;
    FakeRegistration fakes_;
};

TEST(Picture, NewPictureIsEmptyAndAsBitmapGivesItOneEmptyBitmap)
{
    TPicture picture;
    PictureWatch watch(picture);
    EXPECT_EQ(picture.Content(), nullptr);
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 0);

    TBitmap& bitmap = picture.AsBitmap();
    EXPECT_EQ(picture.Content(), &bitmap);
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(watch.changes, 1);
    EXPECT_EQ(&picture.AsBitmap(), &bitmap);  // already a bitmap: kept, no notification
    EXPECT_EQ(watch.changes, 1);
}

TEST(Picture, AsBitmapDiscardsOtherContent)
{
    TPicture picture;
    TFakeGraphic fake("pixels");
    picture.SetContent(&fake);
    PictureWatch watch(picture);

    TBitmap& bitmap = picture.AsBitmap();
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(picture.Content(), &bitmap);
    EXPECT_EQ(watch.changes, 1);
}

TEST(Picture, ContentIsACopyThatSharesPixelsUntilWritten)
{
    auto source = RandomBitmap(5, 4);
    const auto original = PixelBytes(*source);
    TPicture a, b;
    a.SetContent(source.get());
    ASSERT_NE(a.Content(), source.get());
    b.CopyFrom(a);
    TBitmap& copy = b.AsBitmap();
    EXPECT_TRUE(copy.SharesImageWith(*source));
    EXPECT_EQ(b.Width(), 5);
    EXPECT_EQ(b.Height(), 4);

    copy.ScanRow(0)[0] ^= 0xFF;
    const auto written = PixelBytes(copy);
    EXPECT_NE(written, original);
    EXPECT_EQ(PixelBytes(a.AsBitmap()), original);
    EXPECT_EQ(PixelBytes(*source), original);

    // Copying a picture onto itself keeps its content.
    b.CopyFrom(b);
    EXPECT_EQ(PixelBytes(b.AsBitmap()), written);

    TPicture none;
    b.CopyFrom(none);
    EXPECT_EQ(b.Content(), nullptr);
}

TEST(Picture, FailedCopyKeepsTheOldContentAndSendsNothing)
{
    TPicture picture;
    TFakeGraphic old("old"), refusing("new");
    picture.SetContent(&old);
    TGraphic* before = picture.Content();
    PictureWatch watch(picture);
    refusing.refusing = true;

    EXPECT_EQ(MessageOf([&] { picture.SetContent(&refusing); }), "Fake refuses to be copied");
    EXPECT_EQ(picture.Content(), before);
    EXPECT_EQ(watch.changes, 0);
}

TEST(Picture, ChangesOfTheContentReachTheSubscriberOnce)
{
    TPicture picture;
    PictureWatch watch(picture);
    TBitmap& bitmap = picture.AsBitmap();
    bitmap.SetWidth(3);
    bitmap.SetHeight(2);
    bitmap.Canvas().DrawRectangle(0, 0, 2, 2);
    EXPECT_EQ(watch.changes, 4);  // the new bitmap, two resizes, one drawing

    // A replaced graphic no longer reports to the picture.
    TBitmap detached;
    detached.CopyFrom(&bitmap);
    picture.SetContent(&detached);
    detached.SetWidth(9);
    EXPECT_EQ(watch.changes, 5);
}

TEST(Picture, CopyToGivesTheContentOnlyToItsOwnClass)
{
    TPicture picture;
    TBitmap target;
    EXPECT_EQ(MessageOf([&] { picture.CopyTo(target); }), "Cannot assign a TPicture to a TBitmap");

    auto source = RandomBitmap(2, 2);
    picture.SetContent(source.get());
    picture.CopyTo(target);
    EXPECT_TRUE(target.SharesImageWith(*source));

    TFakeGraphic fake("x");
    picture.SetContent(&fake);
    EXPECT_EQ(MessageOf([&] { picture.CopyTo(target); }), "Cannot assign a TPicture to a TBitmap");
    TFakeGraphicChild child;
    EXPECT_EQ(MessageOf([&] { picture.CopyTo(child); }), "Cannot assign a TPicture to a TFakeGraphicChild");
}

TEST(FileFormats, HoldTheBuiltInRowsInOrder)
{
    const auto& rows = FileFormats().Rows();
    ASSERT_GE(rows.size(), 4u);
    const std::pair<const char*, const TGraphicClass*> expected[] = {
        {"wmf", &TMetafile::Class}, {"emf", &TMetafile::Class}, {"ico", &TIcon::Class}, {"bmp", &TBitmap::Class}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(rows[i].extension, expected[i].first);
        EXPECT_EQ(rows[i].graphicClass, expected[i].second);
    }
    EXPECT_EQ(rows[1].description, "Enhanced Metafiles");
}

TEST_F(PictureFiles, ExtensionChoosesTheClassInAnyLetterCase)
{
    TPicture picture;
    PictureWatch watch(picture);
    picture.LoadFile(Write("upper.FAKE", "shouting"));
    ASSERT_NE(dynamic_cast<TFakeGraphic*>(picture.Content()), nullptr);
    EXPECT_EQ(static_cast<TFakeGraphic*>(picture.Content())->Text(), "shouting");
    EXPECT_EQ(watch.changes, 1);  // the graphic's own change while reading is not passed on

    picture.LoadFile(Write("dots.in.name.Fake", "mixed"));
    EXPECT_EQ(static_cast<TFakeGraphic*>(picture.Content())->Text(), "mixed");
}

TEST_F(PictureFiles, LoadingPassesProgressOnWithTheGraphicAsSender)
{
    TPicture picture;
    PictureWatch watch(picture);
    picture.LoadFile(Write("p.fake", "abc"));
    ASSERT_EQ(watch.progress.size(), 2u);
    EXPECT_EQ(watch.progress[0].sender, picture.Content());
    EXPECT_EQ(watch.progress[0].stage, psStarting);
    EXPECT_EQ(watch.progress[1].stage, psEnding);
    EXPECT_EQ(watch.progress[1].percent, 100);
    EXPECT_EQ(watch.progress[1].message, "read");
}

TEST_F(PictureFiles, UnknownExtensionIsNamedAsWritten)
{
    TPicture picture;
    EXPECT_EQ(MessageOf([&] { picture.LoadFile(Write("a.TiF", "")); }), "Unknown picture file extension (.TiF)");
    EXPECT_EQ(MessageOf([&] { picture.LoadFile(Write("noext", "")); }), "Unknown picture file extension (.)");
    EXPECT_EQ(MessageOf([&] { picture.LoadFile(Write("x.fake.d/pic", "")); }), "Unknown picture file extension (.)");
    EXPECT_EQ(MessageOf([&] { picture.LoadFile(Write("trailing.", "")); }), "Unknown picture file extension (.)");
    EXPECT_EQ(picture.Content(), nullptr);
}

TEST_F(PictureFiles, FailedLoadKeepsTheOldContent)
{
    TPicture picture;
    auto old = RandomBitmap(3, 3);
    picture.SetContent(old.get());
    TGraphic* before = picture.Content();
    PictureWatch watch(picture);

    EXPECT_EQ(MessageOf([&] { picture.LoadFile(Write("broken.fake", "bad bytes")); }), "Fake image is not valid");
    EXPECT_EQ(MessageOf([&] { picture.LoadFile(Write("broken.bmp", "BA" + std::string(60, '\0'))); }),
              "Bitmap image is not valid");
    EXPECT_EQ(MessageOf([&] { picture.LoadFile(Write("i.ICO", "icon bytes")); }), "Icon image is not valid");
    EXPECT_EQ(MessageOf([&] { picture.LoadFile(Write("m.wmf", "wmf bytes")); }), "Metafile is not valid");
    EXPECT_EQ(MessageOf([&] { picture.LoadFile(Write("m.emf", "emf bytes")); }), "Metafile is not valid");
    const std::string missing = (dir_ / "missing.fake").string();
    EXPECT_EQ(MessageOf([&] { picture.LoadFile(missing); }).rfind("Cannot open file \"" + missing + "\". ", 0), 0u);

    EXPECT_EQ(picture.Content(), before);
    EXPECT_EQ(PixelBytes(picture.AsBitmap()), PixelBytes(*old));
    EXPECT_EQ(watch.changes, 0);
}

TEST_F(PictureFiles, LoadsABmpFileByItsExtensionInAnyCase)
{
    auto source = RandomBitmap(7, 5);
    const std::string path = (dir_ / "photo.BMP").string();
    source->SaveFile(path);
    TPicture picture;
    PictureWatch watch(picture);
    picture.LoadFile(path);
    ASSERT_NE(dynamic_cast<TBitmap*>(picture.Content()), nullptr);
    EXPECT_EQ(PixelBytes(picture.AsBitmap()), PixelBytes(*source));
    EXPECT_EQ(watch.changes, 1);
}

TEST_F(PictureFiles, LaterRegistrationWinsAndRemovalTakesDerivedClasses)
{
    TPicture::RegisterExtension("FAKE", "Fake children", TFakeGraphicChild::Class);
    TPicture picture;
    picture.LoadFile(Write("child.fake", "young"));
    EXPECT_EQ(&picture.Content()->ClassType(), &TFakeGraphicChild::Class);

    TPicture::UnregisterGraphicClass(TFakeGraphic::Class);
    EXPECT_EQ(FileFormats().FindExtension("fake"), nullptr);
    EXPECT_FALSE(TPicture::SupportsClipboardFormat(TFakeGraphic::kFormat));
    EXPECT_FALSE(TPicture::SupportsClipboardFormat(TFakeGraphicChild::kFormat));
    EXPECT_EQ(MessageOf([&] { picture.LoadFile(Write("gone.fake", "x")); }), "Unknown picture file extension (.fake)");
    EXPECT_EQ(FileFormats().FindExtension("bmp"), &TBitmap::Class);
}

TEST_F(PictureFiles, ClipboardFormatLoadPicksTheRegisteredClass)
{
    TPicture picture;
    auto old = RandomBitmap(2, 2);
    picture.SetContent(old.get());
    TGraphic* before = picture.Content();
    PictureWatch watch(picture);

    EXPECT_EQ(MessageOf([&] { picture.LoadFromClipboardFormat(0x1234, {1, 2}, {}); }), "Unsupported clipboard format");
    EXPECT_EQ(MessageOf([&] { picture.LoadFromClipboardFormat(TFakeGraphic::kFormat, {'b', 'a', 'd'}, {}); }),
              "Fake image is not valid");
    EXPECT_EQ(picture.Content(), before);
    EXPECT_EQ(watch.changes, 0);

    picture.LoadFromClipboardFormat(TFakeGraphicChild::kFormat, {'o', 'k'}, {});
    EXPECT_EQ(&picture.Content()->ClassType(), &TFakeGraphicChild::Class);
    EXPECT_EQ(watch.changes, 1);
}

} // namespace
} // namespace mirth
