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

TEST(TextEncoding, DisplayPicksTheReading) {
    EXPECT_EQ(DisplayUtf8("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(DisplayUtf8("caf\xE9"), "caf\xC3\xA9");
}

}  // namespace
}  // namespace mv
