// Loading and saving JPEG files as the workspace does, each next to the same
// work done by plain library calls: the adapter's overhead is the difference.
#include <benchmark/benchmark.h>

#include <jpeglib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "Photo.h"
#include "imaging/picture/WorkspaceFiles.h"
#include "support/JpegStreams.h"

namespace mirth::bench {
namespace {

namespace fs = std::filesystem;

const std::vector<uint8_t>& PhotoJpeg()
{
    static const std::vector<uint8_t> bytes = testing::MakeJpeg(*Photo(), {.quality = 90});
    return bytes;
}

std::string BenchFile(const std::string& name)
{
    return (fs::temp_directory_path() / ("mirth-bench-" + std::to_string(::getpid()) + "-" + name)).string();
}

void BM_LoadJpeg(benchmark::State& state)
{
    const std::string path = BenchFile("photo.jpg");
    const auto& bytes = PhotoJpeg();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    for (auto _ : state) {
        auto working = LoadWorkingBitmap(path);
        benchmark::DoNotOptimize(working->ReadOnlyRow(0));
    }
    fs::remove(path);
}
BENCHMARK(BM_LoadJpeg)->Unit(benchmark::kMillisecond);

void BM_DecodeJpegRaw(benchmark::State& state)
{
    const auto& bytes = PhotoJpeg();
    for (auto _ : state) {
        jpeg_decompress_struct cinfo{};
        jpeg_error_mgr error;
        cinfo.err = jpeg_std_error(&error);
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
        jpeg_read_header(&cinfo, TRUE);
        cinfo.out_color_space = JCS_EXT_BGR;
        jpeg_start_decompress(&cinfo);
        const size_t stride = size_t(cinfo.output_width) * 3;
        std::vector<uint8_t> pixels(stride * cinfo.output_height);
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW row = pixels.data() + stride * cinfo.output_scanline;
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
        benchmark::DoNotOptimize(pixels.data());
    }
}
BENCHMARK(BM_DecodeJpegRaw)->Unit(benchmark::kMillisecond);

void BM_SaveJpeg(benchmark::State& state)
{
    auto photo = Photo();
    const std::string path = BenchFile("saved.jpg");
    for (auto _ : state)
        SaveWorkingBitmap(*photo, path);
    fs::remove(path);
}
BENCHMARK(BM_SaveJpeg)->Unit(benchmark::kMillisecond);

void BM_EncodeJpegRaw(benchmark::State& state)
{
    auto photo = Photo();
    for (auto _ : state) {
        jpeg_compress_struct cinfo{};
        jpeg_error_mgr error;
        cinfo.err = jpeg_std_error(&error);
        jpeg_create_compress(&cinfo);
        unsigned char* buffer = nullptr;
        unsigned long size = 0;
        jpeg_mem_dest(&cinfo, &buffer, &size);
        cinfo.image_width = kPhotoWidth;
        cinfo.image_height = kPhotoHeight;
        cinfo.input_components = 3;
        cinfo.in_color_space = JCS_EXT_BGR;
        jpeg_set_defaults(&cinfo);
        jpeg_set_quality(&cinfo, 60, TRUE);
        jpeg_start_compress(&cinfo, TRUE);
        while (cinfo.next_scanline < cinfo.image_height) {
            auto row = const_cast<JSAMPROW>(photo->ReadOnlyRow(static_cast<int32_t>(cinfo.next_scanline)));
            jpeg_write_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_compress(&cinfo);
        jpeg_destroy_compress(&cinfo);
        benchmark::DoNotOptimize(buffer);
        std::free(buffer);
    }
}
BENCHMARK(BM_EncodeJpegRaw)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace mirth::bench
