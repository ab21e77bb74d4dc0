#include "imaging/gif/GifCodec.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gif_lib.h>

#include "runtime/Exceptions.h"

namespace mirth {

namespace {

constexpr int kNoTransparentColor = NO_TRANSPARENT_COLOR;

[[noreturn]] void FailGif(const std::string& reason)
{
    throw EInvalidGraphic("GIF image is not valid: " + reason);
}

[[noreturn]] void FailGif(int error)
{
    const char* text = GifErrorString(error);
    FailGif(text != nullptr ? text : "error " + std::to_string(error));
}

struct MemorySource {
    const uint8_t* data;
    size_t size;
    size_t position = 0;

    static int Read(GifFileType* gif, GifByteType* into, int count)
    {
        auto* source = static_cast<MemorySource*>(gif->UserData);
        const size_t taken = std::min(size_t(count), source->size - source->position);
        if (taken > 0)  // an empty file has no bytes to point at
            std::memcpy(into, source->data + source->position, taken);
        source->position += taken;
        return static_cast<int>(taken);
    }
};

struct GifRelease {
    void operator()(GifFileType* gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifFile = std::unique_ptr<GifFileType, GifRelease>;

// The rows of an interlaced frame arrive in four passes.
std::vector<int> RowOrder(int height, bool interlaced)
{
    std::vector<int> order;
    order.reserve(size_t(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            order.push_back(y);
        return order;
    }
    static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height; y += kStep[pass])
            order.push_back(y);
    return order;
}

// Reads the extensions before the first frame, keeping the transparent colour of
// the last graphic control block; stops at the first frame's descriptor.
int TransparentColorBeforeFirstFrame(GifFileType* gif)
{
    int transparent = kNoTransparentColor;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR)
            FailGif(gif->Error);
        if (type == IMAGE_DESC_RECORD_TYPE)
            return transparent;
        if (type == TERMINATE_RECORD_TYPE)
            FailGif("no picture in the file");
        if (type != EXTENSION_RECORD_TYPE)
            continue;
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
            FailGif(gif->Error);
        GraphicsControlBlock control;
        if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr && block[0] == 4 &&
            DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
            transparent = control.TransparentColor;
        while (block != nullptr)
            if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
                FailGif(gif->Error);
    }
}

} // namespace

void DecodeGif(const uint8_t* data, size_t size, TRasterTarget& target)
{
    MemorySource source{data, size};
    int error = 0;
    GifFile gif(DGifOpen(&source, MemorySource::Read, &error));
    if (!gif)
        FailGif(error);
    const int transparent = TransparentColorBeforeFirstFrame(gif.get());
    if (DGifGetImageDesc(gif.get()) == GIF_ERROR)
        FailGif(gif->Error);
    const GifImageDesc& frame = gif->Image;
    const ColorMapObject* colors = frame.ColorMap != nullptr ? frame.ColorMap : gif->SColorMap;
    if (colors == nullptr)
        FailGif("no colour table");
    const int screenWidth = gif->SWidth, screenHeight = gif->SHeight;
    if (screenWidth <= 0 || screenHeight <= 0 || frame.Width <= 0 || frame.Height <= 0)
        FailGif("empty picture");
    const bool covers = frame.Left == 0 && frame.Top == 0 && frame.Width >= screenWidth && frame.Height >= screenHeight;
    const bool alpha = transparent != kNoTransparentColor || !covers;
    const TRasterChannels channels = alpha ? TRasterChannels::Bgra : TRasterChannels::Bgr;
    const TRasterRows rows = target.Begin(screenWidth, screenHeight, channels);
    const int bytes = BytesPerPixel(channels);
    std::vector<GifPixelType> line(size_t(frame.Width));
    for (const int y : RowOrder(frame.Height, frame.Interlace)) {
        if (DGifGetLine(gif.get(), line.data(), frame.Width) == GIF_ERROR)
            FailGif(gif->Error);
        const int screenY = frame.Top + y;
        if (screenY >= screenHeight)
            continue;
        uint8_t* row = rows.Row(screenY);
        for (int x = 0; x < frame.Width && frame.Left + x < screenWidth; ++x) {
            const int index = line[size_t(x)];
            if (index == transparent || index >= colors->ColorCount)
                continue;  // left transparent (or black without alpha)
            const GifColorType& color = colors->Colors[index];
            uint8_t* pixel = row + (frame.Left + x) * bytes;
            pixel[0] = color.Blue;
            pixel[1] = color.Green;
            pixel[2] = color.Red;
            if (alpha)
                pixel[3] = 255;
        }
    }
}

} // namespace mirth
