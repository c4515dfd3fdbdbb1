#include "platform/ascii_case.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace mv {
namespace {

// The order a user expects, spelled out plainly: by the text with A-Z folded,
// then (only for names that differ in letter case alone) by the exact bytes.
bool ModelLess(const std::string& a, const std::string& b) {
    auto key = [](const std::string& s) {
        std::string folded;
        for (char c : s) folded += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
        std::vector<unsigned char> f(folded.begin(), folded.end());
        std::vector<unsigned char> exact(s.begin(), s.end());
        return std::make_tuple(f, exact);
    };
    return key(a) < key(b);
}

TEST(AsciiCase, SortAgreesWithThePlainModelAndIsTotal) {
    std::mt19937 rng(7);
    // Letters in both cases, the bytes around them, and high bytes (UTF-8 and
    // Windows-1252 letters are never folded).
    const std::string alphabet = "aAbBzZ@[`{_ \xC3\xA9\xE9";
    for (int round = 0; round < 200; ++round) {
        std::vector<std::string> names(12);
        for (auto& n : names) {
            const size_t len = rng() % 4;
            for (size_t k = 0; k < len; ++k) n += alphabet[rng() % alphabet.size()];
        }
        for (const auto& a : names) {
            for (const auto& b : names) {
                ASSERT_EQ(LessIgnoringAsciiCase(a, b), ModelLess(a, b)) << a << " / " << b;
                // Exactly one of a<b, b<a, a==b: sorting never depends on the input order.
                ASSERT_EQ(LessIgnoringAsciiCase(a, b) + LessIgnoringAsciiCase(b, a) + (a == b), 1);
            }
        }
    }
}

TEST(AsciiCase, FoldingTouchesOnlyAsciiLetters) {
    EXPECT_EQ(FoldAsciiCase("Mp3List.TXT \xC3\x89\xC9"), "mp3list.txt \xC3\x89\xC9");
    EXPECT_TRUE(EqualsIgnoringAsciiCase("LastList.txt", "lastlist.TXT"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("\xC3\x89", "\xC3\xA9"));  // É and é stay apart
    EXPECT_FALSE(EqualsIgnoringAsciiCase("[", "{"));                // 0x5B and 0x7B are no letters
    EXPECT_FALSE(EqualsIgnoringAsciiCase("abc", "ab"));
}

}  // namespace
}  // namespace mv
