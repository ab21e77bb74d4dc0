#include "controls/SliderScale.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace mirth {
namespace {

int64_t Span(const TSliderRange& range)
{
    return int64_t{range.maxValue} - range.minValue;
}

int32_t Clamp32(int64_t v, int64_t low, int64_t high)
{
    return static_cast<int32_t>(std::clamp(v, low, high));
}

} // namespace

int64_t RoundHalfEven(long double x)
{
    // Far beyond any pixel or value the slider uses; keeps the conversion defined.
    constexpr long double limit = 4.0e18L;
    if (!(x > -limit))
        return -static_cast<int64_t>(limit);
    if (x > limit)
        return static_cast<int64_t>(limit);
    return static_cast<int64_t>(std::nearbyint(x));
}

int32_t OffsetOfValue(const TSliderRange& range, int32_t travel, int32_t value)
{
    const int64_t span = Span(range);
    if (span <= 0)
        return 0;
    const int64_t offset =
        RoundHalfEven(static_cast<long double>(travel) * (int64_t{value} - range.minValue) / span);
    return Clamp32(offset, 0, std::numeric_limits<int32_t>::max());
}

int32_t ValueOfOffset(const TSliderRange& range, int32_t travel, int64_t offset, bool smooth)
{
    const int64_t span = Span(range);
    // A thumb with no room to travel can only stand at MinValue.
    int64_t r = travel > 0 ? RoundHalfEven(static_cast<long double>(offset) * span / travel) : 0;
    if (!smooth && range.increment > 0)
        r = RoundHalfEven(static_cast<long double>(r) / range.increment) * range.increment;
    return Clamp32(std::max<int64_t>(r, 0) + range.minValue, std::numeric_limits<int32_t>::min(),
                   range.maxValue);
}

int32_t SteppedValue(const TSliderRange& range, int32_t value, TSliderStep step)
{
    int64_t target = value;
    const int64_t increment = std::max(range.increment, 1);
    const int64_t gridPoint = RoundHalfEven(static_cast<long double>(value) / increment) * increment;
    switch (step) {
    case ssToMinimum:
        target = range.minValue;
        break;
    case ssToMaximum:
        target = range.maxValue;
        break;
    case ssStepUp:
        target = gridPoint + increment;
        break;
    case ssStepDown:
        target = gridPoint - increment;
        break;
    }
    if (target >= range.maxValue)
        return range.maxValue;
    return static_cast<int32_t>(std::max<int64_t>(target, range.minValue));
}

namespace {

// Gaps between marks when every `multiple`-th increment gets one.
int64_t GapCount(const TSliderRange& range, int64_t multiple)
{
    return RoundHalfEven(static_cast<long double>(Span(range)) / (static_cast<long double>(range.increment) * multiple));
}

// A single gap may be narrower than 4 pixels: it spans the whole travel. (Counting any
// spacing equal to the travel would, on a ruler with no travel, ask for a mark per increment
// all on one pixel: billions of them for a wide range.)
bool SpacingWide(int64_t gaps, int32_t travel)
{
    return gaps <= 1 || travel / gaps >= 4;
}

} // namespace

std::vector<int32_t> TickValues(const TSliderRange& range, int32_t travel)
{
    const int64_t span = Span(range);
    if (span <= 0 || range.increment <= 0)
        return {range.minValue};
    // The gap count only shrinks as the multiple grows, so the smallest wide-enough multiple
    // can be searched for instead of counted up to (a huge range on a short ruler).
    int64_t low = 1;
    int64_t high = span / range.increment + 1;
    while (low < high) {
        const int64_t middle = low + (high - low) / 2;
        if (SpacingWide(GapCount(range, middle), travel))
            high = middle;
        else
            low = middle + 1;
    }
    const int64_t gaps = GapCount(range, low);
    const int64_t stride = int64_t{range.increment} * low;
    std::vector<int32_t> values;
    values.reserve(static_cast<size_t>(gaps) + 1);
    for (int64_t k = 0; k < gaps; ++k)
        values.push_back(static_cast<int32_t>(std::min<int64_t>(range.minValue + k * stride, range.maxValue)));
    values.push_back(range.maxValue);
    return values;
}

} // namespace mirth
