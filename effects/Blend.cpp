#include "effects/Blend.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

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

struct BlendRow {
    const uint8_t* a;
    const uint8_t* b;
    uint8_t* out;
};

void BlendRowBytes(const BlendRow& row, size_t bytes, const BlendTable& table)
{
    const uint8_t* const blended = table.data();
    for (size_t k = 0; k < bytes; ++k)
        row.out[k] = blended[row.a[k] << 8 | row.b[k]];
}

// Runs work(from, to) over consecutive bands of [0, count), one band per core, the last
// on the calling thread. The bands touch disjoint rows, so the bytes do not depend on
// how many there are.
void ForEachBand(size_t count, const std::function<void(size_t, size_t)>& work)
{
    const size_t bands = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, std::max<size_t>(count, 1));
    std::vector<std::jthread> helpers;
    helpers.reserve(bands - 1);
    for (size_t band = 0; band + 1 < bands; ++band)
        helpers.emplace_back(work, count * band / bands, count * (band + 1) / bands);
    work(count * (bands - 1) / bands, count);
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

    // Every row is fetched here, on the calling thread, target's first: its first ScanRow
    // gives it a store of its own, which target may have shared with first or last. The
    // two sources are only read, so a thumbnail keeps sharing its pixels.
    std::vector<BlendRow> rows(static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y) {
        BlendRow& row = rows[static_cast<size_t>(y)];
        row.out = target.ScanRow(y);
        row.a = first.ReadOnlyRow(y);
        row.b = last.ReadOnlyRow(y);
    }
    const auto table = MakeBlendTable(x);
    const size_t bytes = 3 * static_cast<size_t>(width);
    ForEachBand(rows.size(), [&](size_t from, size_t to) {
        for (size_t y = from; y < to; ++y)
            BlendRowBytes(rows[y], bytes, *table);
    });
}

} // namespace mirth
