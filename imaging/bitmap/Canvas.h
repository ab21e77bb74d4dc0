#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "imaging/pixels/GraphicsTypes.h"

namespace mirth {

class TBitmap;
class TBitmapImage;
class TGraphic;

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

// Raster-operation codes for CopyMode; the third byte is the truth table of the
// operation over pattern (brush), source and destination bits.
constexpr uint32_t cmBlackness = 0x00000042;
constexpr uint32_t cmDstInvert = 0x00550009;
constexpr uint32_t cmMergePaint = 0x00BB0226;
constexpr uint32_t cmNotSrcCopy = 0x00330008;
constexpr uint32_t cmNotSrcErase = 0x001100A6;
constexpr uint32_t cmPatCopy = 0x00F00021;
constexpr uint32_t cmSrcAnd = 0x008800C6;
constexpr uint32_t cmSrcCopy = 0x00CC0020;
constexpr uint32_t cmSrcErase = 0x00440328;
constexpr uint32_t cmSrcInvert = 0x00660046;
constexpr uint32_t cmSrcPaint = 0x00EE0086;
constexpr uint32_t cmWhiteness = 0x00FF0062;

class TGraphicsObject : public TPersistent {};

class TPen : public TGraphicsObject {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor color) { color_ = color; }
    int32_t Width() const { return width_; }
    void SetWidth(int32_t width) { if (width >= 0) width_ = width; }
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle style) { style_ = style; }
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode mode) { mode_ = mode; }

private:
    TColor color_ = clBlack;
    int32_t width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
};

class TBrush : public TGraphicsObject {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle style);

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
};

class TFont : public TGraphicsObject {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor color) { color_ = color; }
    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    int32_t Size() const { return size_; }
    void SetSize(int32_t size) { size_ = size; }

private:
    TColor color_ = clBlack;
    std::string name_ = "Sans Serif";
    int32_t size_ = 8;
};

// A drawing surface. Every drawing operation runs BeforeChange, draws, then
// AfterChange; reading operations run neither.
class TCanvas : public TPersistent {
public:
    TPen& Pen() { return pen_; }
    void SetPen(const TPen& pen) { pen_ = pen; }
    TBrush& Brush() { return brush_; }
    void SetBrush(const TBrush& brush) { brush_ = brush; }
    TFont& Font() { return font_; }
    void SetFont(const TFont& font) { font_ = font; }
    uint32_t CopyMode() const { return copyMode_; }
    void SetCopyMode(uint32_t mode) { copyMode_ = mode; }

    void DrawGraphic(int32_t x, int32_t y, TGraphic* graphic);
    void StretchGraphic(const TRect& rect, TGraphic* graphic);
    void CopyArea(const TRect& destRect, TCanvas& source, const TRect& sourceRect);
    void DrawRectangle(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void DrawRectangle(const TRect& rect) { DrawRectangle(rect.left, rect.top, rect.right, rect.bottom); }
    virtual TRect ClipBounds();

    // Scales sourceRect of source into destRect, nearest neighbour, combined by
    // CopyMode; the primitive behind Render and CopyArea. It sends no notification.
    void Blit(const TRect& destRect, const TBitmapImage& image, const TRect& sourceRect);

protected:
    virtual void BeforeChange() {}
    virtual void AfterChange() {}
    // The pixels this canvas reads from; none on a canvas that cannot draw ("Canvas
    // does not allow drawing").
    virtual TBitmapImage* Surface() { return nullptr; }
    // The pixels this canvas writes to, made its own first. Every write takes this
    // way, also one that comes without BeforeChange (a graphic's Render called on
    // its own), so no drawing ever reaches pixels another bitmap shares.
    virtual TBitmapImage* WritableSurface() { return Surface(); }

private:
    static TBitmapImage& Require(TBitmapImage* surface);
    // The pen's outline of a normalised, non-empty rectangle.
    void DrawOutline(TBitmapImage& target, int32_t left, int32_t top, int32_t right, int32_t bottom);

    TPen pen_;
    TBrush brush_;
    TFont font_;
    uint32_t copyMode_ = cmSrcCopy;
};

// The canvas of a bitmap: drawing unshares the bitmap first and notifies its
// change afterwards.
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap& bitmap) : bitmap_(bitmap) {}

protected:
    void BeforeChange() override;
    void AfterChange() override;
    TBitmapImage* Surface() override;
    TBitmapImage* WritableSurface() override;

private:
    TBitmap& bitmap_;
};

} // namespace mirth
