// The main of the test binary that needs a real desktop session, for what only travels
// between programs: an Xvfb of its own, on a display number the server picks itself, so
// that the tests need no display and never meet another run's, and a session bus of its
// own with the accessibility bus on it, where a screen reader would listen.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "framework/Application.h"
#include "framework/DesktopClipboard.h"
#include "imaging/picture/ImageFormats.h"
#include "support/AccessibilityBus.h"
#include "support/XvfbServer.h"

namespace mirth::testing {

std::string& AccessibilityBusFailure()
{
    static std::string failure;
    return failure;
}

} // namespace mirth::testing

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    try {
        mirth::testing::XvfbServer server;
        setenv("DISPLAY", server.Display().c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        std::unique_ptr<mirth::testing::AccessibilityBus> bus;
        try {
            bus = std::make_unique<mirth::testing::AccessibilityBus>();
            setenv("DBUS_SESSION_BUS_ADDRESS", bus->Address().c_str(), 1);
            // Without a screen reader asking for it, Qt would leave its bridge off.
            setenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1", 1);
        } catch (const std::exception& error) {
            mirth::testing::AccessibilityBusFailure() = error.what();
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
