#include "imaging/webp/WebpCodec.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include <webp/decode.h>
#include <webp/demux.h>
#include <webp/encode.h>

#include "runtime/Exceptions.h"

namespace mirth {

namespace {

constexpr float kSavedQuality = 75;

[[noreturn]] void FailWebp(const std::string& reason)
{
    throw EInvalidGraphic("WebP image is not valid: " + reason);
}

std::string StatusText(VP8StatusCode status)
{
    switch (status) {
    case VP8_STATUS_OUT_OF_MEMORY: return "out of memory";
    case VP8_STATUS_INVALID_PARAM: return "invalid parameter";
    case VP8_STATUS_BITSTREAM_ERROR: return "damaged data";
    case VP8_STATUS_UNSUPPORTED_FEATURE: return "unsupported feature";
    case VP8_STATUS_NOT_ENOUGH_DATA: return "the file ends early";
    default: return "error " + std::to_string(int(status));
    }
}

// A still picture is decoded straight into the target's rows; libwebp writes them
// bottom-up itself when the rows lie that way.
void DecodeStill(const uint8_t* data, size_t size, const WebPBitstreamFeatures& features, TRasterTarget& target)
{
    const TRasterChannels channels = features.has_alpha ? TRasterChannels::Bgra : TRasterChannels::Bgr;
    const TRasterRows rows = target.Begin(features.width, features.height, channels);
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config))
        FailWebp("library version mismatch");
    config.output.colorspace = features.has_alpha ? MODE_BGRA : MODE_BGR;
    config.output.is_external_memory = 1;
    const bool bottomUp = rows.stride < 0;
    config.options.flip = bottomUp;
    config.output.u.RGBA.rgba = bottomUp ? rows.Row(rows.height - 1) : rows.top;
    config.output.u.RGBA.stride = static_cast<int>(std::abs(rows.stride));
    config.output.u.RGBA.size = size_t(std::abs(rows.stride)) * size_t(rows.height);
    const VP8StatusCode status = WebPDecode(data, size, &config);
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK)
        FailWebp(StatusText(status));
}

struct AnimDecoderRelease {
    void operator()(WebPAnimDecoder* decoder) const { WebPAnimDecoderDelete(decoder); }
};

// The canvas is refused by the target before libwebp allocates its own.
void DecodeFirstFrame(const uint8_t* data, size_t size, const WebPBitstreamFeatures& features,
                      TRasterTarget& target)
{
    const TRasterRows rows = target.Begin(features.width, features.height, TRasterChannels::Bgra);
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options))
        FailWebp("library version mismatch");
    options.color_mode = MODE_BGRA;
    options.use_threads = 0;
    const WebPData whole{data, size};
    std::unique_ptr<WebPAnimDecoder, AnimDecoderRelease> decoder(WebPAnimDecoderNew(&whole, &options));
    WebPAnimInfo info;
    if (!decoder || !WebPAnimDecoderGetInfo(decoder.get(), &info))
        FailWebp("damaged animation");
    if (int(info.canvas_width) != rows.width || int(info.canvas_height) != rows.height)
        FailWebp("inconsistent canvas size");
    uint8_t* canvas = nullptr;
    int timestamp = 0;
    if (!WebPAnimDecoderGetNext(decoder.get(), &canvas, &timestamp))
        FailWebp("damaged first frame");
    const size_t rowBytes = size_t(rows.width) * 4;
    for (int32_t y = 0; y < rows.height; ++y)
        std::memcpy(rows.Row(y), canvas + rowBytes * size_t(y), rowBytes);
}

} // namespace

void DecodeWebp(const uint8_t* data, size_t size, TRasterTarget& target)
{
    WebPBitstreamFeatures features;
    const VP8StatusCode status = WebPGetFeatures(data, size, &features);
    if (status != VP8_STATUS_OK)
        FailWebp(StatusText(status));
    if (features.has_animation)
        DecodeFirstFrame(data, size, features, target);
    else
        DecodeStill(data, size, features, target);
}

void EncodeWebp(const TRasterView& picture, TStream& stream)
{
    WebPConfig config;
    WebPPicture frame;
    if (!WebPConfigInit(&config) || !WebPPictureInit(&frame))
        FailWebp("library version mismatch");
    config.quality = kSavedQuality;
    frame.width = picture.width;
    frame.height = picture.height;
    WebPMemoryWriter written;
    WebPMemoryWriterInit(&written);
    frame.writer = WebPMemoryWrite;
    frame.custom_ptr = &written;
    // libwebp walks the rows by the stride, so rows lying bottom-up need no copy.
    const bool encoded = WebPPictureImportBGR(&frame, picture.top, static_cast<int>(picture.stride)) &&
                         WebPEncode(&config, &frame);
    const int error = frame.error_code;
    WebPPictureFree(&frame);
    struct Release {
        WebPMemoryWriter* writer;
        ~Release() { WebPMemoryWriterClear(writer); }
    } release{&written};
    if (!encoded) {
        if (error == VP8_ENC_ERROR_OUT_OF_MEMORY)
            throw EOutOfResources("Out of system resources");
        throw EInvalidGraphicOperation("WebP encoding failed: error " + std::to_string(error));
    }
    stream.WriteBuffer(written.mem, static_cast<int64_t>(written.size));
}

} // namespace mirth
