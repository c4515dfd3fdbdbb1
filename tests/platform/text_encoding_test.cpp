#include "platform/text_encoding.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

TEST(TextEncoding, Utf8Validity) {
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_TRUE(IsValidUtf8("caf\xC3\xA9"));
    EXPECT_FALSE(IsValidUtf8("caf\xE9"));
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));      // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // surrogate
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));      // cut short
}

TEST(TextEncoding, RoundTripsThroughWindows1252) {
    std::string all;
    for (int b = 1; b < 256; ++b) {
        if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) continue;
        all += static_cast<char>(b);
    }
    EXPECT_EQ(ToWindows1252(Windows1252ToUtf8(all)), all);
    EXPECT_EQ(Windows1252ToUtf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(Windows1252ToUtf8("\x81"), "\xEF\xBF\xBD");
}

// Typed text for a tag: every character with a Windows-1252 byte converts,
// the first one without (or a byte that is not UTF-8) stops the conversion.
TEST(TextEncoding, ExactWindows1252TakesOnlyWhatItCanHold) {
    struct Case {
        std::string utf8;
        std::optional<std::string> bytes;
        char32_t bad;
    };
    const Case cases[] = {
        {"plain", "plain", 0},
        {"", "", 0},
        {"caf\xC3\xA9 \xE2\x82\xAC \xC5\xB8", "caf\xE9 \x80 \x9F", 0},
        {"\xC2\xA0\xC3\xBF", "\xA0\xFF", 0},
        {"a\xE2\x80\x94"
         "b",
         "a\x97"
         "b",
         0},
        {"\xE6\x97\xA5", std::nullopt, 0x65E5},
        {"ok\xF0\x9F\x8E\xB5", std::nullopt, 0x1F3B5},
        {"\xC2\x81", std::nullopt, 0x81},  // a C1 control Windows-1252 leaves undefined
        {"caf\xE9", std::nullopt, 0xFFFD},
    };
    for (const Case& c : cases) {
        char32_t bad = 0;
        EXPECT_EQ(Utf8ToWindows1252Exact(c.utf8, &bad), c.bytes) << c.utf8;
        EXPECT_EQ(bad, c.bad) << c.utf8;
        if (c.bytes) {
            EXPECT_EQ(Windows1252ToUtf8(*c.bytes), c.utf8);
        }
    }
}

TEST(TextEncoding, DisplayPicksTheReading) {
    EXPECT_EQ(DisplayUtf8("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(DisplayUtf8("caf\xE9"), "caf\xC3\xA9");
}

}  // namespace
}  // namespace mv
