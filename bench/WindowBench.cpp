// The window's own costs on a 24-megapixel photo: what a user waits for between events.
#include <benchmark/benchmark.h>

#include <fstream>

#include "WindowBench.h"
#include "support/JpegStreams.h"

namespace mirth::bench {
namespace {

// One Alt-move over the picture, from the platform's event to the end of the repaint.
void AltDragFrames(benchmark::State& state, TForm1& form)
{
    QWindow* window = form.windowHandle();
    int step = 0;
    for (auto _ : state) {
        const QPoint at = form.Image1->mapTo(&form, QPoint(300 + step % 200, 300));
        QTest::mouseEvent(QTest::MouseMove, window, Qt::NoButton, Qt::AltModifier, at);
        ++step;
    }
    // Proof that the moves reached the picture rather than only the platform.
    state.counters["lens_x"] = form.Workspace.LensPoint.x;
}

void BM_AltDragFrame(benchmark::State& state) { AltDragFrames(state, *WindowWithPhoto()); }
BENCHMARK(BM_AltDragFrame)->Unit(benchmark::kMillisecond);

// The same on a 100-megapixel photo: a move costs its two discs, whatever the picture.
void BM_AltDragFrame100(benchmark::State& state)
{
    AltDragFrames(state, *WindowWithPhoto(kLargePhotoWidth, kLargePhotoHeight));
}
BENCHMARK(BM_AltDragFrame100)->Unit(benchmark::kMillisecond);

// Loading a 24-megapixel JPEG through to the reference copy.
void BM_LoadPictureJpeg(benchmark::State& state)
{
    const std::vector<uint8_t> bytes = testing::MakeJpeg(*Photo(), {.quality = 90});
    const std::string path = BenchFile("photo.jpg");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    TForm1 form;
    for (auto _ : state)
        form.LoadPicture(path);
    std::filesystem::remove(path);
}
BENCHMARK(BM_LoadPictureJpeg)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace mirth::bench
