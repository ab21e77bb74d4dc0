// Loading PNG, WebP and HEIC photos as the workspace does, each next to the library's
// own decode of the same bytes into a buffer, and saving a photo as PNG.
#include <benchmark/benchmark.h>

#include <libheif/heif.h>
#include <png.h>
#include <webp/decode.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "Photo.h"
#include "imaging/picture/WorkspaceFiles.h"

namespace mirth::bench {
namespace {

namespace fs = std::filesystem;

std::string BenchFile(const std::string& name)
{
    return (fs::temp_directory_path() / ("mirth-bench-" + std::to_string(::getpid()) + "-" + name)).string();
}

// Smooth light with grain, which compresses as a photograph does; random pixels would not.
std::unique_ptr<TBitmap> PhotoLike()
{
    auto photo = std::make_unique<TBitmap>();
    photo->SetPixelLayout(pl24Bit);
    photo->SetWidth(kPhotoWidth);
    photo->SetHeight(kPhotoHeight);
    std::mt19937 random(1);
    for (int32_t y = 0; y < kPhotoHeight; ++y) {
        uint8_t* row = photo->ScanRow(y);
        for (int32_t x = 0; x < kPhotoWidth; ++x) {
            const int grain = int(random() % 9) - 4;
            row[3 * x] = uint8_t(std::clamp(x * 200 / kPhotoWidth + grain, 0, 255));
            row[3 * x + 1] = uint8_t(std::clamp(90 + (x / 50 + y / 50) % 40 + grain, 0, 255));
            row[3 * x + 2] = uint8_t(std::clamp(y * 220 / kPhotoHeight + grain, 0, 255));
        }
    }
    return photo;
}

std::vector<uint8_t> Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The photo saved once per format; HEIC through libheif's own encoder tool.
const std::string& PhotoFile(const std::string& extension)
{
    static std::map<std::string, std::string> files;
    auto& path = files[extension];
    if (path.empty()) {
        path = BenchFile("photo." + extension);
        if (extension == "heic") {
            const std::string& png = PhotoFile("png");
            std::system(("heif-enc -q 80 " + png + " -o " + path + " >/dev/null").c_str());
        } else {
            SaveWorkingBitmap(*PhotoLike(), path);
        }
    }
    return path;
}

void LoadPicture(benchmark::State& state, const std::string& extension)
{
    const std::string& path = PhotoFile(extension);
    for (auto _ : state) {
        auto working = LoadWorkingBitmap(path);
        benchmark::DoNotOptimize(working->ReadOnlyRow(0));
    }
}

void BM_LoadPicturePng(benchmark::State& state) { LoadPicture(state, "png"); }
void BM_LoadPictureWebp(benchmark::State& state) { LoadPicture(state, "webp"); }
void BM_LoadPictureHeic(benchmark::State& state) { LoadPicture(state, "heic"); }
BENCHMARK(BM_LoadPicturePng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPictureWebp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPictureHeic)->Unit(benchmark::kMillisecond);

// The library alone, from the file's bytes already in memory to its pixels in a buffer.
void BM_DecodePngRaw(benchmark::State& state)
{
    const auto bytes = Bytes(PhotoFile("png"));
    for (auto _ : state) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        png_image_begin_read_from_memory(&image, bytes.data(), bytes.size());
        image.format = PNG_FORMAT_BGR;
        std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
        png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
        benchmark::DoNotOptimize(pixels.data());
    }
}
BENCHMARK(BM_DecodePngRaw)->Unit(benchmark::kMillisecond);

void BM_DecodeWebpRaw(benchmark::State& state)
{
    const auto bytes = Bytes(PhotoFile("webp"));
    for (auto _ : state) {
        int width = 0, height = 0;
        uint8_t* pixels = WebPDecodeBGR(bytes.data(), bytes.size(), &width, &height);
        benchmark::DoNotOptimize(pixels);
        WebPFree(pixels);
    }
}
BENCHMARK(BM_DecodeWebpRaw)->Unit(benchmark::kMillisecond);

void BM_DecodeHeicRaw(benchmark::State& state)
{
    const auto bytes = Bytes(PhotoFile("heic"));
    for (auto _ : state) {
        heif_context* context = heif_context_alloc();
        heif_context_read_from_memory_without_copy(context, bytes.data(), bytes.size(), nullptr);
        heif_image_handle* handle = nullptr;
        heif_context_get_primary_image_handle(context, &handle);
        heif_image* image = nullptr;
        heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGB, nullptr);
        benchmark::DoNotOptimize(image);
        heif_image_release(image);
        heif_image_handle_release(handle);
        heif_context_free(context);
    }
}
BENCHMARK(BM_DecodeHeicRaw)->Unit(benchmark::kMillisecond);

void BM_SavePicturePng(benchmark::State& state)
{
    auto photo = PhotoLike();
    const std::string path = BenchFile("saved.png");
    for (auto _ : state)
        SaveWorkingBitmap(*photo, path);
    state.counters["bytes"] = double(fs::file_size(path));
    fs::remove(path);
}
BENCHMARK(BM_SavePicturePng)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace mirth::bench
