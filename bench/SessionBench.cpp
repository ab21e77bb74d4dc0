// A user's session, step by step, on a 24- and a 100-megapixel photo side by side (the
// argument is the megapixels): no step may cost more than the picture's growth, and the
// memory held with five snapshots and a morph playing must stay within its bound.
#include <benchmark/benchmark.h>

#include <fstream>
#include <map>
#include <string>

#include "WindowBench.h"
#include "imaging/picture/WorkspaceFiles.h"
#include "imaging/pixels/BlockPool.h"
#include "support/JpegStreams.h"

namespace mirth::bench {
namespace {

struct PhotoSize {
    int32_t width, height;
    double Megabytes() const { return 3.0 * width * height / (1 << 20); }
};

PhotoSize SizeOf(const benchmark::State& state)
{
    return state.range(0) == 100 ? PhotoSize{kLargePhotoWidth, kLargePhotoHeight}
                                 : PhotoSize{kPhotoWidth, kPhotoHeight};
}

std::unique_ptr<TForm1> SessionWindow(const benchmark::State& state)
{
    const PhotoSize size = SizeOf(state);
    return WindowWithPhoto(size.width, size.height);
}

void BM_SessionLoadJpeg(benchmark::State& state)
{
    const PhotoSize size = SizeOf(state);
    const std::string path = BenchFile("session.jpg");
    {
        const std::vector<uint8_t> bytes =
            testing::MakeJpeg(*testing::RandomBitmap(size.width, size.height, 1), {.quality = 90});
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    TForm1 form;
    for (auto _ : state)
        form.LoadPicture(path);
    std::filesystem::remove(path);
}
BENCHMARK(BM_SessionLoadJpeg)->Arg(24)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);

// A click after a keep: the whole picture passes through the lens once.
void BM_SessionKeepAndClick(benchmark::State& state)
{
    auto form = SessionWindow(state);
    int k = 0;
    for (auto _ : state) {
        form->Keep1Click(form.get());
        form->DistortAt({500 + 250 * k, 400 + 150 * k});
        ++k;
    }
}
BENCHMARK(BM_SessionKeepAndClick)->Arg(24)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(5);

// The photo and five lenses upon it, each kept, then a morph over those six snapshots,
// ticked once per iteration.
void TickMorphOfFiveLenses(TForm1& form, benchmark::State& state)
{
    form.Keep1Click(&form);
    for (int k = 0; k < 5; ++k) {
        form.DistortAt({500 + 250 * k, 400 + 150 * k});
        form.Keep1Click(&form);
    }
    form.Button4Click(&form);
    for (auto _ : state)
        form.Timer1.Tick();
    form.Button4Click(&form);
}

// A tick of a morph from the photo to the photo with five lenses kept.
void BM_SessionMorphTick(benchmark::State& state)
{
    auto form = SessionWindow(state);
    TickMorphOfFiveLenses(*form, state);
}
BENCHMARK(BM_SessionMorphTick)->Arg(24)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

void BM_SessionTurn(benchmark::State& state)
{
    auto form = SessionWindow(state);
    for (auto _ : state)
        form->Rotate1Click(form.get());
}
BENCHMARK(BM_SessionTurn)->Arg(24)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(4);

void BM_SessionSaveJpeg(benchmark::State& state)
{
    auto form = SessionWindow(state);
    const std::string path = BenchFile("session-saved.jpg");
    for (auto _ : state)
        SaveWorkingBitmap(form->Working(), path);
    std::filesystem::remove(path);
}
BENCHMARK(BM_SessionSaveJpeg)->Arg(24)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);

std::map<std::string, double> ProcessStatus()
{
    std::map<std::string, double> megabytes;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        const size_t colon = line.find(':');
        if (colon != std::string::npos && line.ends_with(" kB"))
            megabytes[line.substr(0, colon)] = std::stod(line.substr(colon + 1)) / 1024;
    }
    return megabytes;
}

// The peak resident memory of the session from a loaded photo on: five snapshots kept,
// each with its lens, and a morph playing.
void BM_SessionMemory(benchmark::State& state)
{
    ReleaseKeptBlocks();
    std::ofstream("/proc/self/clear_refs") << "5";  // restarts the peak count from here
    auto form = SessionWindow(state);
    TickMorphOfFiveLenses(*form, state);
    const auto status = ProcessStatus();
    const double picture = SizeOf(state).Megabytes();
    state.counters["peak_MB"] = status.at("VmHWM");
    state.counters["resident_MB"] = status.at("VmRSS");
    state.counters["bound_MB"] = 13 * picture + 200;
    state.counters["peak_pictures"] = status.at("VmHWM") / picture;
}
BENCHMARK(BM_SessionMemory)->Arg(24)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(21);

} // namespace
} // namespace mirth::bench
