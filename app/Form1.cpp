#include "app/Form1.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "app/Icon.h"
#include "controls/DropFiles.h"
#include "controls/Slider.h"
#include "controls/SpinEdit.h"
#include "framework/RightAlignLayout.h"
#include "framework/Shell.h"
#include "imaging/bitmap/Bitmap.h"
#include "imaging/picture/PictureFileTypes.h"

namespace mirth {

namespace {

QFrame* RaisedPanel(QWidget* parent)
{
    auto* panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    return panel;
}

template <typename Control>
Control* Place(Control* control, int left, int top, int width, int height)
{
    control->setGeometry(left, top, width, height);
    return control;
}

QPushButton* Button(QWidget* parent, const char* caption, int left)
{
    return Place(new QPushButton(QString::fromUtf8(caption), parent), left, 3, 65, 24);
}

TSpinEdit* IntervalEditor(QWidget* parent, int left, const char* hint)
{
    auto* editor = Place(new TSpinEdit(parent), left, 8, 41, 22);
    editor->SetMinValue(50);
    editor->SetMaxValue(900);
    editor->SetIncrement(50);
    editor->setToolTip(QString::fromUtf8(hint));
    return editor;
}

} // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent)
{
    CreateControls();
    CreateMenu();
    WireEvents();
    FormCreate(this);
}

TForm1::~TForm1() = default;

void TForm1::CreateControls()
{
    setWindowTitle(QStringLiteral("Mirthlens "));
    setWindowIcon(MirthlensIcon());
    QFont formFont = font();
    formFont.setPointSize(8);
    setFont(formFont);
    setMinimumSize(130, 50);
    resize(483, 329);

    Panel2 = RaisedPanel(this);
    Panel2->setFixedHeight(36);
    QFont redFont = formFont;
    redFont.setPixelSize(11);
    Panel2->setFont(redFont);
    QPalette red = Panel2->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        red.setColor(role, Qt::red);
    Panel2->setPalette(red);
    Label2 = Place(new QLabel(Panel2), 11, 7, 20, 13);
    Slider1 = Place(new TSlider(Panel2), 32, -1, 271, 30);
    Slider1->SetMaxValue(200);
    Slider1->SetMinValue(0);
    Slider1->SetValue(35);
    Slider1->setToolTip(QStringLiteral("Change magnification "));
    SpinEdit1 = IntervalEditor(Panel2, 312, "Morph Interval");
    SpinEdit2 = IntervalEditor(Panel2, 360, "Animation Interval");
    looper = Place(new QCheckBox(QStringLiteral("Loop"), Panel2), 408, 11, 49, 17);
    looper->setToolTip(QStringLiteral("Loop functions"));

    Panel3 = RaisedPanel(this);
    Image2 = Place(new TImage(Panel3), 528, 128, 113, 59);
    Image2->SetStretch(true);
    Image2->hide();
    ScrollBox1 = new QScrollArea(Panel3);
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1 = Place(new TImage, 0, 0, 128, 136);
    Image1->SetStretch(true);
    ScrollBox1->setWidget(Image1);
    ScrollBox2 = new QScrollArea(Panel3);
    ScrollBox2->setFixedWidth(54);
    ThumbStrip = new QWidget;
    ThumbStrip->resize(0, 0);
    ScrollBox2->setWidget(ThumbStrip);
    new TRightAlignLayout(*Panel3, *ScrollBox1, *ScrollBox2);

    Panel1 = RaisedPanel(this);
    Panel1->setFixedHeight(31);
    Button1 = Button(Panel1, "Keep", 12);
    Button2 = Button(Panel1, "Undo", 80);
    Button4 = Button(Panel1, "Morph", 149);
    Button3 = Button(Panel1, "Animate", 218);
    Label1 = Place(new QLabel(QStringLiteral("Menu on right click"), Panel1), 304, 8, 90, 13);
    Label1->adjustSize();

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(Panel2);
    column->addWidget(Panel3, 1);
    column->addWidget(Panel1);

    QWidget* const tabOrder[] = {Button1, Button2, Button4, Button3, Slider1, SpinEdit1,
                                  SpinEdit2, looper, ScrollBox1, ScrollBox2};
    for (size_t k = 1; k < std::size(tabOrder); ++k)
        setTabOrder(tabOrder[k - 1], tabOrder[k]);
    // The window would otherwise start with the first control created that takes the focus,
    // the slider, and arrow keys would change the strength.
    tabOrder[0]->setFocus();

    FormDropFiles1 = new TFormDropFiles(this);
    FormDropFiles1->SetForegroundOnDrop(false);
    FormDropFiles1->SetOptions({dfoIncFiles});

    od.SetFilter(OpenDialogFilter());
    sd.SetFilter("Bitmap (*.bmp)|*.bmp|JPEG (*.jpg)|*.jpg|PNG (*.png)|*.png|WebP (*.webp)|*.webp");
    sd.SetDefaultExt("bmp");
    sdPlayback.SetFilter("Animated GIF|*.gif|Animated WebP|*.webp");
    sdPlayback.SetDefaultExt("gif");
}

QAction* TForm1::AddMenuItem(const char* caption, int key, void (TForm1::*handler)(TObject*))
{
    auto* item = new QAction(QString::fromUtf8(caption), this);
    if (key != 0)
        item->setShortcut(QKeySequence(Qt::CTRL | key));
    connect(item, &QAction::triggered, this, [this, handler] { (this->*handler)(this); });
    PopupMenu1->addAction(item);
    // Added to the window as well, so that the shortcut works wherever the focus is in it.
    addAction(item);
    return item;
}

void TForm1::CreateMenu()
{
    PopupMenu1 = new QMenu(this);
    Load1 = AddMenuItem("&Load", Qt::Key_L, &TForm1::Load1Click);
    Reload1 = AddMenuItem("&Reload", Qt::Key_R, &TForm1::Reload1Click);
    Save1 = AddMenuItem("&Save", Qt::Key_S, &TForm1::Save1Click);
    SaveMorph1 = AddMenuItem("Save Mor&ph...", 0, &TForm1::SaveMorph1Click);
    SaveMorph1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    SaveAnimation1 = AddMenuItem("Save A&nimation...", 0, &TForm1::SaveAnimation1Click);
    SaveAnimation1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
    Rotate1 = AddMenuItem("R&otate", Qt::Key_O, &TForm1::Rotate1Click);
    CounterRotate1 = AddMenuItem("Cou&nterRotate", Qt::Key_N, &TForm1::CounterRotate1Click);
    Copy1 = AddMenuItem("&Copy", Qt::Key_C, &TForm1::Copy1Click);
    Paste1 = AddMenuItem("Paste", Qt::Key_V, &TForm1::Paste1Click);
    Keep1 = AddMenuItem("&Keep", Qt::Key_K, &TForm1::Keep1Click);
    Undo1 = AddMenuItem("&Undo", Qt::Key_U, &TForm1::Undo1Click);
    Stretch1 = AddMenuItem("S&tretch", Qt::Key_T, &TForm1::Stretch1Click);
    Resize1 = AddMenuItem("R&esize", Qt::Key_E, &TForm1::Resize1Click);
    Blend1 = AddMenuItem("Morph", 0, &TForm1::Blend1Click);
    Animate1 = AddMenuItem("Animate", 0, &TForm1::Animate1Click);
    ShowThumbs1 = AddMenuItem("Show Thumbs", 0, &TForm1::ShowThumbs1Click);
    DeleteThumbs1 = AddMenuItem("Delete Thumbs", 0, &TForm1::DeleteThumbs1Click);
    EXIT1 = AddMenuItem("EXIT", 0, &TForm1::EXIT1Click);
    About1 = AddMenuItem("About", 0, &TForm1::About1Click);

    Reload1->setEnabled(false);
    Resize1->setEnabled(false);
    // A checkable action flips its mark before it triggers: the handler reads the new state.
    Stretch1->setCheckable(true);
    ShowThumbs1->setCheckable(true);
    ShowThumbs1->setChecked(true);
    UpdatePlaybackSaving();
}

void TForm1::WireEvents()
{
    Slider1->OnChange = [this](TObject* sender) { Slider1Change(sender); };
    Slider1->OnMouseUp = [this](TObject* sender, TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
        Slider1MouseUp(sender, button, shift, x, y);
    };
    SpinEdit1->OnChange = [this](TObject* sender) { SpinEdit1Change(sender); };
    SpinEdit2->OnChange = [this](TObject* sender) { SpinEdit2Change(sender); };
    Image1->OnMouseDown = [this](TObject* sender, TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
        Image1MouseDown(sender, button, shift, x, y);
    };
    Image1->OnMouseMove = [this](TObject* sender, TShiftState shift, int32_t x, int32_t y) {
        Image1MouseMove(sender, shift, x, y);
    };
    Image1->OnMouseUp = [this](TObject* sender, TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
        Image1MouseUp(sender, button, shift, x, y);
    };
    connect(Button1, &QPushButton::clicked, this, [this] { Keep1Click(this); });
    connect(Button2, &QPushButton::clicked, this, [this] { Undo1Click(this); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(this); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(this); });
    FormDropFiles1->OnDropFiles = [this](TObject* sender) { FormDropFiles1DropFiles(sender); };
    Timer1.OnTimer = [this](TObject* sender) { Timer1Timer(sender); };
    Timer2.OnTimer = [this](TObject* sender) { Timer2Timer(sender); };
    // The wheel belongs to the window: it must reach the slider before any scroll area
    // or control under the pointer takes it. The same filter sees the bottom panel's
    // double-clicks; a filter of the panel's own would see each one a second time.
    qApp->installEventFilter(this);
}

void TForm1::FormCreate(TObject*)
{
    Label2->setText(QString::number(Slider1->Value()));
    SpinEdit1->SetValue(Timer1.Interval());
    SpinEdit2->SetValue(Timer2.Interval());
}

void TForm1::LoadFromCommandLine(const std::string& fileName)
{
    od.SetFileName(fileName);
    LoadPicture(fileName);
}

void TForm1::EXIT1Click(TObject*)
{
    close();
}

void TForm1::About1Click(TObject*)
{
    OpenDocument(ExecutableFolder() + "readme.html");
}

void TForm1::Panel1DblClick(TObject*)
{
    if (!WorkingEmpty())
        Button1->click();
}

TBitmap& TForm1::Working()
{
    return Image1->Picture().AsBitmap();
}

TBitmap& TForm1::Reference()
{
    return Image2->Picture().AsBitmap();
}

bool TForm1::WorkingEmpty()
{
    return Working().Empty();
}

void TForm1::contextMenuEvent(QContextMenuEvent* event)
{
    PopupMenu1->popup(event->globalPos());
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Wheel) {
        auto* widget = qobject_cast<QWidget*>(watched);
        return widget != nullptr && widget->window() == this && HandleWheel(static_cast<QWheelEvent*>(event));
    }
    if (watched == Panel1 && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        Panel1DblClick(this);
    return false;
}

// On X11 a wheel turned with Alt held arrives as a horizontal delta.
bool TForm1::HandleWheel(QWheelEvent* event)
{
    const QPoint delta = event->angleDelta();
    const int notches = wheelNotches_.Take(delta.y() != 0 ? delta.y() : delta.x());
    for (int k = 0; k > notches; --k)
        FormMouseWheelDown(this);
    for (int k = 0; k < notches; ++k)
        FormMouseWheelUp(this);
    return true;
}

} // namespace mirth
