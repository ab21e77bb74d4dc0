// Pictures between Mirthlens and another program over a real X clipboard, with xclip as
// the other program.
#include <QClipboard>
#include <QProcess>

#include "support/Pictures.h"
#include "support/QtImages.h"
#include "support/WindowTesting.h"

namespace mirth {
namespace {

using testing::EncodedImage;
using testing::ImageBytes;
using testing::PixelBytes;
using testing::RandomBitmap;
using testing::WindowTest;

constexpr int kTimeoutMs = 20000;

// Runs xclip to its end while our event loop keeps running: the copy is only handed out
// while we answer the other program's requests.
QByteArray Xclip(const QStringList& arguments)
{
    QProcess xclip;
    xclip.start("xclip", QStringList{"-selection", "clipboard"} + arguments);
    if (!xclip.waitForStarted(kTimeoutMs)) {
        ADD_FAILURE() << "cannot run xclip (scripts/install-deps installs it)";
        return {};
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return xclip.state() == QProcess::NotRunning; }, kTimeoutMs));
    EXPECT_EQ(xclip.exitCode(), 0) << xclip.readAllStandardError().toStdString();
    return xclip.readAllStandardOutput();
}

TEST_F(WindowTest, APictureTravelsToAndFromAnotherProgram)
{
    // Without a window manager nothing gives the window the keyboard for its shortcuts.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    auto photo = RandomBitmap(64, 48);
    Load("photo.bmp", *photo);
    ASSERT_EQ(PixelBytes(form->Working()), PixelBytes(*photo));
    Key(Qt::Key_C, Qt::ControlModifier);
    const QByteArray targets = Xclip({"-t", "TARGETS", "-o"});
    EXPECT_TRUE(targets.contains("image/png") && targets.contains("image/bmp")) << targets.toStdString();
    EXPECT_EQ(ImageBytes(QImage::fromData(Xclip({"-t", "image/png", "-o"}), "PNG")), PixelBytes(*photo));
    EXPECT_EQ(ImageBytes(QImage::fromData(Xclip({"-t", "image/bmp", "-o"}), "BMP")), PixelBytes(*photo));

    // xclip stays behind to serve the picture it put there until another takes its place.
    auto other = RandomBitmap(50, 40, 5);
    const QByteArray encoded = EncodedImage(*other, "PNG");
    const std::string png = Write("other.png", {encoded.begin(), encoded.end()});
    Xclip({"-t", "image/png", "-i", QString::fromStdString(png)});
    QClipboard& clipboard = *QGuiApplication::clipboard();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !clipboard.ownsClipboard(); }, kTimeoutMs));
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(PixelBytes(form->Working()), PixelBytes(*other));
    EXPECT_EQ(PixelBytes(form->Reference()), PixelBytes(*other));
    EXPECT_EQ(form->Image1->size(), QSize(50, 40));
    EXPECT_TRUE(notices.Reports().empty());
}

} // namespace
} // namespace mirth
