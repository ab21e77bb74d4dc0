#include "runtime/IntegerConversion.h"

#include <gtest/gtest.h>

namespace mirth {
namespace {

TEST(TextToInt, ReadsDecimalWithBlanksAndSign)
{
    EXPECT_EQ(TextToInt("0"), 0);
    EXPECT_EQ(TextToInt("  250"), 250);
    EXPECT_EQ(TextToInt("+7"), 7);
    EXPECT_EQ(TextToInt("-900"), -900);
    EXPECT_EQ(TextToInt("007"), 7);
    EXPECT_EQ(TextToInt("2147483647"), 2147483647);
    EXPECT_EQ(TextToInt("-2147483648"), INT32_MIN);
}

TEST(TextToInt, ReadsEveryHexadecimalPrefix)
{
    for (const char* text : {"$10", "x10", "X10", "0x10", "0X10"})
        EXPECT_EQ(TextToInt(text), 16) << text;
    EXPECT_EQ(TextToInt(" -$1f"), -31);
    EXPECT_EQ(TextToInt("$aBc"), 0xABC);
    EXPECT_EQ(TextToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(TextToInt("$80000000"), INT32_MIN);
}

TEST(TextToInt, RefusesAnythingElse)
{
    for (const char* text : {"", " ", "+", "-", "$", "0x", "12a", "12 ", "1.5", "1e3", "\t5", "--5", "+-5",
                             "$G", "2147483648", "-2147483649", "$100000000", "99999999999999999999"})
        EXPECT_FALSE(TextToInt(text).has_value()) << '"' << text << '"';
}

} // namespace
} // namespace mirth
