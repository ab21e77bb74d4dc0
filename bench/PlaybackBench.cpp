// Snapshots and their playback on 24-megapixel photos: a morph tick must fit the shortest
// interval, the strip must repaint without touching its pictures, and an animation must
// not copy the snapshots it plays.
#include <benchmark/benchmark.h>

#include <QCheckBox>
#include <QImage>
#include <QWidget>

#include <fstream>

#include "WindowBench.h"

namespace mirth::bench {
namespace {

constexpr double kPictureMegabytes = kPhotoWidth * 3.0 * kPhotoHeight / (1 << 20);

// Keeps `count` snapshots, each with a lens of its own, so that each holds its own pixels.
void KeepLenses(TForm1& form, int count)
{
    for (int k = 0; k < count; ++k) {
        form.DistortAt({500 + 250 * k, 400 + 150 * k});
        form.Keep1Click(&form);
    }
}

double ResidentMegabytes()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1 << 20);
}

// Ticks of a looping morph over the window's strip, blend and repaint included; the
// iterations go round all 21 factors of a pass.
void MorphTicks(benchmark::State& state, TForm1& form)
{
    form.looper->setChecked(true);
    form.Button4Click(&form);
    for (auto _ : state)
        form.Timer1.Tick();
    form.Button4Click(&form);
}

// The morph as the program makes it: from the photo to the photo with five lenses kept.
void BM_MorphTick(benchmark::State& state)
{
    auto form = WindowWithPhoto();
    form->Keep1Click(form.get());
    KeepLenses(*form, 5);
    MorphTicks(state, *form);
}
BENCHMARK(BM_MorphTick)->Unit(benchmark::kMillisecond)->UseRealTime();

// The worst case: two unrelated photos, say the second one pasted, with no byte in common.
void BM_MorphTickUnrelated(benchmark::State& state)
{
    auto form = WindowWithPhoto();
    form->Keep1Click(form.get());
    form->Image1->Picture().SetContent(Photo(2).get());
    form->Keep1Click(form.get());
    MorphTicks(state, *form);
}
BENCHMARK(BM_MorphTickUnrelated)->Unit(benchmark::kMillisecond)->UseRealTime();

// Painting all twenty thumbnails of a full strip, as a repaint or a scroll does.
void BM_StripRepaint(benchmark::State& state)
{
    auto form = WindowWithPhoto();
    KeepLenses(*form, 20);
    QImage strip(form->ThumbStrip->size(), QImage::Format_RGB32);
    form->ThumbStrip->render(&strip); // each thumbnail scales its picture once
    for (auto _ : state) {
        form->ThumbStrip->render(&strip);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StripRepaint)->Unit(benchmark::kMillisecond)->UseRealTime();

// The memory held once ten lenses have been kept and the animation plays: the snapshots,
// the working and the reference picture, and nothing for the frames.
void BM_AnimationMemory(benchmark::State& state)
{
    auto form = WindowWithPhoto();
    KeepLenses(*form, 10);
    form->Button3Click(form.get());
    for (auto _ : state)
        form->Timer2.Tick();
    state.counters["resident_MB"] = ResidentMegabytes();
    state.counters["pictures_worth"] = ResidentMegabytes() / kPictureMegabytes;
}
BENCHMARK(BM_AnimationMemory)->Unit(benchmark::kMillisecond)->Iterations(22);

} // namespace
} // namespace mirth::bench
