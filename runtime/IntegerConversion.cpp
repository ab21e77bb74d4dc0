#include "runtime/IntegerConversion.h"

namespace mirth {
namespace {

int DigitValue(char c, int base)
{
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < base ? value : -1;
}

bool TakePrefix(std::string_view& text, std::string_view prefix)
{
    if (!text.starts_with(prefix))
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

} // namespace

std::optional<int32_t> TextToInt(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const bool hexadecimal = TakePrefix(text, "$") || TakePrefix(text, "0x") || TakePrefix(text, "0X") ||
                             TakePrefix(text, "x") || TakePrefix(text, "X");
    const int base = hexadecimal ? 16 : 10;
    // Hexadecimal spells the 32-bit pattern; decimal spells the magnitude, one more for negatives.
    const uint64_t limit = hexadecimal ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    if (text.empty())
        return std::nullopt;
    uint64_t magnitude = 0;
    for (char c : text) {
        const int digit = DigitValue(c, base);
        if (digit < 0)
            return std::nullopt;
        magnitude = magnitude * base + static_cast<uint64_t>(digit);
        if (magnitude > limit)
            return std::nullopt;
    }
    const uint32_t pattern = static_cast<uint32_t>(magnitude);
    const uint32_t result = negative ? 0u - pattern : pattern;
    return static_cast<int32_t>(result);
}

} // namespace mirth
