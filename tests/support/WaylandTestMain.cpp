// The main of the test binary that runs the window as a native Wayland client: an Xvfb of
// its own with a Weston inside, the application on Qt's Wayland platform. When Weston
// cannot start at all the tests skip, saying why; everything else about the session is
// theirs to check.
#include <gtest/gtest.h>

#include <cstdio>

#include "framework/Application.h"
#include "framework/DesktopClipboard.h"
#include "imaging/picture/ImageFormats.h"
#include "support/WaylandSession.h"
#include "support/WestonServer.h"
#include "support/XvfbServer.h"

namespace mirth::testing {

std::string& WaylandUnavailable()
{
    static std::string reason;
    return reason;
}

} // namespace mirth::testing

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    try {
        mirth::testing::XvfbServer xserver;
        mirth::testing::WestonServer weston(xserver.Display());
        // xdotool talks to the X server Weston draws into; the window talks to Weston.
        setenv("DISPLAY", xserver.Display().c_str(), 1);
        if (weston.Failure().empty()) {
            setenv("XDG_RUNTIME_DIR", weston.RuntimeDir().c_str(), 1);
            setenv("WAYLAND_DISPLAY", weston.Socket().c_str(), 1);
            setenv("QT_QPA_PLATFORM", "wayland", 1);
            // Fullscreen in the kiosk shell; no title bar of Qt's own shifts the window's
            // content away from the output's corner.
            setenv("QT_WAYLAND_DISABLE_WINDOWDECORATION", "1", 1);
        } else {
            mirth::testing::WaylandUnavailable() = weston.Failure();
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        }
        mirth::RegisterImageFormats();
        mirth::TApplication application(argc, argv);
        application.SetTitle("Mirthlens");
        mirth::InstallSystemClipboardBinding(std::make_unique<mirth::DesktopClipboardBinding>());
        return RUN_ALL_TESTS();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
