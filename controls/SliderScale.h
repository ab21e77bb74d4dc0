#pragma once
#include <cstdint>
#include <vector>

namespace mirth {

// The slider's arithmetic between values and pixel offsets, free of any widget. Offsets
// are measured along the ruler from where the thumb stands at MinValue; `travel` is how
// far the thumb can move.

// x taken to the nearest integer, halves to the even neighbour.
int64_t RoundHalfEven(long double x);

struct TSliderRange {
    int32_t minValue = 0;
    int32_t maxValue = 100;
    int32_t increment = 10;
};

// Where the thumb stands for `value`; never before the start.
int32_t OffsetOfValue(const TSliderRange& range, int32_t travel, int32_t value);

// The value for a thumb at `offset`; without `smooth` it snaps to MinValue plus multiples
// of the increment (or MaxValue).
int32_t ValueOfOffset(const TSliderRange& range, int32_t travel, int64_t offset, bool smooth);

enum TSliderStep { ssToMinimum, ssToMaximum, ssStepUp, ssStepDown };

// The value after a key or ruler step from `value`. The grid is anchored at 0, not at MinValue.
int32_t SteppedValue(const TSliderRange& range, int32_t value, TSliderStep step);

// The values that get tick marks: MinValue, then every few increments, the last at MaxValue.
// Marks are spaced at least 4 pixels apart unless a single gap spans the whole travel.
std::vector<int32_t> TickValues(const TSliderRange& range, int32_t travel);

} // namespace mirth
