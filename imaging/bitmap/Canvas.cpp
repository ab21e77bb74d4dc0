#include "imaging/bitmap/Canvas.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>
#include <vector>

#include "imaging/bitmap/Bitmap.h"
#include "imaging/pixels/PixelFormats.h"
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

bool PicksOutlinePixel(TPenStyle style, int64_t index)
{
    switch (style) {
    case psClear: return false;
    case psDot: return (index / kDotRun) % 2 == 0;
    default: return true;
    }
}

// The source column (or row) that destination column d takes, nearest neighbour. The
// offset is below destLength and both lengths below 2^32, so the product fits 64 bits
// unsigned however far apart the edges lie.
int32_t SourceOf(int32_t d, int32_t destStart, int64_t destLength, int32_t sourceStart, int64_t sourceLength)
{
    const auto offset = static_cast<uint64_t>(int64_t{d} - destStart);
    const auto step = offset * static_cast<uint64_t>(sourceLength) / static_cast<uint64_t>(destLength);
    return static_cast<int32_t>(sourceStart + static_cast<int64_t>(step));
}

// The steps k in [0, length) for which start + k * step (step 1 or -1) lies in [0, limit).
std::pair<int64_t, int64_t> StepsInside(int64_t start, int step, int64_t limit, int64_t length)
{
    const int64_t first = step > 0 ? -start : start - limit + 1;
    const int64_t last = step > 0 ? limit - start : start + 1;
    return {std::max<int64_t>(first, 0), std::min(last, length)};
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
    const int64_t right = int64_t{x} + graphic->Width(), bottom = int64_t{y} + graphic->Height();
    if (right <= INT32_MAX && bottom <= INT32_MAX) {
        graphic->Render(*this, TRect{x, y, int32_t(right), int32_t(bottom)});
    } else {
        // Coordinates end at INT32_MAX, so no canvas holds what lies beyond: the part
        // before it is drawn unscaled from the graphic's pixels.
        const auto clippedRight = int32_t(std::min<int64_t>(right, INT32_MAX));
        const auto clippedBottom = int32_t(std::min<int64_t>(bottom, INT32_MAX));
        TBitmap pixels;
        pixels.CopyFrom(graphic);
        Blit(TRect{x, y, clippedRight, clippedBottom}, pixels.Image(), TRect{0, 0, clippedRight - x, clippedBottom - y});
    }
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
    const int64_t destWidth = destRect.Width(), destHeight = destRect.Height();
    const int64_t sourceWidth = sourceRect.Width(), sourceHeight = sourceRect.Height();
    if (destWidth <= 0 || destHeight <= 0 || sourceWidth <= 0 || sourceHeight <= 0 ||
        !target.HasPixels() || !image.HasPixels())
        return;

    // Each destination column and row takes one source column and row; those
    // that fall outside the source are left untouched.
    const int32_t x0 = std::max(destRect.left, 0), x1 = std::min(destRect.right, target.Width());
    const int32_t y0 = std::max(destRect.top, 0), y1 = std::min(destRect.bottom, target.Height());
    if (x0 >= x1 || y0 >= y1)
        return;
    // A canvas copying onto itself reads from a copy taken before the first write, so
    // that overlapping rectangles copy as if the source had been read whole first.
    const std::shared_ptr<TBitmapImage> snapshot = &image == &target ? image.Clone() : nullptr;
    const TBitmapImage& source = snapshot ? *snapshot : image;
    std::vector<int32_t> columns(static_cast<size_t>(x1 - x0));
    for (int32_t x = x0; x < x1; ++x)
        columns[x - x0] = SourceOf(x, destRect.left, destWidth, sourceRect.left, sourceWidth);
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
        const int32_t sy = SourceOf(y, destRect.top, destHeight, sourceRect.top, sourceHeight);
        if (sy < 0 || sy >= source.Height())
            continue;
        const uint8_t* from = source.Row(sy);
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
        if (brush_.Style() != bsClear) {
            const int bits = target.Bits();
            const bool outlined = pen_.Style() != psClear;
            const uint32_t fill = RawOfColor(target, brush_.Color());
            const int32_t y1 = std::min(bottom - outlined, target.Height());
            const int32_t x1 = std::min(right - outlined, target.Width());
            for (int32_t y = std::max(top + outlined, 0); y < y1; ++y)
                for (int32_t x = std::max(left + outlined, 0); x < x1; ++x)
                    SetRawPixel(target.Row(y), x, bits, fill);
        }
        DrawOutline(target, left, top, right, bottom);
    }
    AfterChange();
}

// The outline once around, clockwise from the top-left corner, every border pixel once;
// its place along the outline decides whether the pen style picks it. Only the part of
// each side that lies on the bitmap is visited, so a rectangle reaching far beyond the
// bitmap costs no more than the bitmap's edges.
void TCanvas::DrawOutline(TBitmapImage& target, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    struct Side {
        int64_t x, y;
        int dx, dy;
        int64_t length;
    };
    const int64_t width = int64_t{right} - left, height = int64_t{bottom} - top;
    const Side sides[] = {
        {left, top, 1, 0, width},
        {int64_t{right} - 1, int64_t{top} + 1, 0, 1, height - 1},
        {int64_t{right} - 2, int64_t{bottom} - 1, -1, 0, height > 1 ? width - 1 : 0},
        {left, int64_t{bottom} - 2, 0, -1, width > 1 ? std::max<int64_t>(height - 2, 0) : 0},
    };
    const int bits = target.Bits();
    const uint32_t penValue = RawOfColor(target, pen_.Color());
    const uint32_t mask = ValueMask(bits);
    int64_t index = 0;
    for (const Side& side : sides) {
        const bool across = side.dy == 0;
        const int64_t fixed = across ? side.y : side.x;
        if (fixed >= 0 && fixed < (across ? target.Height() : target.Width())) {
            const auto [first, last] = across ? StepsInside(side.x, side.dx, target.Width(), side.length)
                                              : StepsInside(side.y, side.dy, target.Height(), side.length);
            for (int64_t k = first; k < last; ++k) {
                if (!PicksOutlinePixel(pen_.Style(), index + k))
                    continue;
                const auto x = static_cast<int32_t>(side.x + k * side.dx);
                uint8_t* row = target.Row(static_cast<int32_t>(side.y + k * side.dy));
                SetRawPixel(row, x, bits, ApplyPenMode(pen_.Mode(), penValue, RawPixel(row, x, bits)) & mask);
            }
        }
        index += side.length;
    }
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
