// Saving the morph and the animation from the window, read back with the formats' own
// decoders.
#include <QCheckBox>
#include <QProgressBar>
#include <QPushButton>

#include "app/ThumbnailTesting.h"
#include "controls/SpinEdit.h"
#include "effects/AreaShrink.h"
#include "effects/Blend.h"
#include "framework/BackgroundWork.h"
#include "support/AnimationFiles.h"

namespace mirth {
namespace {

using namespace testing;

// A smooth picture, as photographs mostly are, different for each seed.
std::unique_ptr<TBitmap> Photo(int32_t width, int32_t height, int seed)
{
    auto picture = RandomBitmap(width, height, seed);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = picture->ScanRow(y);
        for (int32_t x = 0; x < width; ++x) {
            row[3 * x] = static_cast<uint8_t>(seed * 40 + 2 * x);
            row[3 * x + 1] = static_cast<uint8_t>(3 * y + seed * x / 4);
            row[3 * x + 2] = static_cast<uint8_t>(255 - x - y * seed);
        }
    }
    return picture;
}

// A GIF frame is the exact frame reduced to 256 dithered colours: at least this close.
constexpr double kGifPsnrFloor = 30;
constexpr double kWebpPsnrFloor = 28; // quality 75 on small pictures

class WindowSavePlayback : public ThumbnailTest {
protected:
    void TearDown() override
    {
        SetProgressWatch(nullptr);
        ThumbnailTest::TearDown();
    }
    bool Enabled(bool morph, bool animation) const
    {
        return form->SaveMorph1->isEnabled() == morph && form->SaveAnimation1->isEnabled() == animation;
    }
    void SaveMorphAs(const std::string& name, std::optional<int32_t> side)
    {
        Answer(PathOf(name));
        sizes->answers.push_back(side);
        SaveBy(Qt::Key_P);
    }
    // The shortcut, then back to the window once the progress window has gone.
    void SaveBy(Qt::Key key)
    {
        Key(key, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    static std::vector<uint8_t> Blend(TBitmap& first, TBitmap& last, int frame)
    {
        TBitmap blended;
        BlendBitmaps(first, last, blended, MorphFactor(frame));
        return RgbOf(blended);
    }
    size_t FilesInFolder() const { return std::distance(std::filesystem::directory_iterator(dir_), {}); }
};

TEST_F(WindowSavePlayback, TheItemsFollowTheStripAndASavedMorphHoldsTheExactFrames)
{
    EXPECT_TRUE(Enabled(false, false));
    auto first = Photo(120, 80, 1), last = Photo(130, 90, 2);
    ShowAndKeep(*first);
    EXPECT_TRUE(Enabled(false, true));
    // A disabled item does nothing by its shortcut either.
    const size_t dialogs = chooser->requests.size();
    Key(Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(chooser->requests.size(), dialogs);
    ShowAndKeep(*last);
    EXPECT_TRUE(Enabled(true, true));

    form->SpinEdit1->setText("150");
    form->looper->setChecked(true);
    const size_t filesBefore = FilesInFolder();
    SaveMorphAs("morph", 120); // neither extension: a GIF
    ASSERT_EQ(chooser->requests.back().filters,
              (std::vector<std::string>{"Animated GIF (*.gif)", "Animated WebP (*.webp)"}));
    ASSERT_EQ(sizes->requests.size(), 1u);
    EXPECT_EQ(sizes->requests[0].proposed, 120);
    EXPECT_EQ(sizes->requests[0].maximum, 120);
    EXPECT_EQ(FilesInFolder(), filesBefore + 1);
    const DecodedAnimation gif = DecodeGif(Contents(PathOf("morph.gif")));
    ASSERT_EQ(gif.frames.size(), 21u);
    EXPECT_EQ(gif.width, 120);
    EXPECT_EQ(gif.height, 80);
    EXPECT_EQ(gif.loopCount, 0);
    for (int k = 0; k < 21; ++k) {
        EXPECT_EQ(gif.frames[k].delayMs, 150) << k;
        EXPECT_GE(Psnr(gif.frames[k].rgb, Blend(*first, *last, k)), kGifPsnrFloor) << k;
    }
    EXPECT_TRUE(notices.Reports().empty());

    // The strip empties: first the morph goes, then the animation.
    form->DeleteThumbs1->trigger();
    EXPECT_TRUE(Enabled(false, true));
    Load("other.bmp", *first);
    EXPECT_TRUE(Enabled(false, false));
}

TEST_F(WindowSavePlayback, AnAnimationIsSavedScaledInStripOrder)
{
    auto a = Photo(90, 60, 1), b = Photo(100, 60, 2), c = Photo(90, 70, 3);
    for (TBitmap* picture : {a.get(), b.get(), c.get()})
        ShowAndKeep(*picture);
    Answer(PathOf("strip.WEBP"));
    sizes->answers.push_back(45);
    SaveBy(Qt::Key_A);

    const DecodedAnimation webp = DecodeWebp(Contents(PathOf("strip.WEBP")));
    ASSERT_EQ(webp.frames.size(), 3u);
    EXPECT_EQ(webp.width, 45);
    EXPECT_EQ(webp.height, 30);
    EXPECT_EQ(webp.loopCount, 1); // "Loop" unticked: one pass
    const std::vector<TBitmap*> pictures{a.get(), b.get(), c.get()};
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(webp.frames[k].delayMs, 100) << k;
        const auto expected = RgbOf(*ShrinkByAreaAverage(*pictures[k], {90, 60}, {45, 30}));
        EXPECT_GE(Psnr(webp.frames[k].rgb, expected), kWebpPsnrFloor) << k;
        for (size_t other = 0; other < 3; ++other) {
            if (other != k) {
                EXPECT_LT(Psnr(webp.frames[other].rgb, expected), Psnr(webp.frames[k].rgb, expected));
            }
        }
    }
}

TEST_F(WindowSavePlayback, CancelAnywhereLeavesNothingAndTheOldFileAsItWas)
{
    auto first = Photo(120, 80, 1), last = Photo(120, 80, 2);
    ShowAndKeep(*first);
    ShowAndKeep(*last);
    Write("kept.gif", {'o', 'l', 'd'});
    const size_t files = FilesInFolder();

    Answer(std::nullopt); // the file dialog cancelled
    Key(Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    SaveMorphAs("kept.gif", std::nullopt); // the size dialog cancelled
    EXPECT_TRUE(sizes->requests.size() == 1u);

    // Cancel in the progress window, three frames in.
    std::vector<int32_t> shown;
    SetProgressWatch([&](TProgressWindow& window) {
        EXPECT_EQ(QApplication::activeModalWidget(), &window);
        shown.push_back(window.findChild<QProgressBar*>()->value());
        if (shown.back() == 3)
            window.CancelButton()->click();
    });
    SaveMorphAs("kept.gif", 100);
    EXPECT_GE(shown.size(), 3u);
    EXPECT_EQ(Contents(PathOf("kept.gif")), "old");
    EXPECT_EQ(FilesInFolder(), files);
    EXPECT_TRUE(notices.Reports().empty());
}

TEST_F(WindowSavePlayback, AMorphPlayingMeanwhileChangesNothingSaved)
{
    auto first = Photo(60, 40, 1), last = Photo(60, 40, 2);
    ShowAndKeep(*first);
    ShowAndKeep(*last);
    form->looper->setChecked(true);
    form->Button4->click();
    form->Timer1.Tick();
    form->Timer1.Tick();
    int ticks = 0;
    SetProgressWatch([&](TProgressWindow&) {
        form->Timer1.Tick();
        ++ticks;
    });
    SaveMorphAs("playing.gif", 60);

    EXPECT_GE(ticks, 21);
    EXPECT_TRUE(form->Timer1.Enabled());
    const DecodedAnimation gif = DecodeGif(Contents(PathOf("playing.gif")));
    ASSERT_EQ(gif.frames.size(), 21u);
    for (int k = 0; k < 21; ++k)
        EXPECT_GE(Psnr(gif.frames[k].rgb, Blend(*first, *last, k)), kGifPsnrFloor) << k;
}

} // namespace
} // namespace mirth
