// Pictures between Mirthlens and another program over a real X clipboard, with xclip as
// the other program.
#include <QBuffer>
#include <QClipboard>
#include <QElapsedTimer>
#include <QProcess>

#include <signal.h>

#include <atomic>
#include <future>
#include <thread>

#include "support/Pictures.h"
#include "support/QtImages.h"
#include "support/WindowTesting.h"

// Last: Xlib defines words such as None and Bool as macros.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

namespace mirth {
namespace {

using testing::EncodedImage;
using testing::ImageBytes;
using testing::Pixel;
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

QByteArray Png(const QImage& image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// Asked by another program, so that this one has not yet asked, nor remembered, anything.
bool OffersPng()
{
    QProcess query;
    query.start("xclip", {"-selection", "clipboard", "-t", "TARGETS", "-o"});
    return QTest::qWaitFor([&] { return query.state() == QProcess::NotRunning; }, kTimeoutMs) &&
           query.readAllStandardOutput().contains("image/png");
}

QByteArray BigEndian(uint32_t value)
{
    const char bytes[] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    return {bytes, 4};
}

QByteArray PngChunk(const char* type, const QByteArray& data)
{
    const QByteArray body = type + data;
    uint32_t crc = 0xFFFFFFFF;
    for (const char c : body) {
        crc ^= uint8_t(c);
        for (int k = 0; k < 8; ++k)
            crc = crc >> 1 ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    return BigEndian(uint32_t(data.size())) + body + BigEndian(~crc);
}

// A PNG that declares a size above any bitmap's cap but holds no pixels.
QByteArray OversizedPng(uint32_t width, uint32_t height)
{
    const QByteArray header = BigEndian(width) + BigEndian(height) + QByteArray("\x08\x02\x00\x00\x00", 5);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", header) + PngChunk("IDAT", "x") + PngChunk("IEND", {});
}

// xclip serving a file on the clipboard in the foreground, so that it can be stopped;
// stopped or not, it is ended with the test.
class XclipOwner {
public:
    explicit XclipOwner(const std::string& file)
    {
        process_.start("xclip", {"-selection", "clipboard", "-quiet", "-t", "image/png", "-i", QString::fromStdString(file)});
        EXPECT_TRUE(process_.waitForStarted(kTimeoutMs));
        EXPECT_TRUE(QTest::qWaitFor([] { return OffersPng(); }, kTimeoutMs));
    }
    ~XclipOwner()
    {
        Signal(SIGCONT);
        process_.terminate();
        process_.waitForFinished(kTimeoutMs);
    }
    void Signal(int signal) { ::kill(pid_t(process_.processId()), signal); }

private:
    QProcess process_;
};

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

// Pictures from other programs paste whatever Qt's own decoding would refuse: a 36-megapixel
// PNG (above Qt's 128 MB allocation limit) and one with alpha, which is laid over white.
TEST_F(WindowTest, LargeAndTransparentPicturesFromAnotherProgramPaste)
{
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QImage large(7360, 4912, QImage::Format_RGB32);
    large.fill(Qt::white);
    large.setPixel(0, 0, qRgb(10, 20, 30));
    large.setPixel(7359, 4911, qRgb(200, 100, 50));
    const QByteArray largePng = Png(large);
    {
        XclipOwner owner(Write("large.png", {largePng.begin(), largePng.end()}));
        Key(Qt::Key_V, Qt::ControlModifier);
    }
    EXPECT_TRUE(notices.Reports().empty());
    ASSERT_EQ(form->Working().Width(), 7360);
    ASSERT_EQ(form->Working().Height(), 4912);
    EXPECT_EQ(Pixel(form->Working(), 0, 0), (std::vector<uint8_t>{30, 20, 10}));
    EXPECT_EQ(Pixel(form->Working(), 7359, 4911), (std::vector<uint8_t>{50, 100, 200}));
    EXPECT_EQ(Pixel(form->Working(), 1, 0), (std::vector<uint8_t>{255, 255, 255}));

    // Every opacity of one colour, and full colours at none and at full opacity.
    QImage clear(256, 2, QImage::Format_ARGB32);
    for (int x = 0; x < 256; ++x) {
        clear.setPixel(x, 0, qRgba(0, 128, 255, x));
        clear.setPixel(x, 1, qRgba(x, 255 - x, 7, x % 2 == 0 ? 0 : 255));
    }
    const QByteArray clearPng = Png(clear);
    {
        XclipOwner owner(Write("clear.png", {clearPng.begin(), clearPng.end()}));
        Key(Qt::Key_V, Qt::ControlModifier);
    }
    ASSERT_EQ(form->Working().Width(), 256);
    auto overWhite = [](int channel, int alpha) { return uint8_t(std::lround(channel * alpha / 255.0 + 255 - alpha)); };
    for (int x = 0; x < 256; ++x) {
        const QRgb top = clear.pixel(x, 0), bottom = clear.pixel(x, 1);
        EXPECT_EQ(Pixel(form->Working(), x, 0),
                  (std::vector<uint8_t>{overWhite(qBlue(top), x), overWhite(qGreen(top), x), overWhite(qRed(top), x)}))
            << x;
        const std::vector<uint8_t> white{255, 255, 255}, opaque{uint8_t(qBlue(bottom)), uint8_t(qGreen(bottom)), uint8_t(qRed(bottom))};
        EXPECT_EQ(Pixel(form->Working(), x, 1), x % 2 == 0 ? white : opaque) << x;
    }
    EXPECT_EQ(PixelBytes(form->Reference()), PixelBytes(form->Working()));

    // Above the cap, the model's own refusal comes before any decoding.
    const QByteArray oversized = OversizedPng(20000, 20000);
    {
        XclipOwner owner(Write("oversized.png", {oversized.begin(), oversized.end()}));
        Key(Qt::Key_V, Qt::ControlModifier);
    }
    ASSERT_EQ(notices.Reports().size(), 1u);
    EXPECT_EQ(notices.Reports()[0].text, "Out of system resources.");
    EXPECT_EQ(form->Working().Width(), 256);
}

// The shape the X server shows at the pointer, by the number it gives each cursor.
unsigned long CursorShown(Display* display)
{
    XFixesCursorImage* image = XFixesGetCursorImage(display);
    const unsigned long serial = image != nullptr ? image->cursor_serial : 0;
    XFree(image);
    return serial;
}

// A program that owns the clipboard and has stopped answering costs a paste one of Qt's
// waits for an answer (five seconds), not one for every question, under the busy cursor:
// stopped before it told what it offers, nothing is pasted; stopped after, the paste fails
// as a clipboard that offers a bitmap but hands out none does. Answering again, it is
// pasted from.
TEST_F(WindowTest, AnOwnerThatStopsAnsweringCostsAPasteOneWaitUnderTheBusyCursor)
{
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    auto photo = RandomBitmap(64, 48);
    Load("photo.bmp", *photo);
    QCursor::setPos(form->mapToGlobal(form->rect().center()));
    auto other = RandomBitmap(30, 20, 8);
    const QByteArray png = EncodedImage(*other, "PNG");
    XclipOwner owner(Write("other.png", {png.begin(), png.end()}));
    owner.Signal(SIGSTOP);

    // The cursor is read from the X server while the window waits.
    std::promise<unsigned long> before;
    std::atomic<bool> done = false;
    unsigned long waiting = 0, after = 0;
    std::thread watcher([&] {
        Display* display = XOpenDisplay(nullptr);
        before.set_value(display != nullptr ? CursorShown(display) : 0);
        if (display == nullptr)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        waiting = CursorShown(display);
        while (!done)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        after = CursorShown(display);
        XCloseDisplay(display);
    });
    const unsigned long arrow = before.get_future().get();
    QElapsedTimer paste;
    paste.start();
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_LT(paste.elapsed(), 9000) << "one wait is five seconds";
    QTest::qWait(200);
    done = true;
    watcher.join();
    EXPECT_NE(arrow, 0u);
    EXPECT_NE(waiting, arrow) << "no busy cursor while waiting";
    EXPECT_NE(after, waiting) << "the busy cursor stayed";
    EXPECT_EQ(PixelBytes(form->Working()), PixelBytes(*photo));
    EXPECT_TRUE(notices.Reports().empty());

    // Once it answers others again, it has also answered the request it left waiting.
    owner.Signal(SIGCONT);
    ASSERT_TRUE(OffersPng());
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(PixelBytes(form->Working()), PixelBytes(*other));

    owner.Signal(SIGSTOP);
    paste.restart();
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_LT(paste.elapsed(), 9000) << "one wait is five seconds";
    ASSERT_EQ(notices.Reports().size(), 1u);
    EXPECT_EQ(notices.Reports()[0].text, "Unsupported clipboard format.");
    EXPECT_EQ(PixelBytes(form->Working()), PixelBytes(*other));
}

} // namespace
} // namespace mirth
