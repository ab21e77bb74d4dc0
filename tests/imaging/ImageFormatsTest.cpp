// A program that uses pictures without ever naming the JPEG class, as the window does when
// it loads a file, still reads JPEG files by their extension once it has started.
#include <gtest/gtest.h>

#include "imaging/picture/FileFormats.h"
#include "imaging/picture/ImageFormats.h"
#include "imaging/picture/Picture.h"
#include "support/JpegStreams.h"
#include "support/TempFolder.h"

namespace mirth {
namespace {

class ImageFormats : public testing::TempFolderTest {};

TEST_F(ImageFormats, TheStartLetsPicturesLoadJpegFilesAndRegistersOnce)
{
    TPicture picture;
    picture.LoadFile(Write("photo.JPG", testing::MakeJpeg(*testing::GradientBitmap(12, 7))));
    EXPECT_STREQ(picture.Content()->ClassType().name, "TJPEGImage");
    EXPECT_EQ(picture.Width(), 12);
    const size_t rows = FileFormats().Rows().size();
    RegisterImageFormats();
    EXPECT_EQ(FileFormats().Rows().size(), rows);
}

} // namespace
} // namespace mirth
