#include "controls/SliderScale.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace mirth {
namespace {

// The strength slider: 0..200 in steps of 10 over 250 pixels of travel.
const TSliderRange kStrength{0, 200, 10};
constexpr int32_t kStrengthTravel = 250;

TEST(SliderScale, RoundsHalvesToEven)
{
    EXPECT_EQ(RoundHalfEven(2.5L), 2);
    EXPECT_EQ(RoundHalfEven(3.5L), 4);
    EXPECT_EQ(RoundHalfEven(-2.5L), -2);
    EXPECT_EQ(RoundHalfEven(2.4999L), 2);
}

TEST(SliderScale, OffsetsAndValuesMeetAtTheEnds)
{
    EXPECT_EQ(OffsetOfValue(kStrength, kStrengthTravel, 0), 0);
    EXPECT_EQ(OffsetOfValue(kStrength, kStrengthTravel, 200), 250);
    EXPECT_EQ(OffsetOfValue(kStrength, kStrengthTravel, 35), 44);  // 43.75
    EXPECT_EQ(OffsetOfValue(kStrength, kStrengthTravel, 50), 62);  // 62.5, to even
    EXPECT_EQ(ValueOfOffset(kStrength, kStrengthTravel, -40, true), 0);
    EXPECT_EQ(ValueOfOffset(kStrength, kStrengthTravel, 400, true), 200);
}

TEST(SliderScale, SmoothOffsetsReachEveryValueAndSnappedOnesOnlyTheGrid)
{
    const TSliderRange shifted{3, 200, 10};
    std::set<int32_t> smooth, snapped;
    for (int offset = 0; offset <= kStrengthTravel; ++offset) {
        smooth.insert(ValueOfOffset(shifted, kStrengthTravel, offset, true));
        snapped.insert(ValueOfOffset(shifted, kStrengthTravel, offset, false));
    }
    EXPECT_EQ(smooth.size(), 198u);
    for (int32_t value : snapped)
        EXPECT_TRUE(value == 200 || (value - 3) % 10 == 0) << value;
    EXPECT_TRUE(snapped.count(200));
}

TEST(SliderScale, ValueOfItsOwnOffsetIsTheValue)
{
    for (int32_t value = 0; value <= 200; ++value)
        EXPECT_EQ(ValueOfOffset(kStrength, kStrengthTravel, OffsetOfValue(kStrength, kStrengthTravel, value), true),
                  value);
}

TEST(SliderScale, NoTravelMeansMinValue)
{
    EXPECT_EQ(ValueOfOffset(kStrength, 0, 5, true), 0);
    EXPECT_EQ(ValueOfOffset(kStrength, -9, 5, true), 0);
    EXPECT_EQ(OffsetOfValue(kStrength, -9, 200), 0);
}

TEST(SliderScale, StepsOnAGridAnchoredAtZero)
{
    EXPECT_EQ(SteppedValue(kStrength, 35, ssStepUp), 50);
    EXPECT_EQ(SteppedValue(kStrength, 35, ssStepDown), 30);
    EXPECT_EQ(SteppedValue(kStrength, 25, ssStepUp), 30);
    EXPECT_EQ(SteppedValue(kStrength, 25, ssStepDown), 10);
    EXPECT_EQ(SteppedValue(kStrength, 195, ssStepUp), 200);
    EXPECT_EQ(SteppedValue(kStrength, 5, ssStepDown), 0);
    EXPECT_EQ(SteppedValue(kStrength, 120, ssToMinimum), 0);
    EXPECT_EQ(SteppedValue(kStrength, 120, ssToMaximum), 200);
    const TSliderRange shifted{-7, 13, 5};
    EXPECT_EQ(SteppedValue(shifted, -7, ssStepUp), 0);  // N(-1.4) = -1, then one step
    EXPECT_EQ(SteppedValue(shifted, -7, ssStepDown), -7);
    const TSliderRange wide{INT32_MIN, INT32_MAX, 1000000000};
    EXPECT_EQ(SteppedValue(wide, INT32_MAX - 5, ssStepUp), INT32_MAX);
    EXPECT_EQ(SteppedValue(wide, INT32_MIN + 5, ssStepDown), INT32_MIN);
}

TEST(SliderScale, StrengthSliderHasAMarkEveryTenValues)
{
    std::vector<int32_t> expected;
    for (int32_t v = 0; v <= 200; v += 10)
        expected.push_back(v);
    EXPECT_EQ(TickValues(kStrength, kStrengthTravel), expected);
}

TEST(SliderScale, MarksAreTheFewestMultiplesThatSpaceThemFourPixelsApart)
{
    std::mt19937 random(7);
    for (int trial = 0; trial < 2000; ++trial) {
        const int32_t minValue = static_cast<int32_t>(random() % 2001) - 1000;
        const int32_t span = 1 + static_cast<int32_t>(random() % 5000);
        const int32_t increment = 1 + static_cast<int32_t>(random() % span);
        const int32_t travel = static_cast<int32_t>(random() % 600);
        const TSliderRange range{minValue, minValue + span, increment};
        const std::vector<int32_t> marks = TickValues(range, travel);
        ASSERT_FALSE(marks.empty());
        EXPECT_EQ(marks.front(), range.minValue);
        EXPECT_EQ(marks.back(), range.maxValue);
        const int64_t gaps = static_cast<int64_t>(marks.size()) - 1;
        if (gaps > 1) {
            EXPECT_GE(travel / gaps, 4) << minValue << " " << span << " " << increment << " " << travel;
        }
        if (marks.size() > 2) {
            const int32_t stride = marks[1] - marks[0];
            ASSERT_EQ(stride % increment, 0);
            const int64_t multiple = stride / increment;
            if (multiple > 1) {
                // One multiple less would have crowded the marks.
                const int64_t denserGaps = RoundHalfEven(static_cast<long double>(span) / (increment * (multiple - 1)));
                EXPECT_TRUE(denserGaps > 1 && travel / denserGaps < 4);
            }
        }
    }
}

TEST(SliderScale, AHugeRangeOnAShortRulerFindsItsMarksQuickly)
{
    const TSliderRange huge{INT32_MIN, INT32_MAX, 1};
    EXPECT_EQ(TickValues(huge, 40).size(), 11u);
    // No travel at all: every mark would land on one pixel.
    EXPECT_EQ(TickValues(huge, 0), (std::vector<int32_t>{INT32_MIN, INT32_MAX}));
}

} // namespace
} // namespace mirth
