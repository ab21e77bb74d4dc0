#include "effects/Blend.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "effects/ExactBlend.h"
#include "runtime/Exceptions.h"

namespace mirth {

namespace {

// One factor serves a whole frame, so every pair of bytes can be looked up in a
// table computed once with the exact formula.
struct BlendTable {
    std::array<uint8_t, 256 * 256> blended;
    // Whether a pair of equal bytes blends to that byte, as it does for every factor of a
    // morph: then runs that first and last have in common are copied instead.
    bool keepsEqualBytes;

    uint8_t operator()(uint8_t a, uint8_t b) const { return blended[a << 8 | b]; }
};

// Rows handed out at a time when the cores share a blend: a few hundred kilobytes of a
// photograph, small enough for either core to take over the other's share.
constexpr size_t kRowsPerChunk = 16;

std::unique_ptr<BlendTable> MakeBlendTable(long double x)
{
    auto table = std::make_unique<BlendTable>();
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b)
            table->blended[a << 8 | b] = ExtendedBlend(x, a, b);
    table->keepsEqualBytes = true;
    for (int a = 0; a < 256; ++a)
        table->keepsEqualBytes = table->keepsEqualBytes && (*table)(a, a) == a;
    return table;
}

struct BlendRow {
    const uint8_t* a;
    const uint8_t* b;
    uint8_t* out;
};

// Snapshots of one photograph differ only where their lenses were, so most of a row is
// runs of equal bytes; they are compared and copied a word at a time.
void BlendRowBytes(const BlendRow& row, size_t bytes, const BlendTable& table)
{
    size_t k = 0;
    if (table.keepsEqualBytes) {
        for (; k + sizeof(uint64_t) <= bytes; k += sizeof(uint64_t)) {
            uint64_t a, b;
            std::memcpy(&a, row.a + k, sizeof a);
            std::memcpy(&b, row.b + k, sizeof b);
            if (a == b) {
                std::memcpy(row.out + k, &a, sizeof a);
                continue;
            }
            for (size_t j = k; j < k + sizeof(uint64_t); ++j)
                row.out[j] = table(row.a[j], row.b[j]);
        }
    }
    for (; k < bytes; ++k)
        row.out[k] = table(row.a[k], row.b[k]);
}

// Runs work(from, to) over consecutive chunks of [0, count), taken in turn by the calling
// thread and one helper per further core, so that a helper left waiting for a busy core
// holds nobody up. The chunks touch disjoint rows, so the bytes do not depend on who
// takes which.
void ForEachChunk(size_t count, size_t chunk, const std::function<void(size_t, size_t)>& work)
{
    std::atomic<size_t> next{0};
    const auto takeChunks = [&] {
        for (size_t from = next.fetch_add(chunk); from < count; from = next.fetch_add(chunk))
            work(from, std::min(from + chunk, count));
    };
    const size_t helpers = std::min<size_t>(std::max(std::thread::hardware_concurrency(), 1u) - 1,
                                            count / chunk);
    std::vector<std::jthread> threads;
    threads.reserve(helpers);
    for (size_t k = 0; k < helpers; ++k)
        threads.emplace_back(takeChunks);
    takeChunks();
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
    const size_t bytes = 3 * static_cast<size_t>(width);
    // The morph's own factors go through the vector units; any other factor, or a
    // processor without them, through a table of every pair's byte made for the factor.
    const int frame = MorphFrameOf(x);
    const TBlendUnit unit = AvailableBlendUnits().back();
    if (frame >= 0 && unit != TBlendUnit::Scalar && TFrameBlend::Of(frame).Exact()) {
        const TFrameBlend& blend = TFrameBlend::Of(frame);
        ForEachChunk(rows.size(), kRowsPerChunk, [&](size_t from, size_t to) {
            for (size_t y = from; y < to; ++y)
                blend.Row(unit, rows[y].a, rows[y].b, rows[y].out, bytes);
        });
        return;
    }
    const auto table = MakeBlendTable(x);
    ForEachChunk(rows.size(), kRowsPerChunk, [&](size_t from, size_t to) {
        for (size_t y = from; y < to; ++y)
            BlendRowBytes(rows[y], bytes, *table);
    });
}

} // namespace mirth
