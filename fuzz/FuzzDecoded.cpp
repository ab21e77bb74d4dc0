// Arbitrary bytes loaded through the picture container under the name the build
// gives (".png", ".webp", ".gif", ".heic"), as the window loads a file, then turned
// into the workspace's 24-bit bitmap. A picture that loads must survive a round trip
// through the PNG writer and reader unchanged.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "imaging/picture/FileFormats.h"
#include "imaging/picture/ImageFormats.h"
#include "imaging/picture/Picture.h"
#include "imaging/picture/WorkspaceFiles.h"
#include "imaging/png/PngCodec.h"
#include "runtime/Exceptions.h"

#ifndef MIRTH_FUZZ_EXTENSION
#error "the build names the extension the bytes are loaded under"
#endif

namespace {

// Larger pictures only repeat the same loops of the round trip, more slowly; the store's
// cap on enormous ones has tests of its own.
constexpr int64_t kLargestChecked = 4 << 20;

const std::string& ScratchFile()
{
    static const std::string path = (std::filesystem::temp_directory_path() /
                                     ("fuzz-decoded-" + std::to_string(::getpid()) + MIRTH_FUZZ_EXTENSION))
                                        .string();
    return path;
}

// In memory, through the registry's PNG reader, so that the check costs no files.
void CheckRoundTrip(mirth::TBitmap& working)
{
    const mirth::TBitmapImage& image = working.Image();
    const auto stride = static_cast<ptrdiff_t>(image.Stride());
    mirth::TMemoryStream png;
    mirth::EncodePng({image.Row(0), image.TopDown() ? stride : -stride, image.Width(), image.Height()}, png);
    png.SetPosition(0);
    const auto reread = mirth::FileFormats().FindExtension("png")->create();
    reread->LoadStream(png);
    auto& bitmap = dynamic_cast<mirth::TBitmap&>(*reread);
    if (bitmap.Width() != working.Width() || bitmap.Height() != working.Height())
        __builtin_trap();
    for (int32_t y = 0; y < working.Height(); ++y)
        if (std::memcmp(bitmap.ReadOnlyRow(y), working.ReadOnlyRow(y), size_t(working.Width()) * 3) != 0)
            __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    mirth::RegisterImageFormats();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (std::FILE* file = std::fopen(ScratchFile().c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    try {
        mirth::TPicture picture;
        picture.LoadFile(ScratchFile());
        mirth::MakeWorkingBitmap(picture);
        mirth::TBitmap& working = picture.AsBitmap();
        if (working.Empty())
            return 0;
        if (working.PixelLayout() != mirth::pl24Bit)
            __builtin_trap();
        if (int64_t(working.Width()) * working.Height() <= kLargestChecked)
            CheckRoundTrip(working);
    } catch (const mirth::Exception&) {
    }
    return 0;
}
