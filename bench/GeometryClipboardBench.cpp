// The window's long commands on a 24-megapixel photo: a quarter turn and a copy to the
// desktop clipboard.
#include <benchmark/benchmark.h>

#include "WindowBench.h"

namespace mirth::bench {
namespace {

// One "Rotate": the turned picture made and handed to both views.
void BM_RotatePicture(benchmark::State& state)
{
    auto form = WindowWithPhoto();
    for (auto _ : state)
        form->Rotate1Click(form.get());
}
BENCHMARK(BM_RotatePicture)->Unit(benchmark::kMillisecond);

// One "Copy" through the Qt clipboard: a BMP file's worth of work, no PNG until asked.
void BM_CopyToClipboard(benchmark::State& state)
{
    auto form = WindowWithPhoto();
    for (auto _ : state)
        form->Copy1Click(form.get());
}
BENCHMARK(BM_CopyToClipboard)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace mirth::bench
