#include "platform/text_lines.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace mv {
namespace {

using Lines = std::vector<std::string>;

TEST(TextLines, SplitsEveryLineEnd) {
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n"), (Lines{"a"}));
    EXPECT_EQ(SplitLines("a\n\nb\n"), (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitLines("\r\r\n"), (Lines{"", ""}));  // lone CR, then CR LF
    EXPECT_EQ(SplitLines(std::string_view("a\nb\0c\nd", 7)), (Lines{"a", "b"}));
    EXPECT_EQ(SplitLines(""), Lines{});
    EXPECT_EQ(SplitLines(" x \n"), (Lines{" x "}));
}

class TextLinesFile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("mv_text_lines_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Slurp(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::filesystem::path dir_;
};

TEST_F(TextLinesFile, WritesCrLfByteForByteAndLeavesNoTemporary) {
    const auto path = dir_ / "List.txt";
    ASSERT_EQ(WriteLinesAtomically(path, {"\\Mp3 List", "caf\xE9", ""}), "");
    EXPECT_EQ(Slurp(path), "\\Mp3 List\r\ncaf\xE9\r\n\r\n");
    ASSERT_EQ(WriteLinesAtomically(path, {}), "");
    EXPECT_EQ(Slurp(path), "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_),
                            std::filesystem::directory_iterator()),
              1);
    auto back = ReadLines(path);
    ASSERT_TRUE(back.has_value());
    EXPECT_TRUE(back->empty());
}

TEST_F(TextLinesFile, ReportsFailuresAndKeepsTheOldFile) {
    EXPECT_FALSE(ReadLines(dir_ / "absent.txt").has_value());
    EXPECT_FALSE(ReadLines(dir_).has_value());
    const auto path = dir_ / "List.txt";
    ASSERT_EQ(WriteLinesAtomically(path, {"keep"}), "");
    // A folder that does not exist cannot take the temporary file.
    EXPECT_NE(WriteLinesAtomically(dir_ / "no" / "List.txt", {"x"}), "");
    // A folder in the way of the rename: the old content must survive.
    std::filesystem::create_directories(dir_ / "Dir.txt" / "inside");
    EXPECT_NE(WriteLinesAtomically(dir_ / "Dir.txt", {"x"}), "");
    EXPECT_EQ(Slurp(path), "keep\r\n");
}

}  // namespace
}  // namespace mv
