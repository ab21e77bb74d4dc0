#include "imaging/jpeg/Jpeg.h"

#include "imaging/bitmap/Canvas.h"
#include "imaging/jpeg/Platform.h"
#include "imaging/pixels/PixelFormats.h"

namespace mirth {

const TGraphicClass TJPEGImage::Class{"TJPEGImage", [] { return std::unique_ptr<TGraphic>(new TJPEGImage); },
                                      &TGraphic::Class};

TJPEGDefaults JpegDefaults;

void AdaptJpegDefaultsToDisplay()
{
    if (IsPaletteDisplay())
        JpegDefaults.OutputDepth = od8Bit;
}

namespace {

[[noreturn]] void FailResize() { throw EInvalidGraphicOperation("Cannot change the size of a JPEG image"); }

} // namespace

TJPEGImage::TJPEGImage() : data_(std::make_shared<TJPEGData>())
{
    const TJPEGDefaults& defaults = JpegDefaults;
    EncodeQuality = defaults.EncodeQuality;
    GrayMode = defaults.GrayMode;
    DecodeMode = defaults.DecodeMode;
    outputDepth_ = defaults.OutputDepth;
    ShowPasses = defaults.ShowPasses;
    Progressive = defaults.Progressive;
    scaleDown_ = defaults.ScaleDown;
    BlockSmoothing = defaults.BlockSmoothing;
}

TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::TakeData(std::shared_ptr<TJPEGData> data)
{
    data_ = std::move(data);
    scaledSizeKnown_ = false;
}

void TJPEGImage::CopyFrom(TGraphic* source)
{
    if (auto* jpeg = dynamic_cast<TJPEGImage*>(source)) {
        // The compressed bytes are shared, never copied; only a decoded bitmap
        // is copied (and that shares its pixels until written).
        std::unique_ptr<TBitmap> bitmap;
        if (jpeg->decodedBitmap_) {
            bitmap = std::make_unique<TBitmap>();
            bitmap->CopyFrom(jpeg->decodedBitmap_.get());
        }
        TakeData(jpeg->data_);
        decodedBitmap_ = std::move(bitmap);
    } else if (auto* source_bitmap = dynamic_cast<TBitmap*>(source)) {
        auto bitmap = std::make_unique<TBitmap>();
        bitmap->CopyFrom(source_bitmap);
        GiveFreshData();
        decodedBitmap_ = std::move(bitmap);
    } else {
        TGraphic::CopyFrom(source);
    }
}

void TJPEGImage::CopyTo(TGraphic& destination)
{
    if (auto* bitmap = dynamic_cast<TBitmap*>(&destination))
        bitmap->CopyFrom(&DecodeToBitmap());
    else
        TGraphic::CopyTo(destination);
}

// Drawn as any graphic is, so that the destination is made private and told of the
// change even when Render is called on its own.
void TJPEGImage::Render(TCanvas& canvas, const TRect& rect) { canvas.StretchGraphic(rect, &DecodeToBitmap()); }

bool TJPEGImage::Equals(TGraphic* other)
{
    auto* jpeg = dynamic_cast<TJPEGImage*>(other);
    if (jpeg == nullptr)
        return false;
    if (data_->Compressed && jpeg->data_->Compressed)
        return TGraphic::Equals(other);
    return data_ == jpeg->data_;
}

bool TJPEGImage::Empty() const
{
    if (data_->Compressed)
        return false;
    return !decodedBitmap_ || decodedBitmap_->Empty();
}

int32_t TJPEGImage::Width() const
{
    if (decodedBitmap_)
        return decodedBitmap_->Width();
    if (scaleDown_ == sdFull)
        return data_->ImageWidth;
    UpdateScaledSize();
    return scaledWidth_;
}

int32_t TJPEGImage::Height() const
{
    if (decodedBitmap_)
        return decodedBitmap_->Height();
    if (scaleDown_ == sdFull)
        return data_->ImageHeight;
    UpdateScaledSize();
    return scaledHeight_;
}

void TJPEGImage::SetWidth(int32_t) { FailResize(); }
void TJPEGImage::SetHeight(int32_t) { FailResize(); }

TPalette TJPEGImage::Palette() const
{
    if (decodedBitmap_)
        return decodedBitmap_->Palette();
    if (externalPalette_.empty() && outputDepth_ == od24Bit && IsPaletteDisplay())
        externalPalette_ = HalftonePalette();
    return externalPalette_;
}

void TJPEGImage::SetPalette(const TPalette& palette)
{
    if (palette == externalPalette_)
        return;
    const bool dropped = decodedBitmap_ && decodedBitmap_->Palette() != palette;
    if (dropped)
        DropBitmap();
    externalPalette_ = palette;
    if (dropped) {
        paletteModified_ = true;
        Changed();
    }
}

void TJPEGImage::SetOutputDepth(TOutputDepth depth)
{
    if (depth == outputDepth_)
        return;
    DropBitmap();
    outputDepth_ = depth;
    paletteModified_ = true;
    Changed();
}

void TJPEGImage::SetScaleDown(TScaleDown scale)
{
    scaleDown_ = scale;
    scaledSizeKnown_ = false;
}

void TJPEGImage::ReadData(TStream& stream) { LoadCompressed(ReadCount32(stream), stream); }

void TJPEGImage::WriteData(TStream& stream)
{
    TMemoryStream* compressed = data_->Compressed.get();
    const int64_t size = compressed ? compressed->Size() : 0;
    WriteCount32(stream, static_cast<uint32_t>(size));
    if (size > 0)
        stream.WriteBuffer(compressed->Memory(), size);
}

void TJPEGImage::LoadStream(TStream& stream) { LoadCompressed(stream.Size() - stream.Position(), stream); }

void TJPEGImage::SaveStream(TStream& stream)
{
    EnsureCompressed();
    // A progress handler cancelled the encoding: nothing is written, and the
    // silent cancel goes on so that a file being replaced is left as it was.
    if (!data_->Compressed)
        throw EAbort("Operation aborted");
    TMemoryStream& compressed = *data_->Compressed;
    stream.WriteBuffer(compressed.Memory(), compressed.Size());
}

// Nothing pastes into a JPEG image; when something does, the pasted bitmap
// becomes the picture, as a bitmap copied in does, and is encoded when saved.
void TJPEGImage::LoadFromClipboardFormat(TClipboardFormat format, const std::vector<uint8_t>& data,
                                         const TPalette& palette)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->LoadFromClipboardFormat(format, data, palette);
    GiveFreshData();
    decodedBitmap_ = std::move(bitmap);
}

void TJPEGImage::SaveToClipboardFormat(TClipboardFormat& format, std::vector<uint8_t>& data, TPalette& palette)
{
    DecodeToBitmap().SaveToClipboardFormat(format, data, palette);
}

} // namespace mirth
