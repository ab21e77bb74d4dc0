#include "effects/Blend.h"

#include <array>
#include <cmath>
#include <memory>

#include "runtime/Exceptions.h"

namespace mirth {

namespace {

// One factor serves a whole frame, so every pair of bytes can be looked up in a
// table computed once with the exact formula.
using BlendTable = std::array<uint8_t, 256 * 256>;

std::unique_ptr<BlendTable> MakeBlendTable(long double x)
{
    auto table = std::make_unique<BlendTable>();
    const long double d = 1.0L - x;
    for (int a = 0; a < 256; ++a) {
        const long double p = d * a;
        for (int b = 0; b < 256; ++b) {
            const long double q = b * x;
            const long double v = p + q;
            (*table)[a << 8 | b] = static_cast<uint8_t>(llrintl(v) & 0xFF);
        }
    }
    return table;
}

} // namespace

long double MorphFactor(int frame)
{
    long double x = 0;
    for (int k = 0; k < frame; ++k)
        x = x + kMorphStep;
    return x;
}

void BlendBitmaps(TBitmap& first, TBitmap& last, TBitmap& target, long double x)
{
    const int32_t width = first.Width(), height = first.Height();
    if (last.Width() < width || last.Height() < height)
        throw EInvalidOperation("Invalid image size");
    target.SetWidth(width);
    target.SetHeight(height);
    first.SetPixelLayout(pl24Bit);
    last.SetPixelLayout(pl24Bit);
    target.SetPixelLayout(pl24Bit);

    const auto table = MakeBlendTable(x);
    const uint8_t* const blended = table->data();
    const size_t bytes = 3 * static_cast<size_t>(width);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* a = first.ScanRow(y);
        const uint8_t* b = last.ScanRow(y);
        uint8_t* out = target.ScanRow(y);
        for (size_t k = 0; k < bytes; ++k)
            out[k] = blended[a[k] << 8 | b[k]];
    }
}

} // namespace mirth
