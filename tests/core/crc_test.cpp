#include "core/crc.h"

#include <gtest/gtest.h>

#include <string_view>

namespace lumora {
namespace {

TEST(Crc32Mpeg, MatchesTheStandardCheckValue) {
    constexpr std::string_view kCheck = "123456789";
    const ByteView bytes(reinterpret_cast<const std::uint8_t*>(kCheck.data()), kCheck.size());
    EXPECT_EQ(crc32Mpeg(bytes), 0x0376E6E7u);
    EXPECT_EQ(crc32Mpeg({}), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace lumora
