#pragma once
// Reads animated GIF and WebP files back with their own libraries' decoders, as any
// other program would, into whole frames.
#include <gif_lib.h>
#include <webp/demux.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/bitmap/Bitmap.h"

namespace mirth::testing {

struct DecodedFrame {
    int delayMs = 0;
    std::vector<uint8_t> rgb; // the whole canvas as shown, top-down
};

struct DecodedAnimation {
    int width = 0;
    int height = 0;
    int loopCount = -1; // 0 forever; -1 when the file says nothing (GIF: plays once)
    std::vector<DecodedFrame> frames;
    std::vector<GifImageDesc> gifRegions; // where each GIF frame was stored
};

inline DecodedAnimation DecodeGif(const std::string& bytes)
{
    struct Reader {
        const std::string* bytes;
        size_t at = 0;
    } reader{&bytes};
    const auto read = [](GifFileType* gif, GifByteType* out, int count) {
        auto* r = static_cast<Reader*>(gif->UserData);
        const size_t n = std::min(static_cast<size_t>(count), r->bytes->size() - r->at);
        std::memcpy(out, r->bytes->data() + r->at, n);
        r->at += n;
        return static_cast<int>(n);
    };
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, read, &error);
    DecodedAnimation result;
    if (gif == nullptr || DGifSlurp(gif) != GIF_OK) {
        DGifCloseFile(gif, &error);
        return result;
    }
    result.width = gif->SWidth;
    result.height = gif->SHeight;
    std::vector<uint8_t> canvas(3 * static_cast<size_t>(result.width) * result.height);
    for (int k = 0; k < gif->ImageCount; ++k) {
        const SavedImage& image = gif->SavedImages[k];
        for (int e = 0; e < image.ExtensionBlockCount; ++e) {
            const ExtensionBlock& block = image.ExtensionBlocks[e];
            if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
                std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0 && e + 1 < image.ExtensionBlockCount) {
                const ExtensionBlock& data = image.ExtensionBlocks[e + 1];
                result.loopCount = data.Bytes[1] | data.Bytes[2] << 8;
            }
        }
        GraphicsControlBlock control{};
        DGifSavedExtensionToGCB(gif, k, &control);
        const GifImageDesc& d = image.ImageDesc;
        const ColorMapObject* colours = d.ColorMap != nullptr ? d.ColorMap : gif->SColorMap;
        for (int y = 0; y < d.Height; ++y)
            for (int x = 0; x < d.Width; ++x) {
                const GifColorType c = colours->Colors[image.RasterBits[y * d.Width + x]];
                uint8_t* out = &canvas[3 * ((static_cast<size_t>(d.Top) + y) * result.width + d.Left + x)];
                out[0] = c.Red;
                out[1] = c.Green;
                out[2] = c.Blue;
            }
        result.frames.push_back({control.DelayTime * 10, canvas});
        result.gifRegions.push_back(d);
    }
    DGifCloseFile(gif, &error);
    return result;
}

inline DecodedAnimation DecodeWebp(const std::string& bytes)
{
    DecodedAnimation result;
    WebPData data{reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_RGBA;
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    if (decoder == nullptr)
        return result;
    WebPAnimInfo info;
    WebPAnimDecoderGetInfo(decoder, &info);
    result.width = static_cast<int>(info.canvas_width);
    result.height = static_cast<int>(info.canvas_height);
    result.loopCount = static_cast<int>(info.loop_count);
    int previous = 0;
    while (WebPAnimDecoderHasMoreFrames(decoder)) {
        uint8_t* rgba = nullptr;
        int timestamp = 0;
        WebPAnimDecoderGetNext(decoder, &rgba, &timestamp);
        DecodedFrame frame{timestamp - previous, {}};
        previous = timestamp;
        for (size_t p = 0; p < static_cast<size_t>(result.width) * result.height; ++p)
            frame.rgb.insert(frame.rgb.end(), rgba + 4 * p, rgba + 4 * p + 3);
        result.frames.push_back(std::move(frame));
    }
    WebPAnimDecoderDelete(decoder);
    return result;
}

// The picture's pixels in red, green, blue order, top-down, to compare with decoded frames.
inline std::vector<uint8_t> RgbOf(const TBitmap& picture)
{
    std::vector<uint8_t> rgb;
    for (int32_t y = 0; y < picture.Height(); ++y) {
        const uint8_t* row = picture.ReadOnlyRow(y);
        for (int32_t x = 0; x < picture.Width(); ++x)
            rgb.insert(rgb.end(), {row[3 * x + 2], row[3 * x + 1], row[3 * x]});
    }
    return rgb;
}

// Peak signal-to-noise ratio in decibels; 99 for equal pictures.
inline double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    if (a.size() != b.size() || a.empty())
        return 0;
    double squares = 0;
    for (size_t k = 0; k < a.size(); ++k)
        squares += (double(a[k]) - b[k]) * (double(a[k]) - b[k]);
    return squares == 0 ? 99 : 10 * std::log10(255.0 * 255.0 * a.size() / squares);
}

} // namespace mirth::testing
