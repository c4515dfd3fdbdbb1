#include "dupes/compare_engine.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "dupes/list_locations.h"
#include "support/core/temp_tree.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace mv {
using test::TempTree;

bool operator==(const CompareRow& a, const CompareRow& b) {
    return a.left == b.left && a.right == b.right;
}
void PrintTo(const CompareRow& r, std::ostream* os) {
    *os << "{" << r.left << " | " << r.right << "}";
}

namespace {

CompareRow Row(std::string left, std::string right) {
    return {std::move(left), std::move(right)};
}

CompareParams FolderParams(int mode, std::vector<std::string> folders) {
    CompareParams p;
    p.mode = mode;
    p.folders = std::move(folders);
    return p;
}

CompareResult Compare(const CompareParams& p) {
    CompareControl control;
    return RunCompare(p, control);
}

TEST(ResultText, CountsAndSecondsWithoutTrailingZeros) {
    EXPECT_EQ(FormatResultText(0, 47), "0 result in 0.047 seconds");
    EXPECT_EQ(FormatResultText(1, 2500), "1 result in 2.5 seconds");
    EXPECT_EQ(FormatResultText(12, 3000), "12 results in 3 seconds");
    EXPECT_EQ(FormatResultText(2, 0), "2 results in 0 seconds");
    EXPECT_EQ(FormatResultText(1, 61010), "1 result in 61.01 seconds");
}

TEST(Percentage, OnlyWholeNumbersAreTaken) {
    EXPECT_EQ(ParsePercent("80"), 80);
    EXPECT_EQ(ParsePercent("-9"), -9);
    EXPECT_EQ(ParsePercent(" 7 "), 7);
    EXPECT_EQ(ParsePercent("101"), 101);
    for (const char* bad : {"", "-", "+", "8a", "1.5", "99999999999", "a"}) {
        EXPECT_FALSE(ParsePercent(bad).has_value()) << bad;
    }
}

TEST(Percentage, RefusedTextRunsNothing) {
    TempTree tree;
    tree.File("a.mp3");
    tree.File("a (2).mp3");
    CompareParams p = FolderParams(kModeFolderVsItself, {tree.Root()});
    p.percentText = "8x";
    const CompareResult r = Compare(p);
    EXPECT_TRUE(r.percentRefused);
    EXPECT_THAT(r.messages,
                ElementsAre("The match percentage must be a whole number, for example 80."));
    EXPECT_THAT(r.rows, IsEmpty());
    EXPECT_EQ(r.resultText, "");
}

TEST(FolderAgainstItself, SmallerFileGoesLeftAndEqualSizesPutTheLaterLeft) {
    TempTree tree;
    const auto bigA = tree.File("a/Song One.mp3", 300);
    const auto smallB = tree.File("b/Song One.mp3", 100);
    const auto equal1 = tree.File("a/Other Tune.mp3", 50);
    const auto equal2 = tree.File("b/other tune.MP3", 50);
    tree.File("a/notes.txt");
    CompareParams p = FolderParams(kModeFolderVsItself, {tree.Path("a"), tree.Path("b")});
    const CompareResult r = Compare(p);
    // Files: a/Other Tune, a/Song One, b/other tune, b/Song One.
    EXPECT_THAT(r.rows, ElementsAre(Row(equal2, equal1), Row(smallB, bigA)));
    EXPECT_EQ(r.rowCount, 2u);
    EXPECT_THAT(r.messages, ElementsAre("Comparison finished"));
    EXPECT_THAT(r.resultText, ::testing::StartsWith("2 results in "));
}

TEST(FolderAgainstItself, EveryPairOnceAndSmallerFirstEvenWhenEarlier) {
    TempTree tree;
    const auto a = tree.File("Love Song.mp3", 10);
    const auto b = tree.File("Love Songs.mp3", 20);
    const auto c = tree.File("Lovers Song.mp3", 30);
    const CompareResult r = Compare(FolderParams(kModeFolderVsItself, {tree.Root()}));
    EXPECT_THAT(r.rows, ElementsAre(Row(a, b), Row(a, c), Row(b, c)));
}

TEST(FolderAgainstItself, UnreadableSizeCountsAsZeroForBoth) {
    TempTree tree;
    const auto small = tree.File("a/Song.mp3", 10);
    // A folder deep enough that it can be listed while the full path of a file
    // in it is too long to look up: the file's size cannot be read.
    std::string deep = tree.Path("b");
    while (deep.size() < 3800) deep += "/" + std::string(200, 'd');
    std::filesystem::create_directories(deep);
    const std::string name = "Song" + std::string(240, '_') + ".mp3";
    const int dir = open(deep.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(dir, 0);
    const int fd = openat(dir, name.c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, std::string(99, 'x').data(), 99), 99);
    close(fd);

    const CompareResult r = Compare(FolderParams(kModeFolderVsItself, {tree.Path("a"), deep}));
    unlinkat(dir, name.c_str(), 0);
    close(dir);
    EXPECT_THAT(r.rows, ElementsAre(Row(deep + "/" + name, small)));
}

TEST(FolderAgainstItself, SingleFileAndNoFiles) {
    TempTree tree;
    tree.File("only.mp3");
    CompareResult one = Compare(FolderParams(kModeFolderVsItself, {tree.Root()}));
    EXPECT_THAT(one.rows, IsEmpty());
    EXPECT_THAT(one.resultText, ::testing::StartsWith("0 result in "));
    EXPECT_THAT(one.messages, ElementsAre("Comparison finished"));

    CompareParams p = FolderParams(kModeFolderVsItself, {tree.Root()});
    p.ext = "Wav";
    CompareResult none = Compare(p);
    EXPECT_THAT(none.messages, ElementsAre("This Directory contains no Wavs!"));
    EXPECT_EQ(none.resultText, "");
}

TEST(FolderAgainstItself, UnreadableFolderIsPassedOverAndTheRestCompared) {
    TempTree tree;
    const auto a = tree.File("a/Tune.mp3", 5);
    const auto b = tree.File("b/Tune.mp3", 5);
    const CompareResult r = Compare(
        FolderParams(kModeFolderVsItself, {tree.Path("a"), tree.Path("missing"), tree.Path("b")}));
    EXPECT_THAT(r.foldersPassedOver, ElementsAre(tree.Path("missing")));
    EXPECT_THAT(r.rows, ElementsAre(Row(b, a)));
}

}  // namespace
}  // namespace mv
