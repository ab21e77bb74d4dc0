#pragma once
#include <cstdint>
#include <initializer_list>

namespace mirth {

// A set of the values of a small enumeration (at most 32 of them), such as a control's options.
template <typename Enum>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<Enum> members)
    {
        for (Enum member : members)
            bits_ |= Bit(member);
    }

    constexpr bool Contains(Enum member) const { return (bits_ & Bit(member)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr TSet With(Enum member) const { return FromBits(bits_ | Bit(member)); }
    constexpr TSet Without(Enum member) const { return FromBits(bits_ & ~Bit(member)); }
    constexpr uint32_t Bits() const { return bits_; }
    static constexpr TSet FromBits(uint32_t bits)
    {
        TSet set;
        set.bits_ = bits;
        return set;
    }
    friend constexpr bool operator==(TSet, TSet) = default;

private:
    static constexpr uint32_t Bit(Enum member) { return uint32_t{1} << static_cast<unsigned>(member); }
    uint32_t bits_ = 0;
};

} // namespace mirth
