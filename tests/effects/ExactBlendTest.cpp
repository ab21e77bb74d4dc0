// The morph's blend through every instruction set this processor has, against the
// extended-precision definition for every factor and every pair of bytes.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "effects/Blend.h"
#include "effects/ExactBlend.h"

namespace mirth {
namespace {

TEST(ExactBlend, EveryUnitGivesTheDefinitionsByteForAllPairsAndFactors)
{
    // All 65,536 pairs, placed so that every lane of a vector meets every kind of pair,
    // then again shifted by 7 bytes so that blocks straddle and the tail is ragged.
    std::vector<uint8_t> a(65536 + 7), b(65536 + 7);
    for (unsigned pair = 0; pair < 65536; ++pair) {
        a[pair] = static_cast<uint8_t>(pair >> 8);
        b[pair] = static_cast<uint8_t>(pair * 167 & 0xFF);  // every b for each a, in a shuffled order
    }
    for (int frame = 0; frame < kMorphFrames; ++frame) {
        const long double x = MorphFactor(frame);
        const TFrameBlend& blend = TFrameBlend::Of(frame);
        ASSERT_TRUE(blend.Exact()) << "frame " << frame;
        std::vector<uint8_t> expected(a.size());
        for (size_t i = 0; i < a.size(); ++i)
            expected[i] = ExtendedBlend(x, a[i], b[i]);
        for (TBlendUnit unit : AvailableBlendUnits()) {
            for (size_t offset : {size_t(0), size_t(7)}) {
                std::vector<uint8_t> out(a.size(), 0xEE);
                blend.Row(unit, a.data() + offset, b.data() + offset, out.data() + offset, a.size() - offset);
                for (size_t i = offset; i < a.size(); ++i)
                    ASSERT_EQ(out[i], expected[i])
                        << "frame " << frame << " unit " << int(unit) << " a " << int(a[i]) << " b " << int(b[i]);
            }
        }
    }
    EXPECT_EQ(MorphFrameOf(MorphFactor(7)), 7);
    EXPECT_EQ(MorphFrameOf(0.35L), -1);  // 7 × 0.05 added up is not the nearest value to 0.35
}

} // namespace
} // namespace mirth
