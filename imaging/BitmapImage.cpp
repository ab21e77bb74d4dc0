#include "imaging/BitmapImage.h"

#include <cstring>

#include "runtime/Exceptions.h"

namespace mirth {

namespace {

bool IsSupportedDepth(int bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

[[noreturn]] void FailOutOfResources() { throw EOutOfResources("Out of system resources"); }

} // namespace

std::shared_ptr<TBitmapImage> TBitmapImage::Make(const TBitmapHeader& header, bool deviceForm)
{
    auto image = std::make_shared<TBitmapImage>();
    image->header = header;
    image->deviceForm = deviceForm;
    const int64_t width = header.width;
    const int64_t height = image->Height();
    if (width <= 0 || height <= 0 || (header.bitCount == 0 && !deviceForm))
        return image;
    if (!IsSupportedDepth(image->Bits()))
        throw EInvalidGraphic("Invalid pixel format");
    // Width and height are below 2^31, so neither product can overflow 64 bits.
    const int64_t bytes = RowStride(width, image->Bits()) * height;
    if (bytes > kMaxPixelBytes)
        FailOutOfResources();
    image->pixels_.reset(static_cast<uint8_t*>(std::calloc(static_cast<size_t>(bytes), 1)));
    if (!image->pixels_)
        FailOutOfResources();
    image->pixelBytes_ = static_cast<size_t>(bytes);
    return image;
}

std::shared_ptr<TBitmapImage> TBitmapImage::Clone() const
{
    auto copy = std::make_shared<TBitmapImage>();
    copy->header = header;
    copy->deviceForm = deviceForm;
    copy->palette = palette;
    copy->coreHeader = coreHeader;
    copy->savedFileBytes = savedFileBytes;
    if (pixels_) {
        copy->pixels_.reset(static_cast<uint8_t*>(std::malloc(pixelBytes_)));
        if (!copy->pixels_)
            FailOutOfResources();
        std::memcpy(copy->pixels_.get(), pixels_.get(), pixelBytes_);
        copy->pixelBytes_ = pixelBytes_;
    }
    return copy;
}

} // namespace mirth
