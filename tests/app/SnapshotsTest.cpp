// Keeping snapshots, going back to them, and the strip that holds them.
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

#include "app/ThumbnailTesting.h"
#include "support/JpegStreams.h"
#include "support/Memory.h"

namespace mirth {
namespace {

using testing::PixelBytes;
using testing::RandomBitmap;
using testing::ThumbnailTest;

TEST_F(ThumbnailTest, EveryWayOfKeepingAddsAThumbnailOfTheRoundedWidthInTheNextSlot)
{
    struct Case {
        int32_t width, height, thumbWidth;
        std::function<void()> keep;
    };
    const Case cases[] = {
        {400, 300, 107, [&] { Key(Qt::Key_K, Qt::ControlModifier); }},
        {300, 400, 60, [&] { form->Button1->click(); }},
        {100, 100, 80, [&] { form->Keep1->trigger(); }},
        {161, 160, 80, [&] { QTest::mouseDClick(form->Panel1, Qt::LeftButton, {}, QPoint(420, 10)); }},
        {163, 160, 82, [&] { Key(Qt::Key_K, Qt::ControlModifier); }},
    };
    QScrollBar* scroll = form->ScrollBox2->verticalScrollBar();
    for (int k = 0; k < 5; ++k) {
        const Case& c = cases[k];
        auto picture = RandomBitmap(c.width, c.height, k);
        Show(*picture);
        Press({20, 20}); // a lens, which "Keep" makes the new reference
        Release({20, 20});
        scroll->setValue(scroll->maximum());
        c.keep();
        ASSERT_EQ(Thumbs().size(), size_t(k + 1));
        TImage* thumb = Thumbs().back();
        EXPECT_EQ(thumb->geometry(), QRect(5, 85 * k, c.thumbWidth, 80)) << k;
        EXPECT_EQ(scroll->value(), 0);
        EXPECT_TRUE(thumb->Picture().AsBitmap().SharesImageWith(form->Working()));
        EXPECT_TRUE(form->Reference().SharesImageWith(form->Working()));
        EXPECT_EQ(form->Workspace.LensPoint, (TPoint{0, 0}));
        EXPECT_EQ(form->Workspace.ThumbCount, k + 1);
    }
    // The strip widened for the widest and never narrowed; its content scrolls over all.
    EXPECT_EQ(form->ScrollBox2->maximumViewportSize().width(), 107 + 10);
    EXPECT_EQ(form->ThumbStrip->size(), QSize(5 + 107, 4 * 85 + 80));
    EXPECT_GT(scroll->maximum(), 0);
}

TEST_F(ThumbnailTest, UndoAndAThumbnailClickGoBackWithoutLosingThePictureShown)
{
    auto photo = RandomBitmap(120, 90);
    Show(*photo);
    Press({60, 40});
    Release({60, 40});
    const std::vector<uint8_t> lensed = Shown();
    Key(Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(Shown(), PixelBytes(*photo));

    Key(Qt::Key_K, Qt::ControlModifier); // the unlensed photo
    Press({30, 30});
    Release({30, 30});
    const std::vector<uint8_t> second = Shown();
    QTest::mouseClick(Thumbs()[0], Qt::LeftButton);
    EXPECT_EQ(Shown(), PixelBytes(*photo));
    EXPECT_EQ(PixelBytes(form->Reference()), second);
    form->Button2->click();
    EXPECT_EQ(Shown(), second);
    EXPECT_NE(Shown(), lensed);
    EXPECT_EQ(ThumbPixels(0), PixelBytes(*photo));
}

TEST_F(ThumbnailTest, ADoubleClickOnAThumbnailRecallsItOnce)
{
    auto photo = RandomBitmap(120, 90);
    ShowAndKeep(*photo);
    Press({60, 40});
    Release({60, 40});
    const std::vector<uint8_t> lensed = Shown();
    TImage* thumb = Thumbs()[0];
    QTest::mouseDClick(form->windowHandle(), Qt::LeftButton, {}, thumb->mapTo(form.get(), QPoint(10, 10)));
    EXPECT_EQ(Shown(), PixelBytes(*photo));
    // The lens the first click put aside is still what Undo returns to.
    EXPECT_EQ(PixelBytes(form->Reference()), lensed);
    Key(Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(Shown(), lensed);
}

// The strip keeps its width at the right edge; the picture's area gets what is left.
TEST_F(ThumbnailTest, InASmallWindowTheStripStaysAtTheRightEdgeWithItsTopInView)
{
    const auto stripAtRightEdge = [&] {
        QApplication::processEvents();
        const QRect panel = form->Panel3->contentsRect();
        EXPECT_EQ(form->ScrollBox2->geometry().right(), panel.right());
        EXPECT_EQ(form->ScrollBox1->geometry().left(), panel.left());
        EXPECT_EQ(form->ScrollBox1->width(), std::max(panel.width() - form->ScrollBox2->width(), 0));
    };
    form->resize(300, 130); // the strip is lower than a thumbnail
    auto photo = RandomBitmap(100, 100);
    Show(*photo);
    QScrollBar* scroll = form->ScrollBox2->verticalScrollBar();
    for (int k = 0; k < 3; ++k) {
        scroll->setValue(scroll->maximum());
        Key(Qt::Key_K, Qt::ControlModifier);
        EXPECT_EQ(scroll->value(), 0) << k;
        EXPECT_EQ(Thumbs()[0]->mapTo(form->ScrollBox2->viewport(), QPoint(0, 0)), QPoint(5, 0));
    }
    stripAtRightEdge();
    const int stripWidth = form->ScrollBox2->width();

    form->resize(130, 130); // the narrowest window
    stripAtRightEdge();
    EXPECT_EQ(form->ScrollBox2->width(), stripWidth);

    // A thin picture's thumbnail is far wider than the window: the strip's scroll bar
    // stays in view at the right, and painting it costs what the window shows.
    form->resize(483, 329);
    auto thin = RandomBitmap(20000, 1, 5);
    const double before = testing::ResidentMegabytes();
    Show(*thin);
    Key(Qt::Key_K, Qt::ControlModifier);
    ASSERT_EQ(Thumbs().back()->width(), 1600000);
    stripAtRightEdge();
    EXPECT_EQ(form->ScrollBox1->width(), 0);
    EXPECT_TRUE(form->ScrollBox2->verticalScrollBar()->isVisible());
    EXPECT_TRUE(form->rect().contains(QRect(scroll->mapTo(form.get(), QPoint(0, 0)), scroll->size())));
    form->grab();
    EXPECT_LT(testing::ResidentMegabytes() - before, 64);
}

TEST_F(ThumbnailTest, AFailedLoadOrDropKeepsTheStripOnlyAPictureThatLoadsEmptiesIt)
{
    auto photo = RandomBitmap(400, 300);
    ShowAndKeep(*photo);
    Key(Qt::Key_K, Qt::ControlModifier);
    const int stripWidth = form->ScrollBox2->width();
    const auto stripKept = [&](const char* after) {
        EXPECT_EQ(Thumbs().size(), 2u) << after;
        EXPECT_EQ(form->Workspace.ThumbCount, 2) << after;
        EXPECT_EQ(form->ScrollBox2->width(), stripWidth) << after;
        EXPECT_EQ(Shown(), PixelBytes(*photo)) << after;
    };

    Answer(PathOf("missing.bmp"));
    Key(Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(notices.Reports().size(), 1u);
    stripKept("a missing file");
    Drop({Write("bad.bmp", {'B', 'M', 1, 2, 3})});
    EXPECT_EQ(notices.Reports().size(), 2u);
    stripKept("a dropped file that is no picture");
    Drop({Write("broken.jpg", testing::UndecodableJpeg(*photo))});
    EXPECT_EQ(notices.Beeps(), 1);
    stripKept("a dropped JPEG that does not decode");

    Key(Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(Thumbs().back()->pos(), QPoint(5, 170));
    Drop({SaveBmp("next.bmp", *RandomBitmap(30, 20))});
    EXPECT_TRUE(Thumbs().empty());
    EXPECT_EQ(form->Workspace.ThumbCount, 0);
    EXPECT_EQ(form->ScrollBox2->width(), 50);
}

TEST_F(ThumbnailTest, DeleteThumbsLeavesTheFirstAndAHiddenStripStillFills)
{
    form->DeleteThumbs1->trigger(); // nothing to keep the first of: nothing happens
    EXPECT_EQ(form->ScrollBox2->width(), 54);
    EXPECT_TRUE(notices.Reports().empty());

    auto photo = RandomBitmap(400, 300);
    Show(*photo);
    for (int k = 0; k < 5; ++k)
        Key(Qt::Key_K, Qt::ControlModifier);
    form->DeleteThumbs1->trigger();
    ASSERT_EQ(Thumbs().size(), 1u);
    EXPECT_EQ(Thumbs()[0]->pos(), QPoint(5, 0));
    EXPECT_EQ(form->ScrollBox2->width(), 107 + 10);
    EXPECT_EQ(form->ThumbStrip->height(), 80);

    const int pictureRoom = form->ScrollBox1->width();
    form->ShowThumbs1->trigger();
    EXPECT_FALSE(form->ShowThumbs1->isChecked());
    EXPECT_FALSE(form->ScrollBox2->isVisible());
    QApplication::processEvents();
    EXPECT_GT(form->ScrollBox1->width(), pictureRoom);
    Key(Qt::Key_K, Qt::ControlModifier);
    ASSERT_EQ(Thumbs().size(), 2u);
    EXPECT_EQ(Thumbs()[1]->pos(), QPoint(5, 85));
    form->ShowThumbs1->trigger();
    EXPECT_TRUE(form->ScrollBox2->isVisible());
    EXPECT_TRUE(Thumbs()[1]->isVisible());

    // A load empties the strip and narrows it again.
    Load("other.bmp", *RandomBitmap(30, 20));
    EXPECT_TRUE(Thumbs().empty());
    EXPECT_EQ(form->ScrollBox2->width(), 50);
    EXPECT_EQ(form->ThumbStrip->size(), QSize(0, 0));
}

} // namespace
} // namespace mirth
