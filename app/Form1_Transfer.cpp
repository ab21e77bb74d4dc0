// Pictures leaving and entering the window: saving, copying and pasting.
#include "app/Form1.h"
#include "app/WorkingPicture.h"
#include "framework/BusyCursor.h"
#include "imaging/bitmap/Canvas.h"
#include "imaging/picture/Clipboard.h"
#include "imaging/picture/ClipboardFormats.h"
#include "imaging/picture/WorkspaceFiles.h"
#include "runtime/FileNames.h"

namespace mirth {

void TForm1::Save1Click(TObject*)
{
    if (WorkingEmpty())
        return;
    sd.SetFileName(WithoutFileExt(od.FileName()));
    if (!sd.Execute())
        return;
    // Not before: the dialog is the user's to take their time over.
    TBusyCursor busy;
    SaveWorkingBitmap(Working(), sd.FileName());
}

void TForm1::Copy1Click(TObject*)
{
    TBusyCursor busy;
    SystemClipboard().CopyFrom(Image1->Picture());
}

void TForm1::Paste1Click(TObject*)
{
    // From the first question on: the program that owns the clipboard may be slow to
    // answer, or not answer at all. One open for the whole paste, so that it is asked
    // what it offers once.
    TBusyCursor busy;
    OpenClipboard open(SystemClipboard());
    if (!SystemClipboard().ContainsFormat(cfBitmap))
        return;
    Image1->SetAutoSize(true);
    Image2->SetAutoSize(true);
    // Read before anything changes: a clipboard that offers a bitmap but hands out none
    // fails here and leaves both pictures as they were.
    SystemClipboard().CopyTo(Working());
    // The view has taken the pasted size, or in the stretched mode still fills the scroll
    // area: the picture becomes what the view shows unscaled, white where nothing was.
    const std::unique_ptr<TBitmap> pasted = WhiteBitmap(Image1->width(), Image1->height());
    pasted->Canvas().DrawGraphic(0, 0, &Working());
    ReplaceWorkingPicture(*Image1, *Image2, *pasted);
}

} // namespace mirth
