// The lens as a user pushes it in: clicks, Alt-moves, the slider and the wheel.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

#include "controls/Slider.h"
#include "effects/Lens.h"
#include "support/Pictures.h"
#include "support/WindowTesting.h"

namespace mirth {
namespace {

using testing::PixelBytes;
using testing::RandomBitmap;
using testing::WindowTest;

class WindowLens : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        photo = RandomBitmap(300, 200);
        Load("photo.bmp", *photo);
    }

    // The working picture the effect itself makes from the loaded photo.
    std::vector<uint8_t> Expected(TPoint centre, int strength)
    {
        TBitmap working;
        working.CopyFrom(photo.get());
        DrawLens(*photo, working, centre, strength);
        return PixelBytes(working);
    }
    std::vector<uint8_t> Shown() { return PixelBytes(form->Working()); }

    std::unique_ptr<TBitmap> photo;
};

TEST_F(WindowLens, ClicksAltMovesAndTheSliderRedrawTheOneLatestLens)
{
    Press({100, 120});
    Release({100, 120});
    EXPECT_EQ(Shown(), Expected({100, 120}, 35));
    EXPECT_EQ(form->Workspace.LensPoint, (TPoint{100, 120}));

    Press({200, 60}, Qt::MiddleButton);
    Release({200, 60}, Qt::MiddleButton);
    EXPECT_EQ(Shown(), Expected({200, 60}, 35));

    // The right button opens the menu and leaves the picture alone.
    Press({50, 50}, Qt::RightButton);
    Release({50, 50}, Qt::RightButton);
    form->PopupMenu1->hide();
    EXPECT_EQ(Shown(), Expected({200, 60}, 35));

    // Ctrl starts a selection instead of a lens.
    Press({30, 40}, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_TRUE(form->Workspace.Selecting);
    EXPECT_EQ(form->Workspace.SelStartX, 30);
    EXPECT_EQ(form->Workspace.SelEndY, 40);
    Release({30, 40}, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(Shown(), Expected({200, 60}, 35));

    // Alt-moves need no button; plain moves do nothing.
    Move({150, 100}, Qt::AltModifier);
    EXPECT_EQ(Shown(), Expected({150, 100}, 35));
    Move({10, 10});
    EXPECT_EQ(Shown(), Expected({150, 100}, 35));

    form->Slider1->SetValue(80);
    EXPECT_EQ(form->Label2->text(), "80");
    EXPECT_EQ(Shown(), Expected({150, 100}, 80));

    // At 10 or below the lens is gone.
    form->Slider1->SetValue(10);
    EXPECT_EQ(Shown(), PixelBytes(*photo));
    EXPECT_TRUE(notices.Reports().empty());
}

TEST_F(WindowLens, AnAltDragLeavingToTheLeftUsesTheDefaultCentre)
{
    Press({20, 100});
    Move({5, 100}, Qt::AltModifier);
    EXPECT_EQ(form->Workspace.LensPoint, (TPoint{5, 100}));
    Move({-7, 100}, Qt::AltModifier);
    Release({-7, 100});
    EXPECT_EQ(form->Workspace.LensPoint, (TPoint{50, 175}));
    EXPECT_EQ(Shown(), Expected({50, 175}, 35));
}

TEST_F(WindowLens, TheWheelStepsTheSliderWhereverThePointerAndFocusAre)
{
    form->Slider1->SetValue(199);
    Press({100, 100});
    Release({100, 100});
    Wheel(form->Image1, true);
    EXPECT_EQ(form->Slider1->Value(), 200);
    EXPECT_EQ(Shown(), Expected({100, 100}, 200));
    Wheel(form->Button3, true, Qt::AltModifier);
    EXPECT_EQ(form->Slider1->Value(), 200);
    Wheel(form->ScrollBox1->viewport(), false);
    EXPECT_EQ(form->Slider1->Value(), 199);
    EXPECT_EQ(Shown(), Expected({100, 100}, 199));
    EXPECT_EQ(form->ScrollBox1->verticalScrollBar()->value(), 0);
}

TEST_F(WindowLens, TheWheelStepsOncePerNotchWhateverSizeItsEventsCome)
{
    // A high-resolution wheel sends eighths of a notch: one step for the eight.
    for (int k = 0; k < 8; ++k)
        WheelBy(form->Image1, -15);
    EXPECT_EQ(form->Slider1->Value(), 36);
    WheelBy(form->Image1, -240); // two notches at once
    EXPECT_EQ(form->Slider1->Value(), 38);
    // What is left of a notch waits for the next event, whichever way it turns.
    WheelBy(form->Image1, 60);
    WheelBy(form->Image1, 60);
    EXPECT_EQ(form->Slider1->Value(), 37);
    WheelBy(form->Image1, -90);
    WheelBy(form->Image1, 30);
    EXPECT_EQ(form->Slider1->Value(), 37);
    WheelBy(form->Image1, -60);
    EXPECT_EQ(form->Slider1->Value(), 38);
    EXPECT_EQ(form->Label2->text(), "38");
}

TEST_F(WindowLens, AReleaseOnTheSliderRedrawsTheLensWhicheverButtonAndTheMenuStillOpens)
{
    Press({100, 120});
    Release({100, 120});
    const QPoint onSlider = form->Slider1->mapTo(form.get(), form->Slider1->rect().center());
    const auto clickSlider = [&](Qt::MouseButton button) {
        Key(Qt::Key_U, Qt::ControlModifier); // the lens is gone until the slider redraws it
        ASSERT_EQ(Shown(), PixelBytes(*photo));
        QTest::mousePress(form->windowHandle(), button, {}, onSlider);
        QTest::mouseRelease(form->windowHandle(), button, {}, onSlider);
    };
    clickSlider(Qt::MiddleButton);
    EXPECT_EQ(Shown(), Expected({100, 120}, 35));

    clickSlider(Qt::RightButton);
    EXPECT_TRUE(form->PopupMenu1->isVisible());
    form->PopupMenu1->hide();
    EXPECT_EQ(Shown(), Expected({100, 120}, 35));
    EXPECT_EQ(form->Slider1->Value(), 35);
}

TEST_F(WindowLens, InTheStretchedViewClicksAreIgnoredButAltMovesStillDraw)
{
    Key(Qt::Key_T, Qt::ControlModifier);
    ASSERT_TRUE(form->Stretch1->isChecked());
    Press({100, 100});
    Release({100, 100});
    EXPECT_EQ(Shown(), PixelBytes(*photo));
    Move({120, 80}, Qt::AltModifier);
    EXPECT_EQ(Shown(), Expected({120, 80}, 35));
}

TEST_F(WindowLens, ALensReadingBelowThePictureStopsWithTheDefaultErrorReport)
{
    auto low = RandomBitmap(120, 160, 3);
    Load("low.bmp", *low);
    photo = std::move(low);
    Press({5, 10});
    Move({-1, 10}, Qt::AltModifier); // the default centre's lens reaches below row 159
    Release({-1, 10});
    EXPECT_EQ(form->Workspace.LensPoint, (TPoint{50, 175}));
    ASSERT_EQ(notices.Reports().size(), 1u);
    EXPECT_EQ(notices.Reports()[0],
              (TMessageReport{TMessageIcon::Error, "Mirthlens", "Scan line index out of range."}));
}

} // namespace
} // namespace mirth
