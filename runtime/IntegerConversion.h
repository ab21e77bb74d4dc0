#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace mirth {

// The runtime's text-to-integer conversion: leading blanks, an optional sign, then decimal
// digits, or hexadecimal digits after "$", "x", "X", "0x" or "0X"; nothing may follow.
// Decimal text must fit a 32-bit signed integer; hexadecimal text may use all 32 bits and
// reads as their two's-complement value ("$FFFFFFFF" is -1). Anything else gives no value.
std::optional<int32_t> TextToInt(std::string_view text);

} // namespace mirth
