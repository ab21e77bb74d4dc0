#include "controls/Slider.h"

#include <gtest/gtest.h>

#include <QTest>

#include <set>
#include <string>
#include <vector>

#include "runtime/Exceptions.h"
#include "support/QtTesting.h"

namespace mirth {
namespace {

using testing::LetTimePass;

// The workspace's strength slider, 271 pixels wide: its ruler is 259 pixels long and the
// thumb (9 pixels) travels 250, so the thumb's left edge for a value v is 6 + N(1.25 v).
class StrengthSlider : public ::testing::Test {
protected:
    void SetUp() override
    {
        slider.resize(271, 40);
        slider.SetMaxValue(200);
        slider.SetValue(35);
        slider.OnChange = [this](TObject* sender) {
            EXPECT_EQ(sender, &slider);
            log.push_back("change " + std::to_string(slider.Value()));
        };
        slider.OnChanged = [this](TObject*) { log.push_back("changed"); };
        slider.OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int32_t, int32_t) {
            log.push_back("up " + std::to_string(slider.Value()));
        };
        slider.show();
        slider.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&slider));
    }

    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(&slider, key, modifiers);
    }
    void Move(QPoint to) { QTest::mouseEvent(QTest::MouseMove, &slider, Qt::NoButton, {}, to); }

    TSlider slider;
    std::vector<std::string> log;
};

using Log = std::vector<std::string>;

TEST_F(StrengthSlider, ClampsAssignedValuesAndReportsOnlyChanges)
{
    slider.SetValue(250);
    slider.SetValue(200);
    slider.SetValue(-1);
    slider.SetValue(0);
    EXPECT_EQ(log, (Log{"change 200", "change 0"}));
}

TEST_F(StrengthSlider, PlacesTheThumbForItsValue)
{
    EXPECT_EQ(slider.RulerRect().left(), 6);
    EXPECT_EQ(slider.RulerRect().width(), 259);
    EXPECT_EQ(slider.ThumbRect(), QRect(50, 7, 9, 17));
    slider.SetValue(200);
    EXPECT_EQ(slider.ThumbRect().left(), 256);
    slider.SetBevelStyle(bvLowered);
    EXPECT_EQ(slider.RulerRect().width(), 257);
    EXPECT_EQ(slider.ThumbRect().left(), 7 + 248);
}

TEST_F(StrengthSlider, StepsWithTheKeysOnTheIncrementGrid)
{
    Key(Qt::Key_Right);
    EXPECT_EQ(slider.Value(), 50);
    slider.SetValue(35);
    Key(Qt::Key_Left);
    EXPECT_EQ(slider.Value(), 30);
    slider.SetValue(195);
    Key(Qt::Key_Right);
    EXPECT_EQ(slider.Value(), 200);
    slider.SetValue(5);
    Key(Qt::Key_Left);
    EXPECT_EQ(slider.Value(), 0);
    Key(Qt::Key_End);
    EXPECT_EQ(slider.Value(), 200);
    Key(Qt::Key_Up);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(slider.Value(), 200);
}

TEST_F(StrengthSlider, RaisesChangedForEveryHandledKeyEvenWithoutAChange)
{
    slider.SetValue(0);
    log.clear();
    Key(Qt::Key_Home);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(log, (Log{"changed"}));
}

TEST_F(StrengthSlider, HoldingOnTheRulerStepsUntilTheThumbReachesThePointer)
{
    const QPoint pointer(150, 15);
    QTest::mousePress(&slider, Qt::LeftButton, {}, pointer);
    EXPECT_EQ(slider.Value(), 50);
    EXPECT_TRUE(slider.RepeatTimer().Running());
    EXPECT_EQ(slider.RepeatTimer().Interval(), 400);
    LetTimePass(slider.RepeatTimer(), 4000);
    // At 110 the thumb covers pixels 144 to 152, under the pointer.
    EXPECT_EQ(slider.Value(), 110);
    EXPECT_TRUE(slider.ThumbRect().contains(pointer));
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, pointer);
    EXPECT_FALSE(slider.RepeatTimer().Running());
    EXPECT_EQ(log, (Log{"change 50", "change 60", "change 70", "change 80", "change 90", "change 100",
                        "change 110", "changed", "up 110"}));
}

TEST_F(StrengthSlider, StepsTowardsWhereThePointerHasMovedOnlyInThePressedDirection)
{
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(100, 12));
    EXPECT_EQ(slider.Value(), 50);
    Move(QPoint(20, 12));  // now behind the thumb: no stepping back
    LetTimePass(slider.RepeatTimer(), 1200);
    EXPECT_EQ(slider.Value(), 50);
    EXPECT_TRUE(slider.RepeatTimer().Running());
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(20, 12));
}

// A disabled or hidden slider gets no release, so the press must end when that happens.
TEST_F(StrengthSlider, DisablingOrHidingEndsAPressThatWillGetNoRelease)
{
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(150, 15));
    slider.setEnabled(false);
    EXPECT_FALSE(slider.RepeatTimer().Running());
    EXPECT_EQ(log, (Log{"change 50", "changed"}));

    slider.setEnabled(true);
    log.clear();
    const QPoint grab = slider.ThumbRect().center();
    QTest::mousePress(&slider, Qt::LeftButton, {}, grab);
    slider.hide();
    EXPECT_EQ(log, (Log{"changed"}));
    slider.show();
    QTest::mouseEvent(QTest::MouseMove, &slider, Qt::NoButton, {}, grab + QPoint(40, 0));
    EXPECT_EQ(slider.Value(), 50);
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, grab);  // lets Qt Test forget the button
}

// A message box opened during a press takes its release; the next plain move ends the press.
TEST_F(StrengthSlider, AMoveWithoutTheButtonEndsAPressWhoseReleaseWentElsewhere)
{
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(150, 15));
    const QPoint hover(250, 15);
    QMouseEvent move(QEvent::MouseMove, hover, slider.mapToGlobal(hover), Qt::NoButton, Qt::NoButton, {});
    QApplication::sendEvent(&slider, &move);
    EXPECT_FALSE(slider.RepeatTimer().Running());
    EXPECT_EQ(log, (Log{"change 50", "changed"}));
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, hover);  // lets Qt Test forget the button
}

TEST_F(StrengthSlider, IgnoresPressesAwayFromRulerAndThumb)
{
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(150, 2));
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(150, 2));
    QTest::mousePress(&slider, Qt::RightButton, {}, QPoint(150, 15));
    QTest::mouseRelease(&slider, Qt::RightButton, {}, QPoint(150, 15));
    EXPECT_EQ(slider.Value(), 35);
    EXPECT_EQ(log, (Log{"up 35", "up 35"}));
    EXPECT_TRUE(slider.hasFocus());
}

TEST_F(StrengthSlider, SmoothDraggingReachesEveryValue)
{
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(54, 15));
    std::set<int32_t> seen;
    for (int x = 0; x <= 280; ++x) {
        Move(QPoint(x, 15));
        seen.insert(slider.Value());
    }
    EXPECT_EQ(seen.size(), 201u);
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(280, 15));
    EXPECT_EQ(slider.Value(), 200);
    EXPECT_EQ(log.back(), "up 200");
    EXPECT_EQ(log[log.size() - 2], "changed");
}

TEST_F(StrengthSlider, DraggingWithoutSmoothSnapsToTheIncrements)
{
    slider.SetMinValue(3);
    slider.SetOptions(slider.Options().Without(soSmooth));
    const QPoint grab = slider.ThumbRect().center();
    QTest::mousePress(&slider, Qt::LeftButton, {}, grab);
    std::set<int32_t> seen;
    for (int x = 0; x <= 280; ++x) {
        Move(QPoint(x, grab.y()));
        seen.insert(slider.Value());
    }
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(280, grab.y()));
    EXPECT_EQ(seen.size(), 21u);
    for (int32_t value : seen)
        EXPECT_TRUE(value == 200 || (value - 3) % 10 == 0) << value;
}

TEST_F(StrengthSlider, ShowsAHandOverTheThumb)
{
    Move(slider.ThumbRect().center());
    EXPECT_EQ(slider.cursor().shape(), Qt::PointingHandCursor);
    Move(QPoint(200, 35));
    EXPECT_EQ(slider.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(StrengthSlider, NarrowsTheIncrementToTheRangeAndRefusesOthers)
{
    slider.SetMaxValue(15);
    EXPECT_EQ(slider.Increment(), 10);
    EXPECT_EQ(slider.Value(), 15);
    slider.SetMaxValue(5);
    EXPECT_EQ(slider.Increment(), 5);
    slider.SetMinValue(5);  // an empty range is ignored
    EXPECT_EQ(slider.MinValue(), 0);
    try {
        slider.SetIncrement(6);
        FAIL();
    } catch (const Exception& error) {
        EXPECT_STREQ(error.what(), "Value must be between 1 and 5");
    }
    EXPECT_THROW(slider.SetIncrement(0), Exception);
    EXPECT_EQ(slider.Increment(), 5);
}

TEST_F(StrengthSlider, VerticalPutsLargerValuesHigher)
{
    slider.SetOrientation(soVertical);
    EXPECT_EQ(slider.size(), QSize(40, 271));
    slider.SetValue(0);
    EXPECT_EQ(slider.ThumbRect().top(), 271 - 6 - 9);
    slider.SetValue(200);
    EXPECT_EQ(slider.ThumbRect().top(), 6);
    log.clear();
    Key(Qt::Key_Down);
    Key(Qt::Key_Right);
    EXPECT_EQ(slider.Value(), 190);
    // Dragging upwards raises the value; a ruler press below the thumb lowers it.
    slider.SetValue(100);
    const QPoint grab = slider.ThumbRect().center();
    QTest::mousePress(&slider, Qt::LeftButton, {}, grab);
    Move(grab - QPoint(0, 25));
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, grab - QPoint(0, 25));
    EXPECT_EQ(slider.Value(), 120);
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(grab.x(), 250));
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(grab.x(), 250));
    EXPECT_EQ(slider.Value(), 110);
}

TEST_F(StrengthSlider, AcceptsOnlyEdgesThatLeaveAMiddle)
{
    slider.SetEdgeSize(5);
    EXPECT_EQ(slider.EdgeSize(), 2);
    slider.SetEdgeSize(-1);
    EXPECT_EQ(slider.EdgeSize(), 2);
    slider.SetEdgeSize(4);
    EXPECT_EQ(slider.EdgeSize(), 4);
}

// Pixels of the slider as painted.
QImage Painted(TSlider& slider)
{
    return slider.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

TEST_F(StrengthSlider, PaintsTickMarksAndLeavesOutThePicturesBackground)
{
    const QImage image = Painted(slider);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ASSERT_NE(image.pixel(x, y), qRgb(255, 0, 255)) << x << "," << y;
    const QRgb text = slider.palette().color(QPalette::WindowText).rgb();
    const int tickTop = slider.ThumbRect().bottom() + 1 + 3;
    // Marks stand under the thumb's centre: long ones at the ends, short ones between.
    EXPECT_EQ(image.pixel(6 + 4, tickTop + 4), text);
    EXPECT_EQ(image.pixel(256 + 4, tickTop + 4), text);
    EXPECT_EQ(image.pixel(6 + 12 + 4, tickTop + 2), text);  // value 10 at 12.5, to even
    EXPECT_NE(image.pixel(6 + 12 + 4, tickTop + 3), text);
    EXPECT_NE(image.pixel(6 + 12 + 5, tickTop + 1), text);
}

TEST_F(StrengthSlider, DrawsTheThumbsSecondStateWhilePressedOrDisabled)
{
    slider.SetOptions({soShowPoints, soSmooth});  // the style's focus look may tint the thumb's ground
    const QRect thumb = slider.ThumbRect();
    const QImage normal = Painted(slider).copy(thumb);
    slider.setEnabled(false);
    const QImage disabled = Painted(slider).copy(thumb);
    EXPECT_NE(normal, disabled);
    slider.setEnabled(true);
    QTest::mousePress(&slider, Qt::LeftButton, {}, thumb.center());
    EXPECT_EQ(Painted(slider).copy(thumb), disabled);
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, thumb.center());
    EXPECT_EQ(Painted(slider).copy(thumb), normal);
}

TEST_F(StrengthSlider, ShowsItsFocusAlsoAfterAClick)
{
    slider.clearFocus();
    const QImage unfocused = Painted(slider);
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(1, 1));
    ASSERT_TRUE(slider.hasFocus());
    EXPECT_NE(Painted(slider), unfocused);
}

TEST(SliderPictures, StretchedRulerKeepsItsEndsAndRepeatsItsMiddle)
{
    QImage picture(7, 2, QImage::Format_ARGB32);
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 2; ++y)
            picture.setPixel(x, y, qRgb(x * 30, y, 0));
    const QImage ruler = StretchRuler(picture, 2, 12, Qt::Horizontal);
    ASSERT_EQ(ruler.size(), QSize(12, 2));
    const int expectedColumn[12] = {0, 1, 2, 3, 4, 2, 3, 4, 2, 3, 5, 6};
    for (int x = 0; x < 12; ++x)
        EXPECT_EQ(qRed(ruler.pixel(x, 1)), expectedColumn[x] * 30) << x;
    const QImage vertical = StretchRuler(picture.transformed(QTransform(0, 1, 1, 0, 0, 0)), 2, 12, Qt::Vertical);
    for (int y = 0; y < 12; ++y)
        EXPECT_EQ(qRed(vertical.pixel(1, y)), expectedColumn[y] * 30) << y;
    EXPECT_TRUE(StretchRuler(picture, 2, 0, Qt::Horizontal).isNull());
}

TEST(SliderPictures, DefaultPicturesHaveTheirSizes)
{
    EXPECT_EQ(DefaultSliderPicture(spHorizontalThumb).size(), QSize(18, 17));
    EXPECT_EQ(DefaultSliderPicture(spHorizontalRuler).size(), QSize(10, 8));
    EXPECT_EQ(DefaultSliderPicture(spVerticalThumb).size(), QSize(38, 9));
    EXPECT_EQ(DefaultSliderPicture(spVerticalRuler).size(), QSize(8, 10));
}

} // namespace
} // namespace mirth
