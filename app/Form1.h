#pragma once
#include <QWidget>

#include <string>
#include <vector>

#include "app/Workspace.h"
#include "imaging/animation/AnimationEncoder.h"
#include "framework/FileDialogs.h"
#include "framework/Image.h"
#include "framework/ImageList.h"
#include "framework/Input.h"
#include "framework/Timer.h"
#include "runtime/Classes.h"

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;

namespace mirth {

class TBitmap;
class TFormDropFiles;
class TScaledFrames;
class TSlider;
class TSpinEdit;

// The program's one window. Its controls carry the names and values of the window's
// description; the handlers of each concern live in a file of their own
// (Form1_Loading.cpp, Form1_Lens.cpp, ...).
class TForm1 : public QWidget, public TObject {
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // A file named when the program was started: loaded as if chosen in the open dialog.
    void LoadFromCommandLine(const std::string& fileName);

    // Controls, from the top of the window down.
    QFrame* Panel2;
    QLabel* Label2;
    TSlider* Slider1;
    TSpinEdit* SpinEdit1;
    TSpinEdit* SpinEdit2;
    QCheckBox* looper;
    QFrame* Panel3;
    TImage* Image2;
    QScrollArea* ScrollBox1;
    TImage* Image1;
    QScrollArea* ScrollBox2;
    QWidget* ThumbStrip; // the strip's scrolled content, parent of the thumbnails
    QFrame* Panel1;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button4;
    QPushButton* Button3;
    QLabel* Label1;

    // Components without a place on screen.
    TOpenDialog od;
    TSaveDialog sd;
    TSaveDialog sdPlayback; // for the morph and the animation
    QMenu* PopupMenu1;
    QAction* Load1;
    QAction* Reload1;
    QAction* Save1;
    QAction* SaveMorph1;
    QAction* SaveAnimation1;
    QAction* Rotate1;
    QAction* CounterRotate1;
    QAction* Copy1;
    QAction* Paste1;
    QAction* Keep1;
    QAction* Undo1;
    QAction* Stretch1;
    QAction* Resize1;
    QAction* Blend1;
    QAction* Animate1;
    QAction* ShowThumbs1;
    QAction* DeleteThumbs1;
    QAction* EXIT1;
    QAction* About1;
    TFormDropFiles* FormDropFiles1;
    TImageList ImageList1;
    TTimer Timer1{200};
    TTimer Timer2{100};

    TWorkspace Workspace;

    // The window itself.
    void FormCreate(TObject* Sender);
    void EXIT1Click(TObject* Sender);
    void About1Click(TObject* Sender);
    void Panel1DblClick(TObject* Sender);

    // Loading.
    // True once the file's picture is the working picture; false when the load failed and
    // its message has been shown. A failure after the file was read propagates, with the
    // previous picture back in place.
    bool LoadPicture(const std::string& FileName);
    void Load1Click(TObject* Sender);
    void Reload1Click(TObject* Sender);
    void FormDropFiles1DropFiles(TObject* Sender);

    // The lens.
    void DistortAt(TPoint P);
    void Image1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y);
    void Image1MouseMove(TObject* Sender, TShiftState Shift, int32_t X, int32_t Y);
    void Slider1Change(TObject* Sender);
    void Slider1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y);
    void FormMouseWheelDown(TObject* Sender);
    void FormMouseWheelUp(TObject* Sender);

    // Snapshots and the strip.
    void Keep1Click(TObject* Sender);
    void AddThumb();
    void ThumbClick(TObject* Sender);
    void Undo1Click(TObject* Sender);
    void DeleteThumbs1Click(TObject* Sender);
    void ShowThumbs1Click(TObject* Sender);
    // The strip's thumbnails in creation order, the oldest first.
    std::vector<TImage*> Thumbnails() const;

    // Playback.
    void Button4Click(TObject* Sender);
    void Blend1Click(TObject* Sender);
    void Timer1Timer(TObject* Sender);
    void Button3Click(TObject* Sender);
    void Animate1Click(TObject* Sender);
    // Refills ImageList1 with the thumbnails' pictures, at the first one's size.
    void FillAnimationList();
    void Timer2Timer(TObject* Sender);
    void SpinEdit1Change(TObject* Sender);
    void SpinEdit2Change(TObject* Sender);

    // Saving the playbacks as animated files.
    void SaveMorph1Click(TObject* Sender);
    void SaveAnimation1Click(TObject* Sender);
    // The morph needs two thumbnails, the animation one.
    void UpdatePlaybackSaving();

    // Geometry.
    void Rotate1Click(TObject* Sender);
    void CounterRotate1Click(TObject* Sender);
    void Image1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int32_t X, int32_t Y);
    void Stretch1Click(TObject* Sender);
    void Resize1Click(TObject* Sender);
    // Moves the selection's free corner to (X, Y) while a crop is being dragged.
    void MoveSelection(int32_t X, int32_t Y);

    // Saving and the clipboard.
    void Save1Click(TObject* Sender);
    void Copy1Click(TObject* Sender);
    void Paste1Click(TObject* Sender);

    // The working and the reference picture.
    TBitmap& Working();
    TBitmap& Reference();
    bool WorkingEmpty();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void CreateMenu();
    QAction* AddMenuItem(const char* caption, int key, void (TForm1::*handler)(TObject*));
    void WireEvents();
    // Thumbnails hold the user's kept work: the strip is emptied only for a picture that
    // has loaded.
    void EmptyThumbStrip();
    // Destroys the thumbnails from index `first` on, the newest first.
    void DeleteThumbsFrom(size_t first);
    // Sizes the strip's content to hold its thumbnails, so that the strip scrolls over them.
    void FitThumbStrip();
    bool HandleWheel(QWheelEvent* event);
    // Asks for a name and a size, then encodes the frames off the window's thread.
    void SavePlayback(TScaledFrames& frames, const char* caption, TAnimationTiming timing);

    TWheelNotches wheelNotches_;
};

} // namespace mirth
