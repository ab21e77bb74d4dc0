#include <benchmark/benchmark.h>

#include "Photo.h"
#include "imaging/picture/Clipboard.h"
#include "imaging/picture/MemoryClipboard.h"
#include "imaging/picture/Picture.h"

namespace mirth::bench {
namespace {

// "&Copy" of a photograph: a BMP file of it handed to the clipboard.
void BM_CopyToMemoryClipboard(benchmark::State& state)
{
    MemoryClipboardBinding binding;
    TClipboard clipboard(binding);
    TPicture picture;
    picture.SetContent(Photo().get());
    for (auto _ : state)
        clipboard.CopyFrom(picture);
    state.SetBytesProcessed(state.iterations() * int64_t(picture.AsBitmap().Image().PixelBytes()));
}
BENCHMARK(BM_CopyToMemoryClipboard)->Unit(benchmark::kMillisecond);

// The reading half of "Paste": the clipboard's BMP file into a bitmap.
void BM_PasteFromMemoryClipboard(benchmark::State& state)
{
    MemoryClipboardBinding binding;
    TClipboard clipboard(binding);
    auto photo = Photo();
    clipboard.CopyFrom(*photo);
    for (auto _ : state) {
        TBitmap pasted;
        clipboard.CopyTo(pasted);
        benchmark::DoNotOptimize(pasted.Image().Pixels());
    }
    state.SetBytesProcessed(state.iterations() * int64_t(photo->Image().PixelBytes()));
}
BENCHMARK(BM_PasteFromMemoryClipboard)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace mirth::bench
