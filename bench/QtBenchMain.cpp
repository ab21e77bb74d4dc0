// The main of the window benchmarks: our application object on the offscreen platform,
// so the real window is measured without a display.
#include <benchmark/benchmark.h>

#include "framework/Application.h"
#include "framework/DesktopClipboard.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    mirth::TApplication application(argc, argv);
    application.SetTitle("Mirthlens");
    mirth::InstallSystemClipboardBinding(std::make_unique<mirth::DesktopClipboardBinding>());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
