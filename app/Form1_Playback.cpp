// Playback of the thumbnails: the morph from the first to the last, and the animation.
#include <QCheckBox>
#include <QPushButton>

#include "app/Form1.h"
#include "controls/SpinEdit.h"
#include "effects/Blend.h"
#include "imaging/bitmap/Bitmap.h"
#include "runtime/Exceptions.h"

namespace mirth {

void TForm1::Button4Click(TObject*)
{
    if (Thumbnails().size() < 2)
        return;
    Timer2.SetEnabled(false);
    Timer1.SetEnabled(!Timer1.Enabled());
    Workspace.MorphFactor = 0;
}

void TForm1::Blend1Click(TObject*)
{
    Button4->click();
}

// A load empties the strip without stopping the morph: with no thumbnail left there is
// nothing to blend, and since "Keep" is refused while the morph runs none can come back,
// so the tick stops it. A last picture smaller than the first cannot be blended: the
// morph stops before the one report, so that the next ticks do not repeat it.
void TForm1::Timer1Timer(TObject*)
{
    const std::vector<TImage*> thumbs = Thumbnails();
    if (thumbs.empty()) {
        Timer1.SetEnabled(false);
        return;
    }
    try {
        BlendBitmaps(thumbs.front()->Picture().AsBitmap(), thumbs.back()->Picture().AsBitmap(), Working(),
                     Workspace.MorphFactor);
    } catch (const EInvalidOperation&) {
        Timer1.SetEnabled(false);
        throw;
    }
    Image1->Repaint();
    if (Workspace.MorphFactor >= 1) {
        if (looper->isChecked())
            Workspace.MorphFactor = 0;
        else
            Timer1.SetEnabled(false);
    } else {
        Workspace.MorphFactor = Workspace.MorphFactor + kMorphStep;
    }
}

void TForm1::Button3Click(TObject*)
{
    if (Thumbnails().size() < 2)
        return;
    Timer1.SetEnabled(false);
    FillAnimationList();
    Workspace.AnimFrame = 0;
    Timer2.SetEnabled(!Timer2.Enabled());
}

void TForm1::Animate1Click(TObject*)
{
    Button3->click();
}

void TForm1::FillAnimationList()
{
    ImageList1.Clear();
    const std::vector<TImage*> thumbs = Thumbnails();
    const TPicture& first = thumbs.front()->Picture();
    ImageList1.SetHeight(first.Height());
    ImageList1.SetWidth(first.Width());
    for (TImage* thumb : thumbs)
        ImageList1.Add(thumb->Picture().AsBitmap());
}

void TForm1::Timer2Timer(TObject*)
{
    ImageList1.CopyFrame(Workspace.AnimFrame, Working());
    Image1->Repaint();
    if (Workspace.AnimFrame < ImageList1.Count() - 1)
        ++Workspace.AnimFrame;
    else if (looper->isChecked())
        Workspace.AnimFrame = 0;
    else
        Timer2.SetEnabled(false);
}

void TForm1::SpinEdit1Change(TObject*)
{
    Timer1.SetInterval(SpinEdit1->Value());
}

void TForm1::SpinEdit2Change(TObject*)
{
    Timer2.SetInterval(SpinEdit2->Value());
}

} // namespace mirth
