#include "effects/Lens.h"

#include <cmath>
#include <cstring>
#include <type_traits>

namespace mirth {

namespace {

constexpr int64_t kSoftening = 1000;
constexpr int kBytesPerPixel = 3;

// One lens: where a pixel at offset (dx, dy) from the centre takes its colour.
// The arithmetic is the extended format throughout, rounding to nearest even,
// so that every pixel lands on exactly the source the lens is defined by.
// llrintl rounds in the current mode, which is never changed from nearest-even;
// unlike nearbyintl it does not save and restore the floating-point environment.
class LensGeometry {
public:
    LensGeometry(TPoint centre, int strength) : centre_(centre), scale_(100 * strength) {}

    // The pixels of row y whose factor exceeds 1 (q + 1000 < 100 s): columns
    // first..last, or none when first > last. Everywhere else the factor is exactly 1.
    void DiscSpan(int32_t y, int64_t& first, int64_t& last) const
    {
        const int64_t dy = int64_t(y) - centre_.y;
        const int64_t room = scale_ - kSoftening - 1 - dy * dy;  // largest dx² that magnifies
        if (room < 0) {
            first = 1;
            last = 0;
            return;
        }
        auto half = static_cast<int64_t>(std::sqrt(static_cast<double>(room)));
        while (half * half > room)
            --half;
        while ((half + 1) * (half + 1) <= room)
            ++half;
        first = centre_.x - half;
        last = centre_.x + half;
    }

    void SourceOf(int32_t x, int32_t y, int64_t& sourceX, int64_t& sourceY) const
    {
        const int64_t dx = int64_t(x) - centre_.x, dy = int64_t(y) - centre_.y;
        const int64_t t = dx * dx + dy * dy + kSoftening;
        const float d = static_cast<float>(scale_);
        const double g = t > d ? 1.0 : static_cast<double>(static_cast<long double>(d) / static_cast<long double>(t));
        sourceX = llrintl(static_cast<long double>(dx) / g + centre_.x);
        sourceY = llrintl(static_cast<long double>(dy) / g + centre_.y);
    }

private:
    TPoint centre_;
    int64_t scale_;
};

int64_t NearestColumn(int64_t x, int32_t width) { return x < 0 ? 0 : x >= width ? width - 1 : x; }

// The row access decides: the whole pass unshares the reference as every row access does;
// a redraw only reads it. Both fail alike on a row the reference does not have.
template <typename Reference>
void CopyPixel(Reference& reference, int64_t sourceX, int64_t sourceY, uint8_t* target)
{
    const uint8_t* row = [&] {
        if constexpr (std::is_const_v<Reference>)
            return reference.ReadOnlyRow(static_cast<int32_t>(sourceY));
        else
            return reference.ScanRow(static_cast<int32_t>(sourceY));
    }();
    std::memcpy(target, row + kBytesPerPixel * NearestColumn(sourceX, reference.Width()), kBytesPerPixel);
}

// Outside the disc every pixel shows the reference pixel at its own place; the
// bulk of a picture is therefore a row copy, with columns beyond a narrower
// reference taking its last column.
void CopyUnmoved(const uint8_t* source, int32_t sourceWidth, uint8_t* target, int64_t from, int64_t to)
{
    const int64_t direct = std::min<int64_t>(to, sourceWidth);
    if (from < direct)
        std::memmove(target + kBytesPerPixel * from, source + kBytesPerPixel * from,
                     static_cast<size_t>(kBytesPerPixel * (direct - from)));
    for (int64_t x = std::max<int64_t>(from, sourceWidth); x < to; ++x)
        std::memcpy(target + kBytesPerPixel * x, source + kBytesPerPixel * (sourceWidth - 1), kBytesPerPixel);
}

void DrawRow(const LensGeometry& lens, TBitmap& reference, TBitmap& working, int32_t y)
{
    uint8_t* target = working.ScanRow(y);
    const int32_t width = working.Width();
    int64_t sourceX, sourceY;
    if (y >= reference.Height()) {
        // A row the reference does not have: every pixel looks for its own
        // source, and the first whose row is missing stops the pass.
        for (int32_t x = 0; x < width; ++x) {
            lens.SourceOf(x, y, sourceX, sourceY);
            CopyPixel(reference, sourceX, sourceY, target + kBytesPerPixel * x);
        }
        return;
    }
    const uint8_t* unmoved = reference.ScanRow(y);
    int64_t first, last;
    lens.DiscSpan(y, first, last);
    first = std::clamp<int64_t>(first, 0, width);
    last = std::clamp<int64_t>(last + 1, first, width);
    CopyUnmoved(unmoved, reference.Width(), target, 0, first);
    for (int64_t x = first; x < last; ++x) {
        lens.SourceOf(static_cast<int32_t>(x), y, sourceX, sourceY);
        CopyPixel(reference, sourceX, sourceY, target + kBytesPerPixel * x);
    }
    CopyUnmoved(unmoved, reference.Width(), target, last, width);
}

bool MissesDisc(const LensGeometry& lens, int32_t y)
{
    int64_t first, last;
    lens.DiscSpan(y, first, last);
    return first > last;
}

// Rows first..last-1 hold no lens pixel, so they are the reference's rows. When
// both stores lay rows out alike, padding included, the run is one block in
// each and moves in one copy, which streams far faster than row by row.
void CopyUnmovedRows(TBitmap& reference, TBitmap& working, int32_t first, int32_t last)
{
    working.ScanRow(first);    // gives working its own store, as every row access does
    reference.ScanRow(first);
    const TBitmapImage& from = reference.Image();
    const TBitmapImage& to = working.Image();
    bool alike = from.Width() == to.Width() && from.Stride() == to.Stride() && from.TopDown() == to.TopDown();
    const size_t pixelBytes = kBytesPerPixel * static_cast<size_t>(to.Width());
    for (int32_t y = first; alike && y < last; ++y)
        alike = std::memcmp(from.Row(y) + pixelBytes, to.Row(y) + pixelBytes, to.Stride() - pixelBytes) == 0;
    if (!alike) {
        for (int32_t y = first; y < last; ++y)
            CopyUnmoved(reference.ScanRow(y), from.Width(), working.ScanRow(y), 0, to.Width());
        return;
    }
    const int32_t lowest = to.TopDown() ? first : last - 1;  // the run's first row in memory
    std::memmove(working.ScanRow(lowest), reference.ScanRow(lowest), to.Stride() * static_cast<size_t>(last - first));
}

// Columns first..last of a row, clipped to the picture; empty when first > last.
struct Span {
    int64_t first = 1, last = 0;
    bool Empty() const { return first > last; }
};

Span DiscSpanIn(const LensGeometry& lens, int32_t y, int32_t width)
{
    Span span;
    lens.DiscSpan(y, span.first, span.last);
    span.first = std::max<int64_t>(span.first, 0);
    span.last = std::min<int64_t>(span.last, int64_t(width) - 1);
    return span;
}

// More than the distance from the centre of any pixel the lens moves; -1 for none.
int64_t DiscReach(int strength)
{
    const int64_t room = 100 * int64_t(strength) - kSoftening - 1;
    return room < 0 ? -1 : static_cast<int64_t>(std::sqrt(static_cast<double>(room))) + 1;
}

// The picture's rows and columns [top, bottom) × [left, right) that hold the disc.
TRect DiscBounds(TLensDrawing lens, int32_t width, int32_t height)
{
    const int64_t reach = DiscReach(lens.strength);
    TRect bounds;
    bounds.top = static_cast<int32_t>(std::clamp<int64_t>(lens.centre.y - reach, 0, height));
    bounds.bottom = static_cast<int32_t>(std::clamp<int64_t>(lens.centre.y + reach + 1, bounds.top, height));
    bounds.left = static_cast<int32_t>(std::clamp<int64_t>(lens.centre.x - reach, 0, width));
    bounds.right = static_cast<int32_t>(std::clamp<int64_t>(lens.centre.x + reach + 1, bounds.left, width));
    return bounds;
}

void RestoreSpan(const uint8_t* unmoved, uint8_t* target, int64_t first, int64_t last)
{
    if (first <= last)
        std::memcpy(target + kBytesPerPixel * first, unmoved + kBytesPerPixel * first,
                    static_cast<size_t>(kBytesPerPixel * (last - first + 1)));
}

// One row of a redraw, left to right like the whole pass: the part of the old disc
// before the new one back to the reference, the new disc, the rest of the old disc.
void RedrawRow(const LensGeometry& before, const LensGeometry& after, const TBitmap& reference,
               TBitmap& working, int32_t y)
{
    const int32_t width = working.Width();
    const Span old = DiscSpanIn(before, y, width), now = DiscSpanIn(after, y, width);
    if (old.Empty() && now.Empty())
        return;
    const uint8_t* unmoved = reference.ReadOnlyRow(y);
    uint8_t* target = working.ScanRow(y);
    if (now.Empty()) {
        RestoreSpan(unmoved, target, old.first, old.last);
        return;
    }
    RestoreSpan(unmoved, target, old.first, std::min(old.last, now.first - 1));
    int64_t sourceX, sourceY;
    for (int64_t x = now.first; x <= now.last; ++x) {
        after.SourceOf(static_cast<int32_t>(x), y, sourceX, sourceY);
        CopyPixel(reference, sourceX, sourceY, target + kBytesPerPixel * x);
    }
    RestoreSpan(unmoved, target, std::max(old.first, now.last + 1), old.last);
}

} // namespace

TPoint LensCentre(TPoint requested)
{
    if (requested.x < 0 || requested.y < 0)
        return TPoint{50, 175};
    return requested;
}

void DrawLens(TBitmap& reference, TBitmap& working, TPoint centre, int strength)
{
    const LensGeometry lens(centre, strength);
    const int32_t height = working.Height();
    for (int32_t y = 0; y < height;) {
        int32_t end = y;
        while (end < height && end < reference.Height() && MissesDisc(lens, end))
            ++end;
        if (end > y) {
            CopyUnmovedRows(reference, working, y, end);
            y = end;
        } else {
            DrawRow(lens, reference, working, y++);
        }
    }
}

TRect LensBounds(TLensDrawing lens, int32_t width, int32_t height)
{
    const TRect bounds = DiscBounds(lens, width, height);
    return bounds.Width() > 0 && bounds.Height() > 0 ? bounds : TRect{};
}

void RedrawLens(const TBitmap& reference, TBitmap& working, TLensDrawing drawn, TLensDrawing next)
{
    const LensGeometry before(drawn.centre, drawn.strength), after(next.centre, next.strength);
    const TRect old = DiscBounds(drawn, working.Width(), working.Height());
    const TRect now = DiscBounds(next, working.Width(), working.Height());
    const auto redrawRows = [&](int32_t from, int32_t to) {
        for (int32_t y = from; y < to; ++y)
            RedrawRow(before, after, reference, working, y);
    };
    if (old.bottom <= now.top || now.bottom <= old.top) {
        // No row in common: the upper disc first, as the whole pass goes.
        const TRect& upper = old.top < now.top ? old : now;
        const TRect& lower = old.top < now.top ? now : old;
        redrawRows(upper.top, upper.bottom);
        redrawRows(lower.top, lower.bottom);
    } else {
        redrawRows(std::min(old.top, now.top), std::max(old.bottom, now.bottom));
    }
}

} // namespace mirth
