#pragma once
// The morph's blend of two bytes in whole-number arithmetic that vector units can run,
// with the cases where that arithmetic cannot decide looked up in a table.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace mirth {

// The blend of bytes a and b at factor x as defined: (1 − x)·a + x·b in extended
// precision, rounded to nearest, ties to even.
uint8_t ExtendedBlend(long double x, int a, int b);

// The frame k whose morph factor is exactly x, or -1 when x is no morph factor.
int MorphFrameOf(long double x);

// The instruction sets a row can be blended with.
enum class TBlendUnit { Scalar, Sse41, Avx2 };

// Those this processor runs, the plainest first; the last is the one blends use.
const std::vector<TBlendUnit>& AvailableBlendUnits();

// Frame k of a morph blends as n = a·(20 − k) + b·k, giving ⌊n / 20⌋ plus one above a
// half (n mod 20 > 10). At an exact half (n mod 20 = 10) the extended arithmetic rounds
// either way with no rule simpler than one bit per pair, found once from the definition.
class TFrameBlend {
public:
    // The frame's half bits, made on first use and kept for the process.
    static const TFrameBlend& Of(int frame);

    // Whether the arithmetic above gave the definition's byte for all 65,536 pairs; when
    // not, the frame must be blended by other means.
    bool Exact() const { return exact_; }
    bool HalfRoundsUp(uint8_t a, uint8_t b) const
    {
        const unsigned pair = unsigned(a) << 8 | b;
        return (halves_[pair >> 3] >> (pair & 7)) & 1;
    }
    int Frame() const { return frame_; }

    // Blends `bytes` bytes of a and b into out with the given unit.
    void Row(TBlendUnit unit, const uint8_t* a, const uint8_t* b, uint8_t* out, size_t bytes) const;

private:
    explicit TFrameBlend(int frame);

    int frame_;
    bool exact_ = true;
    std::array<uint8_t, 256 * 256 / 8> halves_{};
};

// The units' row loops; each handles any length, the tail byte by byte.
void BlendRowScalar(const TFrameBlend& blend, const uint8_t* a, const uint8_t* b, uint8_t* out, size_t bytes);
void BlendRowSse41(const TFrameBlend& blend, const uint8_t* a, const uint8_t* b, uint8_t* out, size_t bytes);
void BlendRowAvx2(const TFrameBlend& blend, const uint8_t* a, const uint8_t* b, uint8_t* out, size_t bytes);

} // namespace mirth
