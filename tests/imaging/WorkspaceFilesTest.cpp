#include "imaging/picture/WorkspaceFiles.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "imaging/jpeg/Jpeg.h"
#include "imaging/picture/Picture.h"
#include "support/JpegStreams.h"
#include "support/Pictures.h"
#include "support/TempFolder.h"

namespace mirth {
namespace {

namespace fs = std::filesystem;
using testing::GradientBitmap;
using testing::MakeJpeg;
using testing::PixelBytes;

class WorkspaceFiles : public testing::TempFolderTest {};

TEST_F(WorkspaceFiles, JpegFilesLoadByEitherExtensionInAnyLetterCase)
{
    const auto bytes = MakeJpeg(*GradientBitmap(30, 20));
    for (const char* name : {"a.jpg", "b.JPG", "c.jpeg", "d.JpEg"}) {
        SCOPED_TRACE(name);
        TPicture picture;
        picture.LoadFile(Write(name, bytes));
        EXPECT_NE(dynamic_cast<TJPEGImage*>(picture.Content()), nullptr);
        EXPECT_EQ(picture.Width(), 30);
    }
}

TEST_F(WorkspaceFiles, ALoadedJpegBecomesA24BitBitmapOfItsDecodedPixels)
{
    const std::string path = Write("photo.jpg", MakeJpeg(*GradientBitmap(33, 21)));
    TJPEGImage direct;
    direct.LoadFile(path);
    const auto working = LoadWorkingBitmap(path);
    EXPECT_EQ(working->PixelLayout(), pl24Bit);
    EXPECT_EQ(PixelBytes(*working), PixelBytes(direct.DecodeToBitmap()));

    // A gray stream decodes to 8 bits and is drawn into the 24-bit bitmap.
    const auto gray = LoadWorkingBitmap(Write("gray.jpg", MakeJpeg(*GradientBitmap(33, 21), {.kind = testing::JpegKind::Gray})));
    EXPECT_EQ(gray->PixelLayout(), pl24Bit);
    EXPECT_EQ(gray->Width(), 33);
    const auto pixel = testing::Pixel(*gray, 5, 5);
    EXPECT_TRUE(pixel[0] == pixel[1] && pixel[1] == pixel[2]);
}

TEST_F(WorkspaceFiles, AnIndexedBmpLoadsAs24BitsOfTheSameColours)
{
    auto indexed = GradientBitmap(21, 13);
    indexed->SetPixelLayout(pl8Bit);
    indexed->SaveFile(PathOf("indexed.bmp"));
    const auto working = LoadWorkingBitmap(PathOf("indexed.bmp"));
    EXPECT_EQ(working->PixelLayout(), pl24Bit);
    TBitmap expected;
    expected.CopyFrom(indexed.get());
    expected.SetPixelLayout(pl24Bit);
    EXPECT_EQ(PixelBytes(*working), PixelBytes(expected));
}

TEST_F(WorkspaceFiles, AnyOtherNameSavesA24BitBmp)
{
    auto working = GradientBitmap(10, 6);
    for (const char* name : {"out.bmp", "out.tiff", "out"}) {
        SCOPED_TRACE(name);
        SaveWorkingBitmap(*working, PathOf(name));
        TBitmap saved;
        saved.LoadFile(PathOf(name));
        EXPECT_EQ(saved.PixelLayout(), pl24Bit);
        EXPECT_EQ(PixelBytes(saved), PixelBytes(*working));
    }
}

TEST_F(WorkspaceFiles, AJpegThatFailsToDecodeLeavesThePictureHoldingIt)
{
    TPicture picture;
    picture.LoadFile(Write("empty.jpg", {}));
    EXPECT_THROW(MakeWorkingBitmap(picture), EJPEG);
    EXPECT_NE(dynamic_cast<TJPEGImage*>(picture.Content()), nullptr);
}

TEST_F(WorkspaceFiles, ANameEndingInJpgInAnyCaseSavesAQuality60Jpeg)
{
    auto working = GradientBitmap(40, 24);
    for (const char* name : {"out.jpg", "out.JPG"}) {
        SaveWorkingBitmap(*working, PathOf(name));
        std::ifstream in(PathOf(name), std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
        const auto decoded = testing::DecodeJpeg(bytes);
        EXPECT_EQ(decoded.width, 40);
        EXPECT_FALSE(decoded.progressive);
    }
}

} // namespace
} // namespace mirth
