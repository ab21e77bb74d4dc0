#include "imaging/Canvas.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/Bitmap.h"
#include "imaging/PixelFormats.h"
#include "runtime/Exceptions.h"

namespace mirth {

namespace {

// A ternary raster operation over whole stored values: bit k of the code's
// truth table answers for pattern, source and destination bits (k = P·4 + S·2 + D).
uint32_t ApplyRop3(uint8_t code, uint32_t p, uint32_t s, uint32_t d)
{
    uint32_t result = 0;
    for (int k = 0; k < 8; ++k)
        if (code >> k & 1)
            result |= ((k & 4) ? p : ~p) & ((k & 2) ? s : ~s) & ((k & 1) ? d : ~d);
    return result;
}

uint32_t ApplyPenMode(TPenMode mode, uint32_t p, uint32_t d)
{
    switch (mode) {
    case pmBlack: return 0;
    case pmWhite: return ~0u;
    case pmNop: return d;
    case pmNot: return ~d;
    case pmCopy: return p;
    case pmNotCopy: return ~p;
    case pmMergePenNot: return p | ~d;
    case pmMaskPenNot: return p & ~d;
    case pmMergeNotPen: return ~p | d;
    case pmMaskNotPen: return ~p & d;
    case pmMerge: return p | d;
    case pmNotMerge: return ~(p | d);
    case pmMask: return p & d;
    case pmNotMask: return ~(p & d);
    case pmXor: return p ^ d;
    case pmNotXor: return ~(p ^ d);
    }
    return d;
}

uint32_t ValueMask(int bits) { return bits >= 32 ? ~0u : (1u << bits) - 1; }

// The dotted outline: runs of this many pixels, drawn and skipped in turn,
// counted along the outline from the top-left corner.
constexpr int kDotRun = 2;

bool PicksOutlinePixel(TPenStyle style, int index)
{
    switch (style) {
    case psClear: return false;
    case psDot: return (index / kDotRun) % 2 == 0;
    default: return true;
    }
}

} // namespace

void TBrush::SetColor(TColor color)
{
    color_ = color;
    if (style_ == bsClear)
        style_ = bsSolid;
}

void TBrush::SetStyle(TBrushStyle style)
{
    style_ = style;
    if (style == bsClear)
        color_ = clWhite;
}

TBitmapImage& TCanvas::Require(TBitmapImage* surface)
{
    if (surface == nullptr)
        throw EInvalidOperation("Canvas does not allow drawing");
    return *surface;
}

TRect TCanvas::ClipBounds()
{
    const TBitmapImage& surface = Require(Surface());
    return TRect{0, 0, surface.Width(), surface.Height()};
}

void TCanvas::DrawGraphic(int32_t x, int32_t y, TGraphic* graphic)
{
    if (graphic == nullptr || graphic->Empty())
        return;
    BeforeChange();
    graphic->Render(*this, TRect{x, y, x + graphic->Width(), y + graphic->Height()});
    AfterChange();
}

void TCanvas::StretchGraphic(const TRect& rect, TGraphic* graphic)
{
    if (graphic == nullptr)
        return;
    BeforeChange();
    graphic->Render(*this, rect);
    AfterChange();
}

void TCanvas::CopyArea(const TRect& destRect, TCanvas& source, const TRect& sourceRect)
{
    BeforeChange();
    Blit(destRect, Require(source.Surface()), sourceRect);
    AfterChange();
}

void TCanvas::Blit(const TRect& destRect, const TBitmapImage& image, const TRect& sourceRect)
{
    TBitmapImage& target = Require(WritableSurface());
    // A canvas copying onto itself reads from a copy taken before the first write, so
    // that overlapping rectangles copy as if the source had been read whole first.
    const std::shared_ptr<TBitmapImage> snapshot = &image == &target ? image.Clone() : nullptr;
    const TBitmapImage& source = snapshot ? *snapshot : image;
    const int64_t destWidth = destRect.Width(), destHeight = destRect.Height();
    const int64_t sourceWidth = sourceRect.Width(), sourceHeight = sourceRect.Height();
    if (destWidth <= 0 || destHeight <= 0 || sourceWidth <= 0 || sourceHeight <= 0 ||
        !target.HasPixels() || !source.HasPixels())
        return;

    // Each destination column and row takes one source column and row; those
    // that fall outside the source are left untouched.
    const int32_t x0 = std::max(destRect.left, 0), x1 = std::min(destRect.right, target.Width());
    const int32_t y0 = std::max(destRect.top, 0), y1 = std::min(destRect.bottom, target.Height());
    if (x0 >= x1 || y0 >= y1)
        return;
    std::vector<int32_t> columns(static_cast<size_t>(x1 - x0));
    for (int32_t x = x0; x < x1; ++x)
        columns[x - x0] = static_cast<int32_t>(sourceRect.left + (x - destRect.left) * sourceWidth / destWidth);
    auto insideSource = [&](int32_t sx) { return sx >= 0 && sx < source.Width(); };

    const bool plainCopy = copyMode_ == cmSrcCopy && source.Bits() == 24 && target.Bits() == 24;
    const bool oneToOne = sourceWidth == destWidth;
    const int bits = target.Bits();
    const uint8_t rop = static_cast<uint8_t>(copyMode_ >> 16);
    const uint32_t mask = ValueMask(bits);
    const uint32_t pattern = RawOfColor(target, brush_.Color());
    const std::vector<uint32_t> indexTable =
        copyMode_ == cmSrcCopy && bits == 24 ? TranslatedIndices(source, target) : std::vector<uint32_t>{};

    for (int32_t y = y0; y < y1; ++y) {
        const int64_t sy = sourceRect.top + (y - destRect.top) * sourceHeight / destHeight;
        if (sy < 0 || sy >= source.Height())
            continue;
        const uint8_t* from = source.Row(static_cast<int32_t>(sy));
        uint8_t* to = target.Row(y);
        if (plainCopy && oneToOne) {
            int32_t first = x0, last = x1;
            while (first < last && !insideSource(columns[first - x0]))
                ++first;
            while (last > first && !insideSource(columns[last - 1 - x0]))
                --last;
            if (first < last)
                std::memcpy(to + 3 * first, from + 3 * columns[first - x0], 3 * static_cast<size_t>(last - first));
            continue;
        }
        for (int32_t x = x0; x < x1; ++x) {
            const int32_t sx = columns[x - x0];
            if (!insideSource(sx))
                continue;
            if (plainCopy) {
                std::memcpy(to + 3 * x, from + 3 * sx, 3);
                continue;
            }
            if (!indexTable.empty()) {
                SetRawPixel(to, x, bits, indexTable[RawPixel(from, sx, source.Bits())]);
                continue;
            }
            const uint32_t s = RawOfColor(target, ColorOfRaw(source, RawPixel(from, sx, source.Bits())));
            const uint32_t d = RawPixel(to, x, bits);
            SetRawPixel(to, x, bits, ApplyRop3(rop, pattern, s, d) & mask);
        }
    }
}

void TCanvas::DrawRectangle(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    BeforeChange();
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    TBitmapImage& target = Require(WritableSurface());
    if (left < right && top < bottom && target.HasPixels()) {
        const int bits = target.Bits();
        auto inside = [&](int32_t x, int32_t y) { return x >= 0 && y >= 0 && x < target.Width() && y < target.Height(); };
        if (brush_.Style() != bsClear) {
            const bool outlined = pen_.Style() != psClear;
            const uint32_t fill = RawOfColor(target, brush_.Color());
            const int32_t y1 = std::min(bottom - outlined, target.Height());
            const int32_t x1 = std::min(right - outlined, target.Width());
            for (int32_t y = std::max(top + outlined, 0); y < y1; ++y)
                for (int32_t x = std::max(left + outlined, 0); x < x1; ++x)
                    SetRawPixel(target.Row(y), x, bits, fill);
        }
        // Walk the outline once around, clockwise from the top-left corner, so
        // that every border pixel is combined exactly once.
        const uint32_t penValue = RawOfColor(target, pen_.Color());
        const uint32_t mask = ValueMask(bits);
        int index = 0;
        auto plot = [&](int32_t x, int32_t y) {
            if (PicksOutlinePixel(pen_.Style(), index++) && inside(x, y)) {
                uint8_t* row = target.Row(y);
                SetRawPixel(row, x, bits, ApplyPenMode(pen_.Mode(), penValue, RawPixel(row, x, bits)) & mask);
            }
        };
        for (int32_t x = left; x < right; ++x)
            plot(x, top);
        for (int32_t y = top + 1; y < bottom; ++y)
            plot(right - 1, y);
        if (bottom - top > 1)
            for (int32_t x = right - 2; x >= left; --x)
                plot(x, bottom - 1);
        if (right - left > 1)
            for (int32_t y = bottom - 2; y > top; --y)
                plot(left, y);
    }
    AfterChange();
}

void TBitmapCanvas::BeforeChange() { bitmap_.Unshare(); }

void TBitmapCanvas::AfterChange() { bitmap_.Changed(); }

TBitmapImage* TBitmapCanvas::Surface() { return bitmap_.image_.get(); }

TBitmapImage* TBitmapCanvas::WritableSurface()
{
    bitmap_.Unshare();
    return Surface();
}

} // namespace mirth
