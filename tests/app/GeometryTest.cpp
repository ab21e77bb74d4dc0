// Turning, cropping, stretching and resizing the picture as a user does it.
#include <QAction>
#include <QScrollArea>

#include "effects/Rotate.h"
#include "imaging/bitmap/Canvas.h"
#include "support/Pictures.h"
#include "support/WindowTesting.h"

namespace mirth {
namespace {

using testing::PixelBytes;
using testing::RandomBitmap;
using testing::WindowTest;

// The pixels of `area` of `bitmap`, white where the area leaves the picture.
std::vector<uint8_t> AreaBytes(const TBitmap& bitmap, const TRect& area)
{
    std::vector<uint8_t> bytes;
    for (int32_t y = area.top; y < area.bottom; ++y)
        for (int32_t x = area.left; x < area.right; ++x) {
            const bool inside = x >= 0 && y >= 0 && x < bitmap.Width() && y < bitmap.Height();
            for (int c = 0; c < 3; ++c)
                bytes.push_back(inside ? bitmap.ReadOnlyRow(y)[3 * x + c] : 0xFF);
        }
    return bytes;
}

class WindowGeometry : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        photo = RandomBitmap(60, 50);
        Load("photo.bmp", *photo);
    }

    // Both pictures hold `bytes` in a picture of the size, and the view shows it unscaled.
    void ExpectPicture(QSize size, const std::vector<uint8_t>& bytes)
    {
        EXPECT_EQ(QSize(form->Working().Width(), form->Working().Height()), size);
        EXPECT_EQ(PixelBytes(form->Working()), bytes);
        EXPECT_EQ(PixelBytes(form->Reference()), bytes);
        EXPECT_EQ(form->Image1->size(), size);
        EXPECT_FALSE(form->Image1->AutoSize());
    }

    void CtrlDrag(QPoint from, QPoint to, Qt::KeyboardModifiers atRelease = Qt::ControlModifier)
    {
        Press(from, Qt::LeftButton, Qt::ControlModifier);
        Move((from + to) / 2, Qt::ControlModifier);
        Move(to, Qt::ControlModifier);
        Release(to, Qt::LeftButton, atRelease);
    }

    std::unique_ptr<TBitmap> photo;
};

TEST_F(WindowGeometry, QuarterTurnsExchangeTheSidesAndFourGiveThePictureBack)
{
    Key(Qt::Key_O, Qt::ControlModifier);
    ExpectPicture({50, 60}, PixelBytes(*RotateBitmapClockwise(*photo)));
    Key(Qt::Key_N, Qt::ControlModifier);
    ExpectPicture({60, 50}, PixelBytes(*photo));
    for (int turn = 0; turn < 4; ++turn)
        Key(Qt::Key_O, Qt::ControlModifier);
    ExpectPicture({60, 50}, PixelBytes(*photo));
    Key(Qt::Key_N, Qt::ControlModifier);
    ExpectPicture({50, 60}, PixelBytes(*RotateBitmapCounterClockwise(*photo)));

    // Stretched, the view keeps filling the scroll area whatever the picture's shape.
    Key(Qt::Key_T, Qt::ControlModifier);
    Key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(form->Image1->geometry(), form->ScrollBox1->viewport()->rect());
    EXPECT_EQ(PixelBytes(form->Working()), PixelBytes(*photo));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WindowGeometry, ACtrlDragCropsTheSamePixelsWhicheverWayItGoes)
{
    // The outline shows while dragging, drawn into the picture.
    Press({10, 10}, Qt::LeftButton, Qt::ControlModifier);
    Move({20, 30}, Qt::ControlModifier);
    EXPECT_NE(PixelBytes(form->Working()), PixelBytes(*photo));
    Release({20, 30}, Qt::LeftButton, Qt::ControlModifier);
    const std::vector<uint8_t> cropped = AreaBytes(*photo, {10, 10, 20, 30});
    ExpectPicture({10, 20}, cropped);

    Load("photo.bmp", *photo);
    CtrlDrag({20, 30}, {10, 10});
    ExpectPicture({10, 20}, cropped);

    // A right-button release carries on; the left one then ends the drag.
    Load("photo.bmp", *photo);
    Press({5, 5}, Qt::LeftButton, Qt::ControlModifier);
    Move({15, 20}, Qt::ControlModifier);
    // (A real right press would open the menu, which takes the mouse: raised directly.)
    form->Image1->OnMouseUp(form->Image1, mbRight, {ssCtrl, ssLeft}, 15, 20);
    EXPECT_TRUE(form->Workspace.Selecting);
    Release({15, 20}, Qt::LeftButton, Qt::ControlModifier);
    ExpectPicture({10, 15}, AreaBytes(*photo, {5, 5, 15, 20}));

    // Beyond the picture the crop keeps the selection's size, white outside.
    Load("photo.bmp", *photo);
    CtrlDrag({50, 40}, {70, 45});
    ExpectPicture({20, 5}, AreaBytes(*photo, {50, 40, 70, 45}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WindowGeometry, LettingGoOfCtrlFirstOrDraggingNoAreaCropsNothing)
{
    CtrlDrag({5, 5}, {40, 30}, Qt::NoModifier);
    EXPECT_FALSE(form->Workspace.Selecting);
    ExpectPicture({60, 50}, PixelBytes(*photo));
    CtrlDrag({5, 5}, {5, 30});
    ExpectPicture({60, 50}, PixelBytes(*photo));
}

TEST_F(WindowGeometry, StretchShowsThePictureOverTheScrollAreaAndResizeMakesThatItsSize)
{
    QWidget* const area = form->ScrollBox1->viewport();
    Key(Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(form->Resize1->isEnabled());
    EXPECT_EQ(form->Image1->geometry(), area->rect());
    Key(Qt::Key_T, Qt::ControlModifier);
    EXPECT_FALSE(form->Resize1->isEnabled());
    EXPECT_EQ(form->Image1->size(), QSize(60, 50));
    EXPECT_TRUE(form->Image1->AutoSize());

    Key(Qt::Key_T, Qt::ControlModifier);
    Key(Qt::Key_E, Qt::ControlModifier);
    TBitmap scaled;
    scaled.SetPixelLayout(pl24Bit);
    scaled.SetWidth(area->width());
    scaled.SetHeight(area->height());
    scaled.Canvas().StretchGraphic(scaled.Canvas().ClipBounds(), photo.get());
    EXPECT_EQ(PixelBytes(form->Working()), PixelBytes(scaled));
    EXPECT_EQ(PixelBytes(form->Reference()), PixelBytes(scaled));
    EXPECT_FALSE(form->Stretch1->isChecked() || form->Resize1->isEnabled());
    EXPECT_EQ(form->Image1->geometry(), QRect(QPoint(0, 0), area->size()));
    EXPECT_TRUE(form->Image1->AutoSize());
}

} // namespace
} // namespace mirth
