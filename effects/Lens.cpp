#include "effects/Lens.h"

#include <cmath>
#include <cstring>

namespace mirth {

namespace {

constexpr int64_t kSoftening = 1000;
constexpr int kBytesPerPixel = 3;

// One lens: where a pixel at offset (dx, dy) from the centre takes its colour.
// The arithmetic is the extended format throughout, rounding to nearest even,
// so that every pixel lands on exactly the source the lens is defined by.
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
        sourceX = std::llrint(nearbyintl(static_cast<long double>(dx) / g + centre_.x));
        sourceY = std::llrint(nearbyintl(static_cast<long double>(dy) / g + centre_.y));
    }

private:
    TPoint centre_;
    int64_t scale_;
};

int64_t NearestColumn(int64_t x, int32_t width) { return x < 0 ? 0 : x >= width ? width - 1 : x; }

void CopyPixel(TBitmap& reference, int64_t sourceX, int64_t sourceY, uint8_t* target)
{
    const uint8_t* row = reference.ScanRow(static_cast<int32_t>(sourceY));
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
    for (int32_t y = 0; y < height; ++y) {
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
            continue;
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
}

} // namespace mirth
