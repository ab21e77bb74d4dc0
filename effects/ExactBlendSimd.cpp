// The vector forms of the exact blend, each compiled for its own instruction set and
// chosen at run time. Lanes of 16 bits hold n = a·(20 − k) + b·k ≤ 5100; n·3277 >> 16
// equals ⌊n / 20⌋ over that whole range.
#include <immintrin.h>

#include "effects/ExactBlend.h"

namespace mirth {

namespace {

constexpr short kTwentieth = 3277;

// The lanes of a block that landed on an exact half take their bit from the table.
void SettleHalves(const TFrameBlend& blend, uint32_t halves, const uint8_t* a, const uint8_t* b, uint8_t* out)
{
    for (; halves != 0; halves &= halves - 1) {
        const int j = __builtin_ctz(halves);
        out[j] = static_cast<uint8_t>(out[j] + blend.HalfRoundsUp(a[j], b[j]));
    }
}

struct Sse41Lanes {
    __m128i weightA, weightB, twentieth, twenty, ten;
};

__attribute__((target("sse4.1"))) inline __m128i BlendLanes16(const Sse41Lanes& c, __m128i a, __m128i b,
                                                               __m128i& half)
{
    const __m128i n = _mm_add_epi16(_mm_mullo_epi16(a, c.weightA), _mm_mullo_epi16(b, c.weightB));
    const __m128i q = _mm_mulhi_epu16(n, c.twentieth);
    const __m128i r = _mm_sub_epi16(n, _mm_mullo_epi16(q, c.twenty));
    half = _mm_cmpeq_epi16(r, c.ten);
    return _mm_sub_epi16(q, _mm_cmpgt_epi16(r, c.ten));
}

struct Avx2Lanes {
    __m256i weightA, weightB, twentieth, twenty, ten;
};

__attribute__((target("avx2"))) inline __m256i BlendLanes16(const Avx2Lanes& c, __m256i a, __m256i b,
                                                             __m256i& half)
{
    const __m256i n = _mm256_add_epi16(_mm256_mullo_epi16(a, c.weightA), _mm256_mullo_epi16(b, c.weightB));
    const __m256i q = _mm256_mulhi_epu16(n, c.twentieth);
    const __m256i r = _mm256_sub_epi16(n, _mm256_mullo_epi16(q, c.twenty));
    half = _mm256_cmpeq_epi16(r, c.ten);
    return _mm256_sub_epi16(q, _mm256_cmpgt_epi16(r, c.ten));
}

} // namespace

__attribute__((target("sse4.1"))) void BlendRowSse41(const TFrameBlend& blend, const uint8_t* a,
                                                      const uint8_t* b, uint8_t* out, size_t bytes)
{
    const short k = static_cast<short>(blend.Frame());
    const Sse41Lanes c{_mm_set1_epi16(static_cast<short>(20 - k)), _mm_set1_epi16(k), _mm_set1_epi16(kTwentieth),
                       _mm_set1_epi16(20), _mm_set1_epi16(10)};
    const __m128i zero = _mm_setzero_si128();
    size_t i = 0;
    for (; i + 16 <= bytes; i += 16) {
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(va, vb)) == 0xFFFF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), va);
            continue;
        }
        __m128i halfLow, halfHigh;
        const __m128i low = BlendLanes16(c, _mm_cvtepu8_epi16(va), _mm_cvtepu8_epi16(vb), halfLow);
        const __m128i high = BlendLanes16(c, _mm_unpackhi_epi8(va, zero), _mm_unpackhi_epi8(vb, zero), halfHigh);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(low, high));
        const auto halves = static_cast<uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(halfLow, halfHigh)));
        SettleHalves(blend, halves, a + i, b + i, out + i);
    }
    BlendRowScalar(blend, a + i, b + i, out + i, bytes - i);
}

__attribute__((target("avx2"))) void BlendRowAvx2(const TFrameBlend& blend, const uint8_t* a, const uint8_t* b,
                                                   uint8_t* out, size_t bytes)
{
    const short k = static_cast<short>(blend.Frame());
    const Avx2Lanes c{_mm256_set1_epi16(static_cast<short>(20 - k)), _mm256_set1_epi16(k),
                      _mm256_set1_epi16(kTwentieth), _mm256_set1_epi16(20), _mm256_set1_epi16(10)};
    size_t i = 0;
    for (; i + 32 <= bytes; i += 32) {
        const __m256i va = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + i));
        const __m256i vb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i));
        if (static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(va, vb))) == 0xFFFFFFFFu) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), va);
            continue;
        }
        __m256i halfLow, halfHigh;
        const __m256i low = BlendLanes16(c, _mm256_cvtepu8_epi16(_mm256_castsi256_si128(va)),
                                         _mm256_cvtepu8_epi16(_mm256_castsi256_si128(vb)), halfLow);
        const __m256i high = BlendLanes16(c, _mm256_cvtepu8_epi16(_mm256_extracti128_si256(va, 1)),
                                          _mm256_cvtepu8_epi16(_mm256_extracti128_si256(vb, 1)), halfHigh);
        // Packing works within 128-bit halves; the permutation puts the bytes back in order.
        const __m256i blended = _mm256_permute4x64_epi64(_mm256_packus_epi16(low, high), 0xD8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), blended);
        const __m256i halves8 = _mm256_permute4x64_epi64(_mm256_packs_epi16(halfLow, halfHigh), 0xD8);
        SettleHalves(blend, static_cast<uint32_t>(_mm256_movemask_epi8(halves8)), a + i, b + i, out + i);
    }
    BlendRowSse41(blend, a + i, b + i, out + i, bytes - i);
}

} // namespace mirth
