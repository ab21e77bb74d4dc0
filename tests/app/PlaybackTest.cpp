// The morph and the animation, with the timers' ticks driven by hand.
#include <QCheckBox>
#include <QPushButton>

#include "app/ThumbnailTesting.h"
#include "controls/SpinEdit.h"
#include "effects/Blend.h"

namespace mirth {
namespace {

using testing::Pixel;
using testing::PixelBytes;
using testing::RandomBitmap;
using testing::ThumbnailTest;

class WindowPlayback : public ThumbnailTest {
protected:
    void KeepAll(const std::vector<TBitmap*>& pictures)
    {
        for (TBitmap* picture : pictures)
            ShowAndKeep(*picture);
    }
    static std::vector<uint8_t> Blend(TBitmap& first, TBitmap& last, int frame)
    {
        TBitmap blended;
        BlendBitmaps(first, last, blended, MorphFactor(frame));
        return PixelBytes(blended);
    }
    // A tick delivered by the event loop, where a failure gets the default error report.
    static void TickFromLoop(TTimer& timer)
    {
        QMetaObject::invokeMethod(qApp, [&timer] { timer.Tick(); }, Qt::QueuedConnection);
        QApplication::processEvents();
    }
    bool Idle() const { return !form->Timer1.Enabled() && !form->Timer2.Enabled(); }
};

TEST_F(WindowPlayback, AMorphPassShowsTwentyOneFramesThenStopsOrLoops)
{
    auto first = RandomBitmap(40, 30, 1), last = RandomBitmap(40, 30, 2);
    // At a quarter, 0.75 * 1 + 0.25 * 3 = 1.5 rounds to 2 and 0.25 * 2 = 0.5 to 0.
    std::fill_n(first->ScanRow(0), 6, 1);
    std::fill_n(first->ScanRow(0) + 6, 3, 0);
    std::fill_n(last->ScanRow(0), 6, 3);
    std::fill_n(last->ScanRow(0) + 6, 3, 2);
    KeepAll({first.get(), last.get()});

    form->Button4->click();
    for (int frame = 0; frame < 21; ++frame) {
        ASSERT_TRUE(form->Timer1.Enabled()) << frame;
        form->Timer1.Tick();
        ASSERT_EQ(Shown(), Blend(*first, *last, frame)) << frame;
        if (frame == 5) {
            EXPECT_EQ(Pixel(form->Working(), 0, 0), (std::vector<uint8_t>{2, 2, 2}));
            EXPECT_EQ(Pixel(form->Working(), 2, 0), (std::vector<uint8_t>{0, 0, 0}));
        }
    }
    EXPECT_TRUE(Idle());
    EXPECT_EQ(Shown(), PixelBytes(*last));
    // The morph read the last thumbnail without taking it from the reference it shares with.
    EXPECT_TRUE(Thumbs()[1]->Picture().AsBitmap().SharesImageWith(form->Reference()));

    // Looping, the 22nd tick shows the first again; Keep and Undo wait for the end.
    form->looper->setChecked(true);
    form->Blend1->trigger();
    for (int tick = 0; tick < 22; ++tick)
        form->Timer1.Tick();
    EXPECT_TRUE(form->Timer1.Enabled());
    EXPECT_EQ(Shown(), PixelBytes(*first));
    Key(Qt::Key_K, Qt::ControlModifier);
    Key(Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(Thumbs().size(), 2u);
    EXPECT_EQ(Shown(), PixelBytes(*first));

    // A click stops on the frame shown last; the next starts from the first again.
    form->Timer1.Tick();
    form->Button4->click();
    EXPECT_TRUE(Idle());
    EXPECT_EQ(Shown(), Blend(*first, *last, 1));
    form->Button4->click();
    form->Timer1.Tick();
    EXPECT_EQ(Shown(), PixelBytes(*first));
}

TEST_F(WindowPlayback, AMorphOverAChangingStripNeverFailsTwice)
{
    auto first = RandomBitmap(40, 30, 1), middle = RandomBitmap(40, 30, 2), last = RandomBitmap(40, 30, 3);
    auto small = RandomBitmap(30, 30, 4);
    KeepAll({first.get(), middle.get(), last.get()});
    Show(*small); // the morph gives the working picture the first's size

    form->Button4->click();
    form->Timer1.Tick();
    form->Timer1.Tick();
    EXPECT_EQ(Shown(), Blend(*first, *last, 1));
    // "Delete Thumbs" leaves the first, which is then the last as well.
    form->DeleteThumbs1->trigger();
    form->Timer1.Tick();
    EXPECT_TRUE(form->Timer1.Enabled());
    EXPECT_EQ(Shown(), PixelBytes(*first));

    // A load empties the strip: the next tick ends the morph and leaves the picture.
    Load("new.bmp", *small);
    form->Timer1.Tick();
    EXPECT_TRUE(Idle());
    EXPECT_EQ(Shown(), PixelBytes(*small));

    // A last picture narrower than the first: one report, and the morph is over.
    KeepAll({first.get(), small.get()});
    QTest::mouseClick(form->Button4, Qt::LeftButton);
    TickFromLoop(form->Timer1);
    EXPECT_TRUE(Idle());
    EXPECT_EQ(Shown(), PixelBytes(*small));
    ASSERT_EQ(notices.Reports().size(), 1u);
    EXPECT_EQ(notices.Reports()[0], (TMessageReport{TMessageIcon::Error, "Mirthlens", "Invalid image size."}));
}

TEST_F(WindowPlayback, TheAnimationShowsTheKeptFramesInOrderOverWhateverIsLoaded)
{
    auto a = RandomBitmap(40, 30, 1), b = RandomBitmap(40, 30, 2), c = RandomBitmap(40, 30, 3);
    KeepAll({a.get(), b.get(), c.get()});
    const std::vector<std::vector<uint8_t>> frames{PixelBytes(*a), PixelBytes(*b), PixelBytes(*c)};

    form->Animate1->trigger();
    ASSERT_TRUE(form->Timer2.Enabled());
    EXPECT_EQ(form->ImageList1.Count(), 3);
    for (int k = 0; k < 3; ++k) {
        form->Timer2.Tick();
        EXPECT_EQ(Shown(), frames[k]) << k;
        // A frame is the kept picture's own store, not a copy of it.
        EXPECT_TRUE(form->Working().SharesImageWith(Thumbs()[k]->Picture().AsBitmap())) << k;
    }
    EXPECT_TRUE(Idle());

    // Looping it starts over; a morph click takes over from it.
    form->looper->setChecked(true);
    form->Button3->click();
    for (int tick = 0; tick < 4; ++tick)
        form->Timer2.Tick();
    EXPECT_EQ(Shown(), frames[0]);
    form->Button4->click();
    EXPECT_TRUE(form->Timer1.Enabled() && !form->Timer2.Enabled());

    // A load while it plays: the old frames go on over the new picture, and with fewer
    // than two thumbnails no click stops it; unlooped, the pass ends it.
    form->Button3->click();
    form->Timer2.Tick();
    Load("new.bmp", *RandomBitmap(20, 10, 4));
    form->Timer2.Tick();
    EXPECT_EQ(Shown(), frames[1]);
    form->Button3->click();
    EXPECT_TRUE(form->Timer2.Enabled());
    form->looper->setChecked(false);
    form->Timer2.Tick();
    EXPECT_EQ(Shown(), frames[2]);
    EXPECT_TRUE(Idle());
}

TEST_F(WindowPlayback, ALowerThumbnailEndsTheFillAndLeavesTheAnimationAsItWas)
{
    auto a = RandomBitmap(40, 30, 1), b = RandomBitmap(40, 30, 2), low = RandomBitmap(40, 20, 3);
    KeepAll({a.get(), b.get()});
    form->Button3->click();
    form->Timer2.Tick();
    form->Timer2.Tick(); // the pass is over on frame 1
    ShowAndKeep(*low);
    form->Button4->click();
    QTest::mouseClick(form->Button3, Qt::LeftButton);
    ASSERT_EQ(notices.Reports().size(), 1u);
    EXPECT_EQ(notices.Reports()[0].text, "Invalid image size.");
    EXPECT_TRUE(Idle());
    EXPECT_EQ(form->Workspace.AnimFrame, 1);
    EXPECT_EQ(form->ImageList1.Count(), 2);
}

TEST_F(WindowPlayback, TheIntervalsFollowTheSpinEditsAndZeroHaltsWithoutStopping)
{
    auto a = RandomBitmap(40, 30, 1), b = RandomBitmap(40, 30, 2);
    KeepAll({a.get(), b.get()});
    form->Button4->click();
    form->SpinEdit1->UpClick();
    EXPECT_EQ(form->Timer1.Interval(), 250);
    form->SpinEdit2->selectAll();
    QTest::keyClicks(form->SpinEdit2, "7");
    EXPECT_EQ(form->Timer2.Interval(), 7);
    form->SpinEdit2->setText("");
    EXPECT_EQ(form->Timer2.Interval(), 50);

    form->SpinEdit1->setText("0");
    EXPECT_EQ(form->Timer1.Interval(), 0);
    EXPECT_TRUE(form->Timer1.Enabled());
    Key(Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(Thumbs().size(), 2u);
    form->Button4->click();
    Key(Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(Thumbs().size(), 3u);
}

} // namespace
} // namespace mirth
