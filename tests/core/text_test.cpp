#include "core/text.h"

#include <gtest/gtest.h>

namespace lumora {
namespace {

TEST(Text, HexToNumber) {
    const struct {
        const char* text;
        std::uint64_t value;
    } cases[] = {{"1f", 31},  {"1F", 31},       {"", 0},        {"xyz", 0},
                 {"12G4", 0}, {"FFFF", 0xFFFF}, {"00000008", 8}};
    for (const auto& c : cases)
        EXPECT_EQ(hexToNumber(c.text), c.value) << c.text;
}

TEST(Text, NumberTexts) {
    EXPECT_EQ(hexText(0x1F, 4), "001F");
    EXPECT_EQ(hexText(0x12345, 4), "12345");  // longer values keep all digits
    EXPECT_EQ(hexText(0, 2), "00");
    EXPECT_EQ(zeroPad(7, 3), "007");
    EXPECT_EQ(zeroPad(12345, 3), "12345");
    EXPECT_EQ(sizeText(0), "0");
    EXPECT_EQ(sizeText(999), "999");
    EXPECT_EQ(sizeText(1000), "1,000");
    EXPECT_EQ(sizeText(196608), "196,608");
    EXPECT_EQ(sizeText(1234567890123, "."), "1.234.567.890.123");
}

TEST(Text, Latin1Display) {
    EXPECT_EQ(latin1ToUtf8("abc"), "abc");
    EXPECT_EQ(latin1ToUtf8("\xE9"), "\xC3\xA9");
}

}  // namespace
}  // namespace lumora
