// A small view of a big picture keeps its scaled rendition, and the list of animation
// frames keeps its pictures' pixels: neither may show or hold stale pixels.
#include <gtest/gtest.h>

#include <QTest>

#include "framework/Image.h"
#include "framework/ImageList.h"
#include "framework/ImagePainting.h"
#include "runtime/Exceptions.h"
#include "support/Pictures.h"

namespace mirth {
namespace {

using testing::PixelBytes;
using testing::RandomBitmap;

// What the view puts on screen, against what the picture scaled to the view gives.
bool ShowsScaled(TImage& view, const TBitmap& picture)
{
    const QImage shown = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    return shown == DisplayRows(picture, view.rect(), view.rect());
}

TEST(CachedRendition, FollowsEveryChangeOfThePictureAndTheViewsSize)
{
    TImage view;
    view.SetStretch(true);
    view.SetCachesRendition(true);
    view.resize(80, 60);
    // Shown, since grabbing a hidden view resizes it first, which would hide a stale rendition.
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    auto first = RandomBitmap(400, 300, 1), second = RandomBitmap(300, 400, 2);
    view.Picture().SetContent(first.get());
    EXPECT_TRUE(ShowsScaled(view, *first));
    EXPECT_TRUE(ShowsScaled(view, *first)); // from the kept rendition

    view.Picture().SetContent(second.get());
    EXPECT_TRUE(ShowsScaled(view, *second));
    view.resize(45, 60);
    EXPECT_TRUE(ShowsScaled(view, *second));

    // Rows written directly are shown once the view is repainted.
    TBitmap& shown = view.Picture().AsBitmap();
    std::fill_n(shown.ScanRow(0), 3 * 300, 0xFF);
    view.Repaint();
    EXPECT_TRUE(ShowsScaled(view, shown));
}

TEST(ImageList, HoldsTheTopLeftFramesOfItsPicturesWithoutCopyingWholeOnes)
{
    TImageList list;
    list.SetHeight(30);
    list.SetWidth(40);
    auto exact = RandomBitmap(40, 30, 1), wide = RandomBitmap(90, 50, 2), low = RandomBitmap(40, 29, 3);
    list.Add(*exact);
    list.Add(*wide);
    EXPECT_THROW(
        try { list.Add(*low); } catch (const EInvalidOperation& error) {
            EXPECT_EQ(error.Message(), "Invalid image size");
            throw;
        },
        EInvalidOperation);
    ASSERT_EQ(list.Count(), 2);

    TBitmap frame;
    list.CopyFrame(0, frame);
    EXPECT_TRUE(frame.SharesImageWith(*exact));
    std::fill_n(exact->ScanRow(0), 3, 0); // a later change stays out of the list
    list.CopyFrame(0, frame);
    EXPECT_FALSE(frame.SharesImageWith(*exact));
    list.CopyFrame(1, frame);
    ASSERT_EQ(frame.Width(), 40);
    ASSERT_EQ(frame.Height(), 30);
    for (int32_t y = 0; y < 30; ++y)
        ASSERT_TRUE(std::equal(frame.ReadOnlyRow(y), frame.ReadOnlyRow(y) + 120, wide->ReadOnlyRow(y))) << y;
    list.CopyFrame(2, frame); // no such frame: nothing copied
    EXPECT_EQ(frame.Width(), 40);

    list.SetWidth(40);
    EXPECT_EQ(list.Count(), 2);
    list.SetWidth(20);
    EXPECT_EQ(list.Count(), 0);
}

} // namespace
} // namespace mirth
