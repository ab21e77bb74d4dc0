#include <benchmark/benchmark.h>

#include <cstring>

#include "Photo.h"
#include "effects/Blend.h"
#include "effects/Lens.h"
#include "effects/LiteralLens.h"

namespace mirth::bench {
namespace {

// The floor every pass over a picture is measured against: its bytes copied once.
void BM_CopyPicture(benchmark::State& state)
{
    auto source = Photo(1), target = Photo(2);
    const TBitmapImage& from = source->Image();
    auto* to = const_cast<uint8_t*>(target->ReadOnlyRow(kPhotoHeight - 1));
    for (auto _ : state) {
        std::memcpy(to, from.Pixels(), from.PixelBytes());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * int64_t(from.PixelBytes()));
}
BENCHMARK(BM_CopyPicture)->Unit(benchmark::kMillisecond);

void BM_Lens(benchmark::State& state)
{
    auto reference = Photo(1), working = Photo(2);
    for (auto _ : state) {
        DrawLens(*reference, *working, {kPhotoWidth / 2, kPhotoHeight / 2}, kMaxLensStrength);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Lens)->Unit(benchmark::kMillisecond);

void BM_LensLiteral(benchmark::State& state)
{
    auto reference = Photo(1), working = Photo(2);
    for (auto _ : state) {
        testing::LiteralLens(*reference, *working, {kPhotoWidth / 2, kPhotoHeight / 2}, kMaxLensStrength);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_LensLiteral)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_Blend(benchmark::State& state)
{
    auto first = Photo(1), last = Photo(2), target = Photo(3);
    for (auto _ : state) {
        BlendBitmaps(*first, *last, *target, MorphFactor(7));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Blend)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace mirth::bench
