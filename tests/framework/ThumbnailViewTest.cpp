// A small view of a big picture keeps its scaled rendition, which must never go stale,
// and the list of animation frames cut from pictures.
#include <gtest/gtest.h>

#include <QTest>

#include "framework/Image.h"
#include "framework/ImageList.h"
#include "framework/ImagePainting.h"
#include "support/Memory.h"
#include "support/Pictures.h"

namespace mirth {
namespace {

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

// A thin picture's thumbnail can be far wider than any screen: what is kept is the part
// a window shows, and it follows that part as the view moves under the window.
TEST(CachedRendition, KeepsOnlyThePartOnScreenOfAViewWiderThanItsWindow)
{
    QWidget window;
    window.resize(200, 100);
    auto* view = new TImage(&window);
    view->SetStretch(true);
    view->SetCachesRendition(true);
    auto thin = RandomBitmap(20000, 1, 3);
    view->Picture().SetContent(thin.get());
    view->setGeometry(0, 10, 1600000, 80);
    const double before = testing::ResidentMegabytes();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    for (int left : {0, -800000, -1599800}) {
        view->move(left, 10);
        const QImage shown = window.grab(QRect(0, 10, 200, 80)).toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(shown, DisplayRows(*thin, view->rect(), QRect(-left, 0, 200, 80))) << left;
    }
    // The whole view would be 1,600,000 x 80 pixels of 4 bytes: 488 MB.
    EXPECT_LT(testing::ResidentMegabytes() - before, 64);
}

// Qt gives a null image when it cannot allocate one (here, rows longer than it will
// address): the painting shows nothing rather than writing through it.
TEST(DisplayRows, GivesANullImageWhenItsPixelsCannotBeAllocated)
{
    auto thin = RandomBitmap(2000, 1, 4);
    const QRect huge(0, 0, 1 << 27, 1);
    EXPECT_TRUE(DisplayRows(*thin, huge, huge).isNull());
}

// The window's animation tests cover frames of the first picture's size and the refusal;
// this is the rest: a larger picture, and what the size setters do.
TEST(ImageList, TakesTheTopLeftOfALargerPictureAndEmptiesOnlyOnANewSize)
{
    TImageList list(40, 30);
    auto wide = RandomBitmap(90, 50, 2);
    list.Add(*wide);
    TBitmap frame;
    list.CopyFrame(0, frame);
    ASSERT_EQ(frame.Width(), 40);
    ASSERT_EQ(frame.Height(), 30);
    for (int32_t y = 0; y < 30; ++y)
        ASSERT_TRUE(std::equal(frame.ReadOnlyRow(y), frame.ReadOnlyRow(y) + 120, wide->ReadOnlyRow(y))) << y;
    list.CopyFrame(1, frame); // no such frame: nothing copied
    EXPECT_TRUE(frame.Width() == 40 && !frame.SharesImageWith(*wide));

    list.SetWidth(40);
    EXPECT_EQ(list.Count(), 1);
    list.SetHeight(20);
    EXPECT_EQ(list.Count(), 0);
}

} // namespace
} // namespace mirth
