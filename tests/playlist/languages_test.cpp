#include "playlist/languages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>
#include <vector>

namespace lumora {
namespace {

TEST(LanguageCodes, HoldsTheWholeTableWithEnglishFirst) {
    const auto& codes = languageCodes();
    ASSERT_EQ(codes.size(), 431u);
    EXPECT_EQ(codes.front(), "eng");
    EXPECT_EQ(codes[1], "aar");
    EXPECT_EQ(codes.back(), "zun");
}

TEST(LanguageCodes, EveryCodeIsThreeLowerCaseLetters) {
    for (std::string_view code : languageCodes()) {
        ASSERT_EQ(code.size(), 3u) << code;
        EXPECT_TRUE(std::all_of(code.begin(), code.end(), [](char c) {
            return c >= 'a' && c <= 'z';
        })) << code;
    }
}

// The only repeat is English, once in front and once among the others.
TEST(LanguageCodes, RepeatsOnlyEnglish) {
    std::vector<std::string_view> sorted = languageCodes();
    std::sort(sorted.begin(), sorted.end());
    const auto repeat = std::adjacent_find(sorted.begin(), sorted.end());
    ASSERT_NE(repeat, sorted.end());
    EXPECT_EQ(*repeat, "eng");
    EXPECT_EQ(std::adjacent_find(repeat + 2, sorted.end()), sorted.end());
}

// The selectors show the codes in the table's own order, including its one
// pair out of alphabetical order.
TEST(LanguageCodes, KeepsTheTableOrder) {
    const struct {
        std::size_t index;
        std::string_view code;
    } cases[] = {{94, "deu"}, {109, "eng"}, {124, "fra"}, {286, "nzi"}, {287, "nya"}};
    const auto& codes = languageCodes();
    for (const auto& c : cases)
        EXPECT_EQ(codes.at(c.index), c.code) << "index " << c.index;
}

}  // namespace
}  // namespace lumora
