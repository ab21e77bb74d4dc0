// The lens: a click, an Alt-move, the slider and the wheel all redraw it.
#include <QLabel>

#include "app/Form1.h"
#include "controls/Slider.h"
#include "effects/LensPainter.h"

namespace mirth {

void TForm1::DistortAt(TPoint P)
{
    const TPoint centre = LensCentre(P);
    Workspace.LensPoint = centre;
    Image1->Repaint(Workspace.Lens.Draw(Reference(), Working(), centre, Slider1->Value()));
}

void TForm1::Image1MouseDown(TObject*, TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y)
{
    if (Button == mbRight || WorkingEmpty() || Stretch1->isChecked())
        return;
    if (Shift.Contains(ssCtrl)) {
        Workspace.Selecting = true;
        Workspace.SelStartX = Workspace.SelEndX = X;
        Workspace.SelStartY = Workspace.SelEndY = Y;
        return;
    }
    DistortAt({X, Y});
}

void TForm1::Image1MouseMove(TObject*, TShiftState Shift, int32_t X, int32_t Y)
{
    if (!WorkingEmpty() && Shift.Contains(ssAlt))
        DistortAt({X, Y});
    if (Workspace.Selecting)
        MoveSelection(X, Y);
}

void TForm1::Slider1Change(TObject*)
{
    Label2->setText(QString::number(Slider1->Value()));
    if (!WorkingEmpty())
        DistortAt(Workspace.LensPoint);
}

void TForm1::Slider1MouseUp(TObject*, TMouseButton, TShiftState, int32_t, int32_t)
{
    if (!WorkingEmpty())
        DistortAt(Workspace.LensPoint);
}

void TForm1::FormMouseWheelDown(TObject*)
{
    Slider1->SetValue(Slider1->Value() + 1);
}

void TForm1::FormMouseWheelUp(TObject*)
{
    Slider1->SetValue(Slider1->Value() - 1);
}

} // namespace mirth
