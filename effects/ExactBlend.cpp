#include "effects/ExactBlend.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>

#include "effects/Blend.h"

namespace mirth {

uint8_t ExtendedBlend(long double x, int a, int b)
{
    const long double p = (1.0L - x) * a;
    const long double q = b * x;
    return static_cast<uint8_t>(llrintl(p + q) & 0xFF);
}

int MorphFrameOf(long double x)
{
    for (int frame = 0; frame < kMorphFrames; ++frame)
        if (MorphFactor(frame) == x)
            return frame;
    return -1;
}

const std::vector<TBlendUnit>& AvailableBlendUnits()
{
    static const std::vector<TBlendUnit> units = [] {
        std::vector<TBlendUnit> found{TBlendUnit::Scalar};
        __builtin_cpu_init();
        if (__builtin_cpu_supports("sse4.1"))
            found.push_back(TBlendUnit::Sse41);
        if (__builtin_cpu_supports("avx2"))
            found.push_back(TBlendUnit::Avx2);
        return found;
    }();
    return units;
}

TFrameBlend::TFrameBlend(int frame) : frame_(frame)
{
    const long double x = MorphFactor(frame);
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            const int n = a * (20 - frame) + b * frame;
            const int plain = n / 20 + (n % 20 > 10 ? 1 : 0);
            const int defined = ExtendedBlend(x, a, b);
            if (n % 20 == 10 && defined == plain + 1) {
                const unsigned pair = unsigned(a) << 8 | unsigned(b);
                halves_[pair >> 3] = static_cast<uint8_t>(halves_[pair >> 3] | 1u << (pair & 7));
            } else if (defined != plain) {
                exact_ = false;
            }
        }
    }
}

const TFrameBlend& TFrameBlend::Of(int frame)
{
    static std::once_flag made[kMorphFrames];
    static std::unique_ptr<TFrameBlend> blends[kMorphFrames];
    std::call_once(made[frame], [frame] { blends[frame].reset(new TFrameBlend(frame)); });
    return *blends[frame];
}

void TFrameBlend::Row(TBlendUnit unit, const uint8_t* a, const uint8_t* b, uint8_t* out, size_t bytes) const
{
    switch (unit) {
    case TBlendUnit::Avx2: BlendRowAvx2(*this, a, b, out, bytes); return;
    case TBlendUnit::Sse41: BlendRowSse41(*this, a, b, out, bytes); return;
    case TBlendUnit::Scalar: BlendRowScalar(*this, a, b, out, bytes); return;
    }
}

// Snapshots of one photograph differ only where their lenses were, so most of a row is
// runs of equal bytes, which every frame blends to themselves; they are compared and
// copied a word at a time.
void BlendRowScalar(const TFrameBlend& blend, const uint8_t* a, const uint8_t* b, uint8_t* out, size_t bytes)
{
    const int k = blend.Frame();
    size_t i = 0;
    while (i < bytes) {
        if (i + sizeof(uint64_t) <= bytes && std::memcmp(a + i, b + i, sizeof(uint64_t)) == 0) {
            std::memcpy(out + i, a + i, sizeof(uint64_t));
            i += sizeof(uint64_t);
            continue;
        }
        for (const size_t end = std::min(i + sizeof(uint64_t), bytes); i < end; ++i) {
            const int n = a[i] * (20 - k) + b[i] * k;
            const int r = n % 20;
            out[i] = static_cast<uint8_t>(n / 20 + (r > 10 || (r == 10 && blend.HalfRoundsUp(a[i], b[i]))));
        }
    }
}

} // namespace mirth
