#include "imaging/animation/WebpEncoder.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <thread>

#include "imaging/bitmap/Bitmap.h"
#include "runtime/Exceptions.h"

namespace mirth {

namespace {

constexpr float kQuality = 75;

[[noreturn]] void ThrowWebpError(const std::string& reason)
{
    throw EWriteError("Cannot write the WebP file: " + reason);
}

struct EncoderDeleter {
    void operator()(WebPAnimEncoder* encoder) const { WebPAnimEncoderDelete(encoder); }
};

// A frame in libwebp's own ARGB form, freed however the adding ends.
struct Picture : WebPPicture {
    Picture() { WebPPictureInit(this); }
    ~Picture() { WebPPictureFree(this); }
};

class WebpEncoder : public TAnimationEncoder {
public:
    WebpEncoder(int32_t width, int32_t height, TAnimationTiming timing)
        : width_(width), height_(height), delayMs_(FrameDelayMs(timing.intervalMs))
    {
        WebPAnimEncoderOptions options;
        if (!WebPAnimEncoderOptionsInit(&options) || !WebPConfigInit(&config_))
            ThrowWebpError("the library does not match its headers");
        options.anim_params.loop_count = timing.loops ? 0 : 1;
        encoder_.reset(WebPAnimEncoderNew(width, height, &options));
        if (encoder_ == nullptr)
            ThrowWebpError("out of memory");
        config_.quality = kQuality;
        config_.thread_level = std::thread::hardware_concurrency() > 1 ? 1 : 0;
    }

    void AddFrame(const TBitmap& frame) override
    {
        Picture picture;
        picture.use_argb = 1;
        picture.width = width_;
        picture.height = height_;
        const std::vector<uint8_t> bgr = PackedBgr(frame);
        if (!WebPPictureImportBGR(&picture, bgr.data(), 3 * width_))
            ThrowWebpError("out of memory");
        if (!WebPAnimEncoderAdd(encoder_.get(), &picture, timestamp_, &config_))
            ThrowWebpError(WebPAnimEncoderGetError(encoder_.get()));
        timestamp_ += delayMs_;
    }

    std::vector<uint8_t> Finish() override
    {
        WebPData data;
        WebPDataInit(&data);
        // The end of the last frame's time, so that it lasts as long as the others.
        if (!WebPAnimEncoderAdd(encoder_.get(), nullptr, timestamp_, nullptr) ||
            !WebPAnimEncoderAssemble(encoder_.get(), &data))
            ThrowWebpError(WebPAnimEncoderGetError(encoder_.get()));
        std::vector<uint8_t> bytes(data.bytes, data.bytes + data.size);
        WebPDataClear(&data);
        return bytes;
    }

private:
    int32_t width_, height_;
    int32_t delayMs_;
    int timestamp_ = 0;
    WebPConfig config_;
    std::unique_ptr<WebPAnimEncoder, EncoderDeleter> encoder_;
};

} // namespace

std::unique_ptr<TAnimationEncoder> MakeWebpEncoder(int32_t width, int32_t height, TAnimationTiming timing)
{
    return std::make_unique<WebpEncoder>(width, height, timing);
}

} // namespace mirth
