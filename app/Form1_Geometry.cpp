// Geometry: quarter turns, the crop rectangle, the stretched view and baking it in.
#include <QAction>

#include <algorithm>

#include "app/Form1.h"
#include "app/WorkingPicture.h"
#include "effects/Rotate.h"
#include "framework/BusyCursor.h"
#include "imaging/bitmap/Canvas.h"

namespace mirth {

namespace {

using TTurn = std::unique_ptr<TBitmap> (*)(const TBitmap&);

void TurnWorkingPicture(TForm1& form, TTurn turn)
{
    // An empty bitmap turns into an empty bitmap; only a picture with no graphic at all
    // is left alone.
    if (form.Image1->Picture().Content() == nullptr)
        return;
    TBusyCursor busy;
    const std::unique_ptr<TBitmap> turned = turn(form.Working());
    ReplaceWorkingPicture(*form.Image1, *form.Image2, *turned);
}

// The outline inverts the pixels under it, so drawing the same outline again erases it.
void InvertSelectionOutline(TBitmap& working, const TWorkspace& workspace)
{
    TCanvas& canvas = working.Canvas();
    canvas.Pen().SetMode(pmNot);
    canvas.Pen().SetWidth(1);
    canvas.Pen().SetStyle(psDot);
    canvas.Brush().SetStyle(bsClear);
    canvas.DrawRectangle(workspace.SelStartX, workspace.SelStartY, workspace.SelEndX, workspace.SelEndY);
}

// The selection with its corners ordered, whichever way it was dragged.
TRect SelectedArea(const TWorkspace& workspace)
{
    return TRect{std::min(workspace.SelStartX, workspace.SelEndX), std::min(workspace.SelStartY, workspace.SelEndY),
                 std::max(workspace.SelStartX, workspace.SelEndX), std::max(workspace.SelStartY, workspace.SelEndY)};
}

} // namespace

void TForm1::Rotate1Click(TObject*)
{
    TurnWorkingPicture(*this, RotateBitmapClockwise);
}

void TForm1::CounterRotate1Click(TObject*)
{
    TurnWorkingPicture(*this, RotateBitmapCounterClockwise);
}

void TForm1::MoveSelection(int32_t X, int32_t Y)
{
    InvertSelectionOutline(Working(), Workspace);
    Workspace.SelEndX = X;
    Workspace.SelEndY = Y;
    InvertSelectionOutline(Working(), Workspace);
}

// The crop takes the corner of the last move; where the button comes up plays no part.
void TForm1::Image1MouseUp(TObject*, TMouseButton Button, TShiftState Shift, int32_t, int32_t)
{
    if (WorkingEmpty() || Button == mbRight || !Workspace.Selecting)
        return;
    Workspace.Selecting = false;
    if (Workspace.SelEndX == Workspace.SelStartX || Workspace.SelEndY == Workspace.SelStartY)
        return;
    InvertSelectionOutline(Working(), Workspace);
    // Ctrl let go before the button abandons the crop.
    if (!Shift.Contains(ssCtrl))
        return;
    TBusyCursor busy;
    const TRect area = SelectedArea(Workspace);
    // Whatever of the selection lies outside the picture stays white.
    const std::unique_ptr<TBitmap> cropped = WhiteBitmap(area.Width(), area.Height());
    cropped->Canvas().CopyArea(cropped->Canvas().ClipBounds(), Working().Canvas(), area);
    ReplaceWorkingPicture(*Image1, *Image2, *cropped);
}

void TForm1::Stretch1Click(TObject*)
{
    const bool stretched = Stretch1->isChecked();
    Resize1->setEnabled(stretched);
    if (stretched) {
        Image1->SetAlign(alClient);
        return;
    }
    // Left on, so that the view keeps following the picture's size until a command
    // switches it off.
    Image1->SetAutoSize(true);
    Image1->SetAlign(alNone);
}

void TForm1::Resize1Click(TObject*)
{
    TBusyCursor busy;
    const std::unique_ptr<TBitmap> scaled = WhiteBitmap(Image1->width(), Image1->height());
    scaled->Canvas().StretchGraphic(scaled->Canvas().ClipBounds(), &Working());
    ReplaceWorkingPicture(*Image1, *Image2, *scaled);
    Stretch1->setChecked(false);
    Stretch1Click(this);
}

} // namespace mirth
