// The window as a native Wayland client: pictures going to and from other programs through
// the Wayland clipboard (wl-copy and wl-paste), and a click lens. A Wayland compositor
// hands the clipboard only to a client that has just had input from the user, so the
// input is real: xdotool presses keys and buttons on the X server the compositor draws into.
#include <QClipboard>
#include <QFrame>
#include <QGuiApplication>
#include <QProcess>

#include "effects/Lens.h"
#include "support/Pictures.h"
#include "support/QtImages.h"
#include "support/WaylandSession.h"
#include "support/WestonServer.h"
#include "support/WindowTesting.h"

namespace mirth {
namespace {

using testing::EncodedImage;
using testing::ImageBytes;
using testing::PixelBytes;
using testing::RandomBitmap;
using testing::WindowTest;

constexpr int kTimeoutMs = 20000;

// Runs a program to its end while our event loop keeps running: we serve our own copy to
// wl-paste only while we answer. Returns its output.
QByteArray RunToEnd(const QString& program, const QStringList& arguments, const QString& input = {})
{
    QProcess process;
    if (!input.isEmpty())
        process.setStandardInputFile(input);
    process.start(program, arguments);
    if (!process.waitForStarted(kTimeoutMs)) {
        ADD_FAILURE() << "cannot run " << program.toStdString() << " (scripts/install-deps installs it)";
        return {};
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, kTimeoutMs))
        << program.toStdString() << " did not finish";
    EXPECT_EQ(process.exitCode(), 0) << program.toStdString() << ": " << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
}

class WaylandTest : public WindowTest {
protected:
    void SetUp() override
    {
        if (!testing::WaylandUnavailable().empty())
            GTEST_SKIP() << "no Wayland compositor: " << testing::WaylandUnavailable();
        ASSERT_EQ(QGuiApplication::platformName(), "wayland");
        WindowTest::SetUp();
    }

    // A left click at `at` in the window's coordinates: the kiosk shell shows the window
    // over the whole output, whose top-left corner is that of the compositor's X window.
    void Click(QPoint at)
    {
        RunToEnd("xdotool", {"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"});
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->isActiveWindow(); }, kTimeoutMs))
            << "the click did not give the window the keyboard";
    }
    void Keys(const QString& keys) { RunToEnd("xdotool", {"key", keys}); }

    // A spot where a click does nothing: the bottom panel, right of its label.
    QPoint Harmless() const { return form->Panel1->mapTo(form.get(), QPoint(form->Panel1->width() - 20, 15)); }
};

TEST_F(WaylandTest, PicturesTravelThroughWlCopyAndWlPasteAndAClickPushesALens)
{
    // The compositor decides where the window goes and how big it is.
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->size() == QSize(testing::kWestonWidth, testing::kWestonHeight); },
                                kTimeoutMs))
        << "the window was not made to fill the output: " << form->width() << " x " << form->height();
    Click(Harmless());
    auto photo = RandomBitmap(64, 48);
    Load("photo.bmp", *photo);
    ASSERT_EQ(PixelBytes(form->Working()), PixelBytes(*photo));

    Keys("ctrl+c");
    ASSERT_TRUE(QTest::qWaitFor([] { return QGuiApplication::clipboard()->ownsClipboard(); }, kTimeoutMs))
        << "Ctrl+C did not take the clipboard";
    const QByteArray types = RunToEnd("wl-paste", {"--list-types"});
    EXPECT_TRUE(types.contains("image/png") && types.contains("image/bmp")) << types.toStdString();
    EXPECT_EQ(ImageBytes(QImage::fromData(RunToEnd("wl-paste", {"-t", "image/png"}), "PNG")), PixelBytes(*photo));

    // wl-copy stays behind to serve the picture until another takes its place. It takes
    // the keyboard for a moment to do so: a click gives it back to the window.
    auto other = RandomBitmap(50, 40, 5);
    const QByteArray encoded = EncodedImage(*other, "PNG");
    const std::string png = Write("other.png", {encoded.begin(), encoded.end()});
    RunToEnd("wl-copy", {"-t", "image/png"}, QString::fromStdString(png));
    ASSERT_TRUE(QTest::qWaitFor([] { return !QGuiApplication::clipboard()->ownsClipboard(); }, kTimeoutMs));
    Click(Harmless());
    Keys("ctrl+v");
    EXPECT_TRUE(QTest::qWaitFor([&] { return PixelBytes(form->Working()) == PixelBytes(*other); }, kTimeoutMs));
    EXPECT_EQ(PixelBytes(form->Reference()), PixelBytes(*other));
    EXPECT_EQ(form->Image1->size(), QSize(50, 40));

    // A click on the picture pushes a lens in where the pointer is.
    TBitmap lensed;
    lensed.CopyFrom(other.get());
    DrawLens(*other, lensed, {30, 15}, 35);
    Click(form->Image1->mapTo(form.get(), QPoint(30, 15)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return PixelBytes(form->Working()) == PixelBytes(lensed); }, kTimeoutMs));
    EXPECT_TRUE(notices.Reports().empty());
}

} // namespace
} // namespace mirth
