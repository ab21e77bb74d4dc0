// Arbitrary bytes loaded as a ".jpg" file through the picture container and
// turned into the workspace's 24-bit bitmap, which decodes them. The last byte
// also picks the decoder's settings, so that quantizing, scaling and the
// scan-by-scan output are fuzzed as well as the plain decode.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "imaging/picture/ImageFormats.h"
#include "imaging/jpeg/Jpeg.h"
#include "imaging/picture/Picture.h"
#include "imaging/picture/WorkspaceFiles.h"
#include "runtime/Exceptions.h"

namespace {

// Larger pictures only repeat the same loops, more slowly; the store's cap on
// enormous ones has tests of its own.
constexpr int64_t kLargestDecoded = 4 << 20;

const std::string& ScratchFile()
{
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("fuzz-jpeg-" + std::to_string(::getpid()) + ".jpg")).string();
    return path;
}

void ChooseSettings(uint8_t choice)
{
    mirth::JpegDefaults = mirth::TJPEGDefaults{};
    mirth::JpegDefaults.OutputDepth = (choice & 1) ? mirth::od8Bit : mirth::od24Bit;
    mirth::JpegDefaults.ShowPasses = choice & 2;
    mirth::JpegDefaults.DecodeMode = (choice & 4) ? mirth::dmFast : mirth::dmAccurate;
    mirth::JpegDefaults.GrayMode = choice & 8;
    mirth::JpegDefaults.BlockSmoothing = !(choice & 16);
    mirth::JpegDefaults.ScaleDown = static_cast<mirth::TScaleDown>(choice >> 5 & 3);
}

} // namespace

// The program's start: the JPEG rows of the file-format registry.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    mirth::RegisterImageFormats();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ChooseSettings(size > 0 ? data[size - 1] : 0);
    if (std::FILE* file = std::fopen(ScratchFile().c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    try {
        mirth::TPicture picture;
        picture.LoadFile(ScratchFile());
        if (int64_t(picture.Width()) * picture.Height() > kLargestDecoded)
            return 0;
        mirth::MakeWorkingBitmap(picture);
        const mirth::TBitmap& working = picture.AsBitmap();
        if (!working.Empty() && working.PixelLayout() != mirth::pl24Bit)
            __builtin_trap();
    } catch (const mirth::Exception&) {
    }
    return 0;
}
