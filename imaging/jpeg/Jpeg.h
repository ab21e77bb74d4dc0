#pragma once
#include <cstdint>
#include <memory>

#include "imaging/bitmap/Bitmap.h"
#include "runtime/Exceptions.h"

namespace mirth {

// Every failure the JPEG library reports: "JPEG error #%d" with its message code.
class EJPEG : public EInvalidGraphic {
public:
    using EInvalidGraphic::EInvalidGraphic;
};

enum TOutputDepth : uint8_t { od24Bit, od8Bit };
enum TDecodeMode : uint8_t { dmAccurate, dmFast };
enum TScaleDown : uint8_t { sdFull, sdHalf, sdQuarter, sdEighth };

// The eight settings every new JPEG image starts from.
struct TJPEGDefaults {
    uint8_t EncodeQuality = 90;
    bool GrayMode = false;
    TDecodeMode DecodeMode = dmAccurate;
    TOutputDepth OutputDepth = od24Bit;
    bool ShowPasses = false;
    bool Progressive = false;
    TScaleDown ScaleDown = sdFull;
    bool BlockSmoothing = true;
};

extern TJPEGDefaults JpegDefaults;

// On a palette display pictures decode to 236 colours unless asked otherwise.
// Called once at start-up, after the display's depth is known, before any image.
void AdaptJpegDefaultsToDisplay();

// The compressed stream of a JPEG image with its header values, shared by images
// copied from one another. A block that holds a stream is never rewritten: a new
// stream always goes into a fresh block.
struct TJPEGData {
    std::unique_ptr<TMemoryStream> Compressed;  // none until loaded or encoded
    int32_t ImageWidth = 0;
    int32_t ImageHeight = 0;
    bool IsGray = false;
};

// A JPEG picture held both as its compressed stream and as a bitmap decoded on
// demand. Loading parses only the header, copying a bitmap in only stores it:
// the library runs when pixels or bytes are first needed.
class TJPEGImage : public TGraphic {
public:
    static const TGraphicClass Class;

    TJPEGImage();
    ~TJPEGImage() override;
    const TGraphicClass& ClassType() const override { return Class; }

    void CopyFrom(TGraphic* source) override;
    void CopyTo(TGraphic& destination) override;
    void Render(TCanvas& canvas, const TRect& rect) override;
    bool Equals(TGraphic* other) override;
    bool Empty() const override;
    int32_t Width() const override;
    int32_t Height() const override;
    // Always EInvalidGraphicOperation "Cannot change the size of a JPEG image".
    void SetWidth(int32_t width) override;
    void SetHeight(int32_t height) override;
    TPalette Palette() const override;
    void SetPalette(const TPalette& palette) override;

    void ReadData(TStream& stream) override;
    void WriteData(TStream& stream) override;
    void LoadStream(TStream& stream) override;
    void SaveStream(TStream& stream) override;
    void LoadFromClipboardFormat(TClipboardFormat format, const std::vector<uint8_t>& data,
                                 const TPalette& palette) override;
    void SaveToClipboardFormat(TClipboardFormat& format, std::vector<uint8_t>& data,
                               TPalette& palette) override;

    // Takes the next count bytes of stream as the compressed picture and reads its header.
    void LoadCompressed(int64_t count, TStream& stream);
    void EnsureCompressed();
    // The decoded picture, decoding first when there is none. After a failed
    // decode the partly filled bitmap stays and is returned by later calls.
    TBitmap& DecodeToBitmap();

    const TJPEGData& Data() const { return *data_; }
    bool SharesDataWith(const TJPEGImage& other) const { return data_ == other.data_; }
    bool HasBitmap() const { return decodedBitmap_ != nullptr; }
    bool PaletteModified() const { return paletteModified_; }

    TOutputDepth OutputDepth() const { return outputDepth_; }
    void SetOutputDepth(TOutputDepth depth);
    TScaleDown ScaleDown() const { return scaleDown_; }
    void SetScaleDown(TScaleDown scale);

    uint8_t EncodeQuality = 90;
    bool GrayMode = false;
    TDecodeMode DecodeMode = dmAccurate;
    bool ShowPasses = false;
    // Encode progressive. Every reading of the stream's header says whether the stream
    // has several scans, the size query at a scale included, hence mutable.
    mutable bool Progressive = false;
    bool BlockSmoothing = true;

private:
    friend class JpegDecoder;
    friend class JpegEncoder;
    friend class JpegRun;

    void TakeData(std::shared_ptr<TJPEGData> data);
    void GiveFreshData() { TakeData(std::make_shared<TJPEGData>()); }
    void DropBitmap() { decodedBitmap_.reset(); }
    void ReportProgress(TProgressStage stage, uint8_t percent, bool redrawNow, const TRect& rect)
    {
        Progress(stage, percent, redrawNow, rect, {});
    }
    void UpdateScaledSize() const;

    std::shared_ptr<TJPEGData> data_;
    std::unique_ptr<TBitmap> decodedBitmap_;
    TOutputDepth outputDepth_ = od24Bit;
    TScaleDown scaleDown_ = sdFull;
    mutable TPalette externalPalette_;  // none when empty
    mutable bool scaledSizeKnown_ = false;
    mutable int32_t scaledWidth_ = 0;
    mutable int32_t scaledHeight_ = 0;
    mutable bool paletteModified_ = false;
};

} // namespace mirth
