// The main of the widget test binaries: our application object on the offscreen platform,
// so that no display is needed and every report lands in a test's recorder.
#include <gtest/gtest.h>

#include "framework/Application.h"
#include "framework/DesktopClipboard.h"
#include "imaging/picture/ImageFormats.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    mirth::RegisterImageFormats();
    mirth::TApplication application(argc, argv);
    application.SetTitle("Mirthlens");
    // As the program does, so that the window's commands meet Qt's clipboard.
    mirth::InstallSystemClipboardBinding(std::make_unique<mirth::DesktopClipboardBinding>());
    return RUN_ALL_TESTS();
}
