#include "effects/AreaShrink.h"

#include <algorithm>
#include <cmath>
#include <thread>
#include <vector>

namespace mirth {

namespace {

// How the source pixels first .. first + weights.size() - 1 make up one new pixel.
struct Span {
    int32_t first = 0;
    std::vector<float> weights;
};

// Measured in units of 1 / (from · to): source pixel j covers [j·to, (j+1)·to) and new
// pixel i covers [i·from, (i+1)·from), so the overlaps are exact integers.
std::vector<Span> Spans(int32_t from, int32_t to)
{
    std::vector<Span> spans(static_cast<size_t>(to));
    for (int32_t i = 0; i < to; ++i) {
        const int64_t begin = int64_t{i} * from, end = begin + from;
        Span& span = spans[static_cast<size_t>(i)];
        span.first = static_cast<int32_t>(begin / to);
        for (int64_t j = span.first; j * to < end; ++j) {
            const int64_t overlap = std::min(end, (j + 1) * to) - std::max(begin, j * to);
            span.weights.push_back(static_cast<float>(static_cast<double>(overlap) / from));
        }
    }
    return spans;
}

void ShrinkRow(const uint8_t* in, const std::vector<Span>& columns, float* out)
{
    for (const Span& column : columns) {
        const uint8_t* pixel = in + 3 * static_cast<size_t>(column.first);
        float b = 0, g = 0, r = 0;
        for (const float weight : column.weights) {
            b += weight * pixel[0];
            g += weight * pixel[1];
            r += weight * pixel[2];
            pixel += 3;
        }
        *out++ = b;
        *out++ = g;
        *out++ = r;
    }
}

uint8_t ToByte(float value)
{
    return static_cast<uint8_t>(std::clamp(std::lrint(value), 0L, 255L));
}

// New rows [from, to): each sums its source rows, each source row shrunk along the way.
void ShrinkRows(const TBitmap& source, const std::vector<Span>& columns, const std::vector<Span>& rows,
                std::vector<uint8_t*>& out, int32_t from, int32_t to)
{
    const size_t values = 3 * columns.size();
    std::vector<float> shrunk(values), sum(values);
    for (int32_t y = from; y < to; ++y) {
        const Span& row = rows[static_cast<size_t>(y)];
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (size_t k = 0; k < row.weights.size(); ++k) {
            ShrinkRow(source.ReadOnlyRow(row.first + static_cast<int32_t>(k)), columns, shrunk.data());
            for (size_t v = 0; v < values; ++v)
                sum[v] += row.weights[k] * shrunk[v];
        }
        std::transform(sum.begin(), sum.end(), out[static_cast<size_t>(y)], ToByte);
    }
}

} // namespace

TFrameSize FitLongestSide(TFrameSize size, int32_t maxSide)
{
    const int32_t longest = std::max(size.width, size.height);
    if (longest <= maxSide || maxSide < 1)
        return size;
    const auto scaled = [&](int32_t side) {
        return std::max<int32_t>(1, static_cast<int32_t>(std::lround(double(side) * maxSide / longest)));
    };
    return {scaled(size.width), scaled(size.height)};
}

std::unique_ptr<TBitmap> ShrinkByAreaAverage(const TBitmap& source, TFrameSize from, TFrameSize to)
{
    auto target = std::make_unique<TBitmap>();
    target->SetPixelLayout(pl24Bit);
    target->SetWidth(to.width);
    target->SetHeight(to.height);
    if (to.width <= 0 || to.height <= 0)
        return target;
    const std::vector<Span> columns = Spans(from.width, to.width), rows = Spans(from.height, to.height);
    std::vector<uint8_t*> out(static_cast<size_t>(to.height));
    for (int32_t y = 0; y < to.height; ++y)
        out[static_cast<size_t>(y)] = target->ScanRow(y);

    // Bands of new rows, one per core; the source is only read.
    const int32_t bands = std::clamp<int32_t>(static_cast<int32_t>(std::thread::hardware_concurrency()), 1, to.height);
    std::vector<std::jthread> helpers;
    for (int32_t band = 1; band < bands; ++band)
        helpers.emplace_back([&, band] {
            ShrinkRows(source, columns, rows, out, to.height * band / bands, to.height * (band + 1) / bands);
        });
    ShrinkRows(source, columns, rows, out, 0, to.height / bands);
    return target;
}

} // namespace mirth
