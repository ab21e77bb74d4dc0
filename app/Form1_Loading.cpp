// Loading a file into the workspace: the open dialog, reload, and files dropped on the window.
#include <QScrollArea>

#include "app/Form1.h"
#include "controls/DropFiles.h"
#include "framework/Application.h"
#include "framework/BusyCursor.h"
#include "imaging/bitmap/Bitmap.h"
#include "imaging/picture/Picture.h"
#include "imaging/picture/WorkspaceFiles.h"
#include "runtime/FileNames.h"

namespace mirth {

bool TForm1::LoadPicture(const std::string& FileName)
{
    TBusyCursor busy;
    Image1->SetAutoSize(true);
    Image2->SetAutoSize(true);
    // What the user was working on, sharing its pixels: a file whose header reads but whose
    // data does not decode must not take it away.
    TPicture previous;
    previous.CopyFrom(Image1->Picture());
    try {
        Image1->Picture().LoadFile(FileName);
    } catch (const Exception& error) {
        busy.End();
        Application()->ShowMessage(error.Message());
        return false;
    }
    try {
        MakeWorkingBitmap(Image1->Picture());
    } catch (...) {
        Image1->Picture().CopyFrom(previous);
        throw;
    }
    Reference().CopyFrom(&Working());
    Image1->SetAutoSize(false);
    Image2->SetAutoSize(false);
    Reload1->setEnabled(true);
    return true;
}

void TForm1::EmptyThumbStrip()
{
    DeleteThumbsFrom(0);
    Workspace.ThumbCount = 0;
    ScrollBox2->setFixedWidth(50);
}

void TForm1::Load1Click(TObject*)
{
    if (!od.Execute())
        return;
    if (LoadPicture(od.FileName()))
        EmptyThumbStrip();
}

void TForm1::Reload1Click(TObject*)
{
    if (!od.FileName().empty())
        LoadPicture(od.FileName());
}

void TForm1::FormDropFiles1DropFiles(TObject*)
{
    const std::string fileName = FormDropFiles1->FirstDroppedFile();
    const std::string extension = LowerCaseAscii(ExtractFileExt(fileName));
    if (extension != ".bmp" && extension != ".jpg")
        return;
    try {
        if (LoadPicture(fileName))
            EmptyThumbStrip();
    } catch (...) {
        Beep();
    }
}

} // namespace mirth
