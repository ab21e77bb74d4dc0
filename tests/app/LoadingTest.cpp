// A user's way of getting pictures in: the open dialog, Reload, and drops.
#include <QAction>

#include "imaging/jpeg/Jpeg.h"
#include "imaging/picture/Picture.h"
#include "support/JpegStreams.h"
#include "support/Pictures.h"
#include "support/WindowTesting.h"

namespace mirth {
namespace {

using testing::MakeJpeg;
using testing::PixelBytes;
using testing::RandomBitmap;
using testing::WindowTest;

// What decoding the file on its own gives.
std::vector<uint8_t> DecodedPixels(const std::string& path)
{
    TPicture picture;
    picture.LoadFile(path);
    TBitmap bitmap;
    bitmap.CopyFrom(picture.Content());
    return PixelBytes(bitmap);
}

TEST_F(WindowTest, LoadsAJpegReloadsItAndReportsAFailedLoadInAPlainBox)
{
    const std::string jpeg = Write("photo.jpg", MakeJpeg(*RandomBitmap(40, 30)));

    Key(Qt::Key_L, Qt::ControlModifier); // cancelled: nothing happens
    ASSERT_EQ(chooser->requests.size(), 1u);
    EXPECT_EQ(chooser->requests[0].kind, TFileRequest::Open);
    EXPECT_EQ(chooser->requests[0].filters,
              (std::vector<std::string>{"Graphic Files (*.bmp *.jpg)", "Bitmap (*.bmp)", "JPEG (*.jpg)"}));
    EXPECT_TRUE(form->Working().Empty());
    EXPECT_FALSE(form->Reload1->isEnabled());

    Answer(jpeg);
    Key(Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(form->Working().PixelLayout(), pl24Bit);
    EXPECT_EQ(PixelBytes(form->Working()), DecodedPixels(jpeg));
    EXPECT_TRUE(form->Reference().SharesImageWith(form->Working()));
    EXPECT_EQ(form->Image1->size(), QSize(40, 30));
    EXPECT_EQ(form->Image2->size(), QSize(40, 30));
    EXPECT_FALSE(form->Image1->AutoSize() || form->Image2->AutoSize());
    EXPECT_TRUE(form->Reload1->isEnabled());

    // The file changes on disk; Reload reads it again into both pictures.
    Write("photo.jpg", MakeJpeg(*RandomBitmap(50, 20, 7)));
    Key(Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(form->Image1->size(), QSize(50, 20));
    const std::vector<uint8_t> reloaded = DecodedPixels(jpeg);
    EXPECT_EQ(PixelBytes(form->Reference()), reloaded);

    // BMP data under a ".jpg" name is no JPEG: the load's plain box, the picture kept.
    std::filesystem::copy_file(SaveBmp("plain.bmp", *RandomBitmap(8, 8)), jpeg,
                               std::filesystem::copy_options::overwrite_existing);
    Key(Qt::Key_R, Qt::ControlModifier);
    ASSERT_EQ(notices.Reports().size(), 1u);
    EXPECT_EQ(notices.Reports()[0], (TMessageReport{TMessageIcon::None, "Mirthlens", "JPEG error #53"}));
    EXPECT_EQ(form->Image1->size(), QSize(50, 20));

    Answer(PathOf("missing.bmp"));
    Key(Qt::Key_L, Qt::ControlModifier);
    ASSERT_EQ(notices.Reports().size(), 2u);
    EXPECT_EQ(notices.Reports()[1].icon, TMessageIcon::None);
    EXPECT_EQ(PixelBytes(form->Working()), reloaded);
    EXPECT_EQ(form->Image1->size(), QSize(50, 20));
    EXPECT_EQ(form->od.FileName(), PathOf("missing.bmp"));
    // After a failed load the views follow the picture's size again.
    EXPECT_TRUE(form->Image1->AutoSize());
}

TEST_F(WindowTest, DropsLoadOnlyTheFirstFileAndOnlyBmpOrJpgNames)
{
    auto first = RandomBitmap(30, 20, 1);
    auto second = RandomBitmap(25, 15, 2);
    const std::string upper = SaveBmp("PHOTO.BMP", *first);
    const std::string other = SaveBmp("other.bmp", *second);
    std::filesystem::copy_file(other, PathOf("a.jpeg"));
    std::filesystem::create_directories(PathOf("x.d"));
    std::filesystem::copy_file(other, PathOf("x.d/pic"));

    Drop({upper});
    EXPECT_EQ(PixelBytes(form->Working()), PixelBytes(*first));
    EXPECT_TRUE(form->Reload1->isEnabled());

    Drop({PathOf("a.jpeg")});
    Drop({PathOf("x.d/pic")});
    Drop({PathOf("notes.txt"), other});
    EXPECT_EQ(PixelBytes(form->Working()), PixelBytes(*first));

    Drop({other, upper});
    EXPECT_EQ(PixelBytes(form->Working()), PixelBytes(*second));
    EXPECT_EQ(notices.Beeps(), 0);
    EXPECT_TRUE(notices.Reports().empty());

    // A JPEG whose header reads fails when decoded, after the load: a beep.
    const std::string broken = Write("broken.jpg", testing::UndecodableJpeg(*first));
    Drop({broken});
    EXPECT_EQ(notices.Beeps(), 1);
    EXPECT_TRUE(notices.Reports().empty());
}

TEST_F(WindowTest, AFileNamedAtStartLoadsAsIfChosenInTheDialog)
{
    form->LoadFromCommandLine(PathOf("missing.bmp"));
    ASSERT_EQ(notices.Reports().size(), 1u);
    EXPECT_EQ(notices.Reports()[0].icon, TMessageIcon::None);
    EXPECT_TRUE(form->Working().Empty());

    auto photo = RandomBitmap(20, 10);
    const std::string path = SaveBmp("photo.bmp", *photo);
    form->LoadFromCommandLine(path);
    EXPECT_EQ(PixelBytes(form->Working()), PixelBytes(*photo));
    EXPECT_EQ(form->od.FileName(), path); // what Reload reads and Save proposes
}

} // namespace
} // namespace mirth
