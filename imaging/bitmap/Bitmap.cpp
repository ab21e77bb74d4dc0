#include "imaging/bitmap/Bitmap.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

#include "imaging/bitmap/Canvas.h"
#include "imaging/pixels/PixelFormats.h"
#include "runtime/Exceptions.h"

namespace mirth {

const TGraphicClass TBitmap::Class{"TBitmap", [] { return std::unique_ptr<TGraphic>(new TBitmap); },
                                   &TGraphic::Class};

namespace {

void FillPixels(TBitmapImage& image, TColor color)
{
    const uint32_t raw = RawOfColor(image, color);
    const int bits = image.Bits();
    for (int32_t y = 0; y < image.Height(); ++y) {
        uint8_t* row = image.Row(y);
        if (bits == 24 || bits == 8) {
            if (bits == 8 || (uint8_t(raw) == uint8_t(raw >> 8) && uint8_t(raw) == uint8_t(raw >> 16))) {
                std::memset(row, uint8_t(raw), static_cast<size_t>(image.Width()) * (bits / 8));
                continue;
            }
        }
        for (int32_t x = 0; x < image.Width(); ++x)
            SetRawPixel(row, x, bits, raw);
    }
}

// Copies the overlap of two pictures' rows at the top-left corner, converting
// each pixel's colour unless both stores hold the same kind of bytes.
void CopyPixels(const TBitmapImage& from, TBitmapImage& to)
{
    const int32_t width = std::min(from.Width(), to.Width());
    const int32_t height = std::min(from.Height(), to.Height());
    const bool sameBytes = from.Bits() == to.Bits() && LayoutOf(from) == LayoutOf(to) &&
                           (from.Bits() > 8 || from.palette == to.palette);
    const bool bgrBytes = from.Bits() == 24 && to.Bits() == 24;
    const std::vector<uint32_t> indexTable =
        !sameBytes && to.Bits() == 24 ? TranslatedIndices(from, to) : std::vector<uint32_t>{};
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* source = from.Row(y);
        uint8_t* target = to.Row(y);
        if (sameBytes || bgrBytes) {
            const size_t fullBytes = static_cast<size_t>(width) * from.Bits() / 8;
            std::memcpy(target, source, fullBytes);
            for (int32_t x = static_cast<int32_t>(fullBytes * 8 / from.Bits()); x < width; ++x)
                SetRawPixel(target, x, to.Bits(), RawPixel(source, x, from.Bits()));
            continue;
        }
        if (!indexTable.empty()) {
            for (int32_t x = 0; x < width; ++x)
                SetRawPixel(target, x, 24, indexTable[RawPixel(source, x, from.Bits())]);
            continue;
        }
        for (int32_t x = 0; x < width; ++x)
            SetRawPixel(target, x, to.Bits(), RawOfColor(to, ColorOfRaw(from, RawPixel(source, x, from.Bits()))));
    }
}

uint16_t BitsOf(TPixelLayout layout)
{
    static const uint16_t bits[] = {kDeviceBits, 1, 4, 8, 16, 16, 24, 32};
    return bits[layout];
}

// The colour table a store converted to `layout` gets. A layout can only keep a table it
// can index whole: 1 bit keeps a table of at most two colours, and a larger one would leave
// pixels the lowest bit of an index into it (white turning nearly black).
TPalette PaletteFor(TPixelLayout layout, const TPalette& current)
{
    switch (layout) {
    case pl1Bit: return current.empty() || current.size() > 2 ? MonochromePalette() : current;
    case pl4Bit: return StandardPalette16();
    case pl8Bit: return HalftonePalette();
    default: return current;
    }
}

} // namespace

namespace {

uint64_t NewChangeStamp()
{
    static std::atomic<uint64_t> last{0};
    return ++last;
}

} // namespace

TBitmap::TBitmap() { TakeImage(TBitmapImage::Make(TBitmapHeader{})); }

TBitmap::~TBitmap() = default;

void TBitmap::CopyFrom(TGraphic* source)
{
    if (auto* bitmap = dynamic_cast<TBitmap*>(source)) {
        TakeImage(bitmap->image_);
        transparent_ = bitmap->transparent_;
        transparentColor_ = bitmap->transparentColor_;
        transparentMode_ = bitmap->transparentMode_;
    } else if (source == nullptr) {
        TakeImage(TBitmapImage::Make(TBitmapHeader{}));
    } else {
        source->CopyTo(*this);
        return;
    }
    paletteModified_ = !image_->palette.empty();
    Changed();
}

void TBitmap::Render(TCanvas& canvas, const TRect& rect)
{
    if (image_->HasPixels())
        canvas.Blit(rect, *image_, TRect{0, 0, Width(), Height()});
}

bool TBitmap::Empty() const { return !image_->HasPixels() && image_->savedFileBytes.empty(); }

void TBitmap::SetWidth(int32_t width)
{
    width = std::max(width, 0);
    if (width != Width())
        Resize(width, Height());
}

void TBitmap::SetHeight(int32_t height)
{
    height = std::max(height, 0);
    if (height != Height())
        Resize(Width(), height);
}

void TBitmap::Resize(int32_t width, int32_t height)
{
    TBitmapHeader header = image_->header;
    header.width = width;
    header.height = height;
    const bool deviceForm = LayoutOf(*image_) == plDevice;
    if (deviceForm)
        header.bitCount = kDeviceBits;
    header.imageSize = static_cast<uint32_t>(RowStride(width, deviceForm ? kDeviceBits : header.bitCount) * height);
    // Every pixel is filled or copied below.
    auto resized = TBitmapImage::Make(header, deviceForm, TPixelStart::Unset);
    resized->palette = image_->palette;
    resized->coreHeader = image_->coreHeader;
    if (resized->HasPixels()) {
        FillPixels(*resized, canvas_ ? canvas_->Brush().Color() : clWhite);
        if (image_->HasPixels())
            CopyPixels(*image_, *resized);
    }
    TakeImage(std::move(resized));
    Changed();
}

TPixelLayout TBitmap::PixelLayout() const { return LayoutOf(*image_); }

void TBitmap::SetPixelLayout(TPixelLayout layout)
{
    if (layout == PixelLayout())
        return;
    if (layout == plCustom)
        throw EInvalidGraphic("Invalid pixel format");
    // Converting reads the old store and writes a new one, so a shared store
    // needs no private copy first: the other sharers keep it unchanged.
    TBitmapHeader header;
    header.width = Width();
    header.height = Height();
    header.bitCount = BitsOf(layout);
    if (layout == pl16Bit) {
        header.compression = kCompressionBitFields;
        header.masks[0] = 0xF800;
        header.masks[1] = 0x07E0;
        header.masks[2] = 0x001F;
    }
    header.imageSize = static_cast<uint32_t>(RowStride(header.width, header.bitCount) * header.height);
    auto converted = TBitmapImage::Make(header, layout == plDevice);
    converted->palette = PaletteFor(layout, image_->palette);
    converted->coreHeader = image_->coreHeader;
    if (converted->HasPixels() && image_->HasPixels())
        CopyPixels(*image_, *converted);
    TakeImage(std::move(converted));
    paletteModified_ = !image_->palette.empty();
    Changed();
}

void TBitmap::TakeImage(std::shared_ptr<TBitmapImage> image)
{
    image_ = std::move(image);
    changeStamp_ = NewChangeStamp();
}

void TBitmap::Unshare()
{
    changeStamp_ = NewChangeStamp();
    if (image_.use_count() > 1)
        image_ = image_->Clone();
    image_->savedFileBytes.clear();
    image_->header.colorsUsed = 0;
    image_->header.colorsImportant = 0;
}

namespace {
[[noreturn]] void FailScanRow() { throw EInvalidGraphicOperation("Scan line index out of range"); }
} // namespace

uint8_t* TBitmap::ScanRow(int32_t y)
{
    Unshare();
    if (y < 0 || y >= image_->Height() || !image_->HasPixels())
        FailScanRow();
    return image_->Row(y);
}

const uint8_t* TBitmap::ReadOnlyRow(int32_t y) const
{
    if (y < 0 || y >= image_->Height() || !image_->HasPixels())
        FailScanRow();
    return image_->Row(y);
}

TCanvas& TBitmap::Canvas()
{
    if (!canvas_)
        canvas_ = std::make_unique<TBitmapCanvas>(*this);
    return *canvas_;
}

void TBitmap::AdoptImage(std::shared_ptr<TBitmapImage> image)
{
    TakeImage(std::move(image));
    paletteModified_ = !image_->palette.empty();
}

} // namespace mirth
