#include "dupes/compare_engine.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

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

CompareParams FolderParams(CompareMode mode, std::vector<std::string> folders) {
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

    // Those the caller's collection passed over come first.
    CompareParams p = FolderParams(kModeFolderVsItself, {tree.Path("missing"), tree.Path("b")});
    p.foldersPassedOver = {tree.Path("locked")};
    EXPECT_THAT(Compare(p).foldersPassedOver,
                ElementsAre(tree.Path("locked"), tree.Path("missing")));
}

TEST(FolderAgainstItself, OneFileUnderTwoPathsIsNoPairAndNoLinkIsLeftDangling) {
    namespace fs = std::filesystem;
    // Mode 2 over folders a, b, c and d in this order.
    struct Case {
        const char* what;
        std::function<void(const TempTree&)> make;
        std::vector<std::pair<const char*, const char*>> rows;  // relative to the tree
    };
    const Case cases[] = {
        {"a link before the file it leads to",
         [](const TempTree& t) {
             t.File("b/Song.mp3", 10);
             fs::create_symlink(t.Path("b/Song.mp3"), t.Path("a/Song.mp3"));
         },
         {}},
        {"a link after its file, a link to the link, and a hard link",
         [](const TempTree& t) {
             t.File("a/Song.mp3", 10);
             fs::create_symlink(t.Path("a/Song.mp3"), t.Path("b/Song.mp3"));
             fs::create_symlink(t.Path("b/Song.mp3"), t.Path("c/song.mp3"));
             fs::create_hard_link(t.Path("a/Song.mp3"), t.Path("d/Song.mp3"));
         },
         {}},
        {"one folder reached along two ways",
         [](const TempTree& t) {
             t.File("a/Song.mp3", 10);
             t.File("a/Song_.mp3", 10);
             fs::remove(t.Path("b"));
             fs::create_directory_symlink(t.Path("a"), t.Path("b"));
         },
         // a/Song_ is weighed as the file it is wherever it is met: it goes left
         // against a/Song even as b/Song_, and b/Song never does.
         {{"a/Song_.mp3", "a/Song.mp3"},
          {"b/Song_.mp3", "a/Song.mp3"},
          {"a/Song_.mp3", "b/Song.mp3"},
          {"b/Song_.mp3", "b/Song.mp3"}}},
        {"a real copy beside a file, its link and its hard link",
         [](const TempTree& t) {
             t.File("a/Song.mp3", 10);
             fs::create_symlink(t.Path("a/Song.mp3"), t.Path("b/Song.mp3"));
             fs::create_hard_link(t.Path("a/Song.mp3"), t.Path("c/Song.mp3"));
             t.File("d/Song.mp3", 10);
         },
         // The file a link leads to stays right under all of its paths.
         {{"d/Song.mp3", "a/Song.mp3"},
          {"d/Song.mp3", "b/Song.mp3"},
          {"d/Song.mp3", "c/Song.mp3"}}},
        {"a smaller file a link leads to",
         [](const TempTree& t) {
             t.File("a/Song.mp3", 5);
             t.File("b/Song.mp3", 10);
             fs::create_symlink(t.Path("a/Song.mp3"), t.Path("c/Song.mp3"));
         },
         {{"b/Song.mp3", "a/Song.mp3"}, {"b/Song.mp3", "c/Song.mp3"}}},
        {"a link to a file outside the run, met first",
         [](const TempTree& t) {
             t.File("outside/Song.mp3", 10);
             fs::create_symlink(t.Path("outside/Song.mp3"), t.Path("a/Song.mp3"));
             t.File("b/Song.mp3", 10);
         },
         {{"a/Song.mp3", "b/Song.mp3"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempTree tree;
        for (const char* folder : {"a", "b", "c", "d"}) fs::create_directories(tree.Path(folder));
        c.make(tree);
        std::vector<std::string> folders{tree.Path("a"), tree.Path("b"), tree.Path("c"),
                                         tree.Path("d")};
        std::vector<CompareRow> expected;
        for (const auto& [left, right] : c.rows)
            expected.push_back(Row(tree.Path(left), tree.Path(right)));
        for (bool exhaustive : {true, false}) {
            CompareParams p = FolderParams(kModeFolderVsItself, folders);
            p.exhaustive = exhaustive;
            EXPECT_THAT(Compare(p).rows, ::testing::ElementsAreArray(expected));
        }
    }
}

}  // namespace
}  // namespace mv

namespace mv {
namespace {

// Folders whose files one walk listed give the very rows of folders listed
// again by the run, in both modes that read folders.
TEST(ListedFolders, OneWalkGivesTheRowsOfTwoReads) {
    TempTree tree;
    tree.File("m/Band - Song.mp3", 3);
    tree.File("m/band song.MP3", 5);
    tree.File("m/a/Band_Song (live).mp3", 2);
    tree.File("m/a/b/Other Tune.mp3", 4);
    tree.File("m/a/b/other tune.mp3", 1);
    tree.File("m/a/b/notes.txt", 1);
    tree.File("m/a/.hidden/Band Song.mp3", 1);
    tree.Folder("m/c/folder.mp3");
    const std::vector<std::string> list = {"\\Mp3 List", "\\CD", "Band Song.mp3", "Other Tune.mp3"};
    for (const CompareMode mode : {kModeFolderVsItself, kModeFolderVsList}) {
        const FolderCollection folders = CollectFolders(tree.Path("m"), "Mp3");
        CompareParams twice = FolderParams(mode, folders.folders);
        CompareParams once = FolderParams(mode, {});
        once.listedFolders = CollectFolderFiles(tree.Path("m"), "Mp3").folders;
        twice.percentText = once.percentText = "60";
        twice.listLines = once.listLines = list;
        const CompareResult expected = Compare(twice);
        const CompareResult got = Compare(once);
        EXPECT_FALSE(expected.rows.empty()) << mode;
        EXPECT_EQ(got.rows, expected.rows) << mode;
        EXPECT_EQ(got.messages, expected.messages) << mode;
    }
}

}  // namespace
}  // namespace mv
