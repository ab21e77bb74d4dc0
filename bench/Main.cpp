// The benchmarks start as the program does: codecs registered, and our application object
// on the offscreen platform so that the real window is measured without a display.
#include <benchmark/benchmark.h>

#include "framework/Application.h"
#include "framework/DesktopClipboard.h"
#include "imaging/picture/ImageFormats.h"

int main(int argc, char** argv)
{
    mirth::RegisterImageFormats();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    mirth::TApplication application(argc, argv);
    application.SetTitle("Mirthlens");
    mirth::InstallSystemClipboardBinding(std::make_unique<mirth::DesktopClipboardBinding>());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
