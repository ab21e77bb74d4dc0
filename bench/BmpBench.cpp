#include <benchmark/benchmark.h>

#include "Photo.h"
#include "runtime/Streams.h"

namespace mirth::bench {
namespace {

// A photograph's file read from memory into a new bitmap: the pixel bytes
// should cross memory once, straight into the bitmap's store.
void BM_LoadBmp(benchmark::State& state)
{
    TMemoryStream file;
    Photo()->SaveStream(file);
    for (auto _ : state) {
        file.SetPosition(0);
        TBitmap bitmap;
        bitmap.LoadStream(file);
        benchmark::DoNotOptimize(bitmap.Image().Pixels());
    }
    state.SetBytesProcessed(state.iterations() * file.Size());
}
BENCHMARK(BM_LoadBmp)->Unit(benchmark::kMillisecond);

// The codec's part of saving: the stream already has room for the file, as a
// file stream's page cache would.
void BM_SaveBmp(benchmark::State& state)
{
    auto photo = Photo();
    TMemoryStream file;
    photo->SaveStream(file);
    for (auto _ : state) {
        file.SetPosition(0);
        photo->SaveStream(file);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * file.Size());
}
BENCHMARK(BM_SaveBmp)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace mirth::bench
