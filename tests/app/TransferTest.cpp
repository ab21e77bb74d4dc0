// Saving under the names a user types, and the clipboard both ways through Qt's clipboard.
#include <QAction>
#include <QClipboard>
#include <QScrollArea>

#include <fstream>

#include "imaging/bitmap/Canvas.h"
#include "support/JpegStreams.h"
#include "support/Pictures.h"
#include "support/QtImages.h"
#include "support/WindowTesting.h"

namespace mirth {
namespace {

using testing::EncodedImage;
using testing::ImageBytes;
using testing::MakeJpeg;
using testing::PixelBytes;
using testing::RandomBitmap;
using testing::WindowTest;

std::vector<uint8_t> FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The 24-bit pixels of a BMP file, or nothing when it is no BMP of that depth.
std::vector<uint8_t> BmpPixels(const std::string& path)
{
    TBitmap bitmap;
    bitmap.LoadFile(path);
    return bitmap.PixelLayout() == pl24Bit ? PixelBytes(bitmap) : std::vector<uint8_t>{};
}

// What another program leaves on the clipboard.
void PutOnClipboard(const QString& type, const QByteArray& bytes)
{
    auto* data = new QMimeData;
    data->setData(type, bytes);
    QGuiApplication::clipboard()->setMimeData(data);
}

TEST_F(WindowTest, SaveProposesTheOpenedNameAndTheTypedNameAloneChoosesTheFormat)
{
    Key(Qt::Key_S, Qt::ControlModifier); // nothing loaded: no dialog
    EXPECT_TRUE(chooser->requests.empty());
    auto photo = RandomBitmap(40, 24);
    Answer(Write("cat.jpg", MakeJpeg(*photo)));
    Key(Qt::Key_L, Qt::ControlModifier);
    const std::vector<uint8_t> jpeg60 = MakeJpeg(form->Working(), {.quality = 60});
    const std::vector<uint8_t> shown = PixelBytes(form->Working());

    struct Case {
        const char* typed;
        const char* written;
        bool jpeg;
    };
    for (const Case& c : {Case{"cat2.jpg", "cat2.jpg", true}, Case{"cat2", "cat2.bmp", false},
                          Case{"cat2.JPG", "cat2.JPG", true}, Case{"cat2.jpeg", "cat2.jpeg", false}}) {
        SCOPED_TRACE(c.typed);
        Answer(PathOf(c.typed));
        Key(Qt::Key_S, Qt::ControlModifier);
        EXPECT_EQ(chooser->requests.back().kind, TFileRequest::Save);
        EXPECT_EQ(chooser->requests.back().fileName, PathOf("cat"));
        if (c.jpeg)
            EXPECT_EQ(FileBytes(PathOf(c.written)), jpeg60);
        else
            EXPECT_EQ(BmpPixels(PathOf(c.written)), shown);
    }
    EXPECT_EQ(chooser->requests.back().filters,
              (std::vector<std::string>{"Bitmap (*.bmp)", "JPEG (*.jpg)"}));

    // An existing file is replaced without a question.
    Key(Qt::Key_O, Qt::ControlModifier);
    Answer(PathOf("cat2.bmp"));
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(BmpPixels(PathOf("cat2.bmp")), PixelBytes(form->Working()));

    // A folder with a dot and a name without one is proposed as it is.
    std::filesystem::create_directories(PathOf("x.d"));
    form->od.SetFileName(PathOf("x.d/cat"));
    Answer(std::nullopt);
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(chooser->requests.back().fileName, PathOf("x.d/cat"));

    Answer(PathOf("no/such/folder/cat.bmp"));
    Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(notices.Reports().size(), 1u);
    EXPECT_EQ(notices.Reports()[0].icon, TMessageIcon::Error);
    EXPECT_EQ(notices.Reports()[0].text,
              "Cannot create file \"" + PathOf("no/such/folder/cat.bmp") + "\". No such file or directory.");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WindowTest, CopyOffersTheDesktopImagesAndPasteTakesThemBackInAnyMode)
{
    QClipboard& clipboard = *QGuiApplication::clipboard();
    clipboard.setText("before");
    Key(Qt::Key_C, Qt::ControlModifier); // nothing loaded: the clipboard is emptied
    EXPECT_TRUE(clipboard.text().isEmpty() && clipboard.image().isNull());

    auto photo = RandomBitmap(100, 50);
    Load("photo.bmp", *photo);
    Key(Qt::Key_C, Qt::ControlModifier);
    const QMimeData& copied = *clipboard.mimeData();
    EXPECT_TRUE(copied.hasFormat("image/bmp") && copied.hasFormat("image/png"));
    EXPECT_EQ(ImageBytes(QImage::fromData(copied.data("image/png"), "PNG")), PixelBytes(*photo));
    EXPECT_EQ(ImageBytes(QImage::fromData(copied.data("image/bmp"), "BMP")), PixelBytes(*photo));
    EXPECT_EQ(ImageBytes(clipboard.image()), PixelBytes(*photo));

    // Our own copy comes back after a turn; the view takes its size again.
    Key(Qt::Key_O, Qt::ControlModifier);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(PixelBytes(form->Working()), PixelBytes(*photo));
    EXPECT_EQ(PixelBytes(form->Reference()), PixelBytes(*photo));
    EXPECT_EQ(form->Image1->size(), QSize(100, 50));
    EXPECT_EQ(form->Working().PixelLayout(), pl24Bit);

    // Another program's PNG, pasted in the stretched mode: at the top-left of a white
    // picture the size of the scroll area.
    auto other = RandomBitmap(100, 50, 9);
    PutOnClipboard("image/png", EncodedImage(*other, "PNG"));
    Key(Qt::Key_T, Qt::ControlModifier);
    Key(Qt::Key_V, Qt::ControlModifier);
    const QSize area = form->ScrollBox1->viewport()->size();
    ASSERT_EQ(QSize(form->Working().Width(), form->Working().Height()), area);
    TBitmap expected;
    expected.SetPixelLayout(pl24Bit);
    expected.SetWidth(area.width());
    expected.SetHeight(area.height());
    expected.Canvas().DrawGraphic(0, 0, other.get());
    EXPECT_EQ(PixelBytes(form->Working()), PixelBytes(expected));
    EXPECT_EQ(PixelBytes(form->Reference()), PixelBytes(expected));

    // Text is no picture; an image that does not decode fails before anything changes.
    clipboard.setText("words");
    Key(Qt::Key_V, Qt::ControlModifier);
    PutOnClipboard("image/png", "not a png");
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(notices.Reports().size(), 1u);
    EXPECT_EQ(notices.Reports()[0].text, "Unsupported clipboard format.");
    EXPECT_EQ(PixelBytes(form->Working()), PixelBytes(expected));
    EXPECT_TRUE(form->Image1->AutoSize() && form->Image2->AutoSize());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
} // namespace mirth
