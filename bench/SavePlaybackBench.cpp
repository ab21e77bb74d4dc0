// Saving a morph of two photographs as an animation at the size a chat program shows,
// the whole way from the two full-size pictures to the file's bytes on disk.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <random>

#include "Photo.h"
#include "effects/PlaybackFrames.h"

namespace mirth::bench {
namespace {

// Random pixels are no photograph: a palette and an inter-frame encoder would both meet
// their worst case. Smooth shapes with a little grain are closer to what users save.
std::unique_ptr<TBitmap> Scene(unsigned seed)
{
    auto picture = Photo(seed);
    std::mt19937 grain(seed);
    const double phase = seed * 1.7;
    for (int32_t y = 0; y < kPhotoHeight; ++y) {
        uint8_t* row = picture->ScanRow(y);
        for (int32_t x = 0; x < kPhotoWidth; ++x) {
            const double u = x / 900.0 + phase, v = y / 700.0 - phase;
            const int noise = static_cast<int>(grain() % 9) - 4;
            row[3 * x] = static_cast<uint8_t>(std::clamp(128 + 100 * std::sin(u + 2 * v) + noise, 0.0, 255.0));
            row[3 * x + 1] = static_cast<uint8_t>(std::clamp(128 + 90 * std::cos(1.3 * u - v) + noise, 0.0, 255.0));
            row[3 * x + 2] = static_cast<uint8_t>(std::clamp(128 + 110 * std::sin(u * v / 3) + noise, 0.0, 255.0));
        }
    }
    return picture;
}

void SaveMorph(benchmark::State& state, const std::string& name)
{
    auto first = Scene(1), last = Scene(2);
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    for (auto _ : state) {
        TMorphFrames frames(*first, *last);
        frames.FitWithin(1080);
        const auto bytes = EncodeAnimation(frames, AnimationFormatOf(name), {200, true}, [](int32_t) { return true; });
        SaveAnimationFile(path, *bytes);
        state.counters["file MB"] = bytes->size() / 1e6;
    }
    std::filesystem::remove(path);
}

void BM_SaveMorphGif1080(benchmark::State& state)
{
    SaveMorph(state, "mirthlens-bench-morph.gif");
}
BENCHMARK(BM_SaveMorphGif1080)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveMorphWebp1080(benchmark::State& state)
{
    SaveMorph(state, "mirthlens-bench-morph.webp");
}
BENCHMARK(BM_SaveMorphWebp1080)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace mirth::bench
