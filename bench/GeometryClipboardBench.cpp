// The window's long commands on a 24-megapixel photo: a quarter turn, a copy to the
// desktop clipboard and a paste from it.
#include <benchmark/benchmark.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "WindowBench.h"
#include "runtime/Streams.h"

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

// One "Paste" through the Qt clipboard of a 24-bit BMP file another program offers.
void BM_PasteFromClipboard(benchmark::State& state)
{
    auto form = WindowWithPhoto();
    TMemoryStream file;
    Photo(2)->SaveStream(file);
    const QByteArray bytes(reinterpret_cast<const char*>(file.Memory()), static_cast<qsizetype>(file.Size()));
    for (auto _ : state) {
        state.PauseTiming();
        auto* offer = new QMimeData;
        offer->setData("image/bmp", bytes);
        QGuiApplication::clipboard()->setMimeData(offer);
        state.ResumeTiming();
        form->Paste1Click(form.get());
    }
}
BENCHMARK(BM_PasteFromClipboard)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace mirth::bench
