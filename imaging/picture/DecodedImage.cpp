#include "imaging/picture/DecodedImage.h"

#include <vector>

#include "runtime/Exceptions.h"

namespace mirth {

namespace {

class StoreTarget : public TRasterTarget {
public:
    explicit StoreTarget(const TDecodedFormat& format) : format_(format) {}

    TRasterRows Begin(int32_t width, int32_t height, TRasterChannels channels) override
    {
        if (width <= 0 || height <= 0)
            throw EInvalidGraphic(Format("%s image is not valid: no pixels", format_.name));
        TBitmapHeader header;
        header.width = width;
        header.height = height;
        header.bitCount = static_cast<uint16_t>(8 * BytesPerPixel(channels));
        store_ = TBitmapImage::Make(header);
        // Stores lie bottom-up, as a BMP file does.
        return TRasterRows{store_->Row(0), -static_cast<ptrdiff_t>(store_->Stride()), width, height};
    }

    std::shared_ptr<TBitmapImage> Take()
    {
        if (!store_)
            throw EInvalidGraphic(Format("%s image is not valid: no pixels", format_.name));
        return store_->header.bitCount == 24 ? std::move(store_) : OverWhite(*store_);
    }

private:
    static std::shared_ptr<TBitmapImage> OverWhite(const TBitmapImage& bgra)
    {
        TBitmapHeader header = bgra.header;
        header.bitCount = 24;
        auto bgr = TBitmapImage::Make(header);
        for (int32_t y = 0; y < bgra.Height(); ++y)
            ComposeOverWhite(bgra.Row(y), bgr->Row(y), bgra.Width());
        return bgr;
    }

    const TDecodedFormat& format_;
    std::shared_ptr<TBitmapImage> store_;
};

} // namespace

void ComposeOverWhite(const uint8_t* bgra, uint8_t* bgr, int32_t width)
{
    for (int32_t x = 0; x < width; ++x, bgra += 4, bgr += 3) {
        const unsigned alpha = bgra[3], white = 255 * (255 - alpha);
        for (int c = 0; c < 3; ++c)
            bgr[c] = static_cast<uint8_t>((bgra[c] * alpha + white + 127) / 255);
    }
}

std::shared_ptr<TBitmapImage> DecodeToStore(const TDecodedFormat& format, const uint8_t* data, size_t size)
{
    StoreTarget target(format);
    format.decode(data, size, target);
    auto store = target.Take();
    store->header.imageSize = static_cast<uint32_t>(store->PixelBytes());
    return store;
}

void TDecodedImage::LoadStream(TStream& stream)
{
    const int64_t count = stream.Size() - stream.Position();
    std::vector<uint8_t> bytes(static_cast<size_t>(count < 0 ? 0 : count));
    stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    AdoptImage(DecodeToStore(format_, bytes.data(), bytes.size()));
    Changed();
}

} // namespace mirth
