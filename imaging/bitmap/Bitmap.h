#pragma once
#include <cstdint>
#include <memory>

#include "imaging/pixels/BitmapImage.h"
#include "imaging/bitmap/Graphic.h"

namespace mirth {

class TCanvas;
class TBitmapCanvas;

enum TTransparentMode { tmAuto, tmFixed };

// A raster over a pixel store shared copy-on-write: copying a bitmap shares its
// store, and every write (row access included) first gives the writer a store of
// its own.
class TBitmap : public TGraphic {
public:
    static const TGraphicClass Class;
    static constexpr TColor kDefaultTransparentColor = 0x20000000;

    TBitmap();
    ~TBitmap() override;
    const TGraphicClass& ClassType() const override { return Class; }

    void CopyFrom(TGraphic* source) override;
    void Render(TCanvas& canvas, const TRect& rect) override;
    bool Empty() const override;
    int32_t Width() const override { return image_->Width(); }
    int32_t Height() const override { return image_->Height(); }
    void SetWidth(int32_t width) override;
    void SetHeight(int32_t height) override;
    TPalette Palette() const override { return image_->palette; }

    TPixelLayout PixelLayout() const;
    void SetPixelLayout(TPixelLayout layout);

    // Picture row y (0 at the top) for reading and writing, after unsharing.
    // EInvalidGraphicOperation "Scan line index out of range" outside 0..Height-1.
    uint8_t* ScanRow(int32_t y);
    // The same row for readers that must leave sharing alone: drawing the bitmap,
    // saving it, showing it.
    const uint8_t* ReadOnlyRow(int32_t y) const;

    TCanvas& Canvas();
    bool HasCanvas() const { return canvas_ != nullptr; }

    // Gives this bitmap a store of its own if it shares one, and forgets what
    // only an unchanged store may keep (the saved file bytes, the colour counts).
    void Unshare();
    const TBitmapImage& Image() const { return *image_; }
    bool SharesImageWith(const TBitmap& other) const { return image_ == other.image_; }
    // A number no bitmap has carried before, renewed by every access that may change the
    // pixels (row access, the canvas, a new store): while it stays the same, so do they.
    uint64_t ChangeStamp() const { return changeStamp_; }
    // Takes a store built by a reader; the caller decides whether to notify.
    void AdoptImage(std::shared_ptr<TBitmapImage> image);

    bool PaletteModified() const { return paletteModified_; }
    TColor TransparentColor() const { return transparentColor_; }
    TTransparentMode TransparentMode() const { return transparentMode_; }

    void LoadStream(TStream& stream) override;
    void SaveStream(TStream& stream) override;
    void ReadData(TStream& stream) override;
    void WriteData(TStream& stream) override;
    void LoadFromClipboardFormat(TClipboardFormat format, const std::vector<uint8_t>& data,
                                 const TPalette& palette) override;
    void SaveToClipboardFormat(TClipboardFormat& format, std::vector<uint8_t>& data,
                               TPalette& palette) override;

private:
    friend class TBitmapCanvas;
    void Resize(int32_t width, int32_t height);
    void TakeImage(std::shared_ptr<TBitmapImage> image);

    std::shared_ptr<TBitmapImage> image_;
    uint64_t changeStamp_ = 0;
    std::unique_ptr<TBitmapCanvas> canvas_;
    TColor transparentColor_ = kDefaultTransparentColor;
    TTransparentMode transparentMode_ = tmAuto;
    bool paletteModified_ = false;
};

} // namespace mirth
