#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include "dupes/compare_engine.h"
#include "support/core/temp_tree.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;

namespace mv {
using test::TempTree;

bool operator==(const CompareRow& a, const CompareRow& b);
void PrintTo(const CompareRow& r, std::ostream* os);

namespace {

CompareRow Row(std::string left, std::string right) {
    return {std::move(left), std::move(right)};
}

CompareResult Compare(const CompareParams& p) {
    CompareControl control;
    return RunCompare(p, control);
}

CompareParams ListParams(std::vector<std::string> folders, std::vector<std::string> lines) {
    CompareParams p;
    p.mode = kModeFolderVsList;
    p.folders = std::move(folders);
    p.listLines = std::move(lines);
    return p;
}

CompareParams SearchParams(std::string text, std::vector<std::string> lines) {
    CompareParams p;
    p.mode = kModeSearchList;
    p.searchText = std::move(text);
    p.listLines = std::move(lines);
    p.percentText = "101";
    return p;
}

TEST(FolderAgainstList, TitlesAreReportedUnderTheirListLocation) {
    TempTree tree;
    const auto a = tree.File("Song A.mp3");
    const auto b = tree.File("song_b.mp3");
    tree.File("Other.mp3");
    const CompareResult r = Compare(ListParams(
        {tree.Root()}, {"\\Mp3 List", "\\CD1", "/Rock", "Song A.mp3", "..", "Song B.mp3"}));
    EXPECT_THAT(r.rows, ElementsAre(Row(a, "/CD1/Rock/Song A.mp3"), Row(b, "/CD1/Song B.mp3")));
    EXPECT_THAT(r.messages, ElementsAre("Comparison finished"));
}

TEST(FolderAgainstList, SameTitleOnTwoCdsGivesTwoRows) {
    TempTree tree;
    const auto f = tree.File("Band - Tune.mp3");
    const CompareResult r =
        Compare(ListParams({tree.Root()}, {"\\Mp3 List", "\\One", "Band Tune.mp3", "\\Two", "/Best",
                                           "Band Tune.mp3", ".."}));
    EXPECT_THAT(r.rows,
                ElementsAre(Row(f, "/One/Band Tune.mp3"), Row(f, "/Two/Best/Band Tune.mp3")));
}

TEST(FolderAgainstList, EveryWalkGivesEveryTitleTheSameLocation) {
    // Titles above the first CD marker have no location, and a list without
    // markers does not carry one walk's location into the next.
    TempTree tree;
    const auto a = tree.File("a/Intro.mp3");
    const auto b = tree.File("b/Intro.mp3");
    const std::vector<std::string> folders{tree.Path("a"), tree.Path("b")};
    struct Case {
        std::vector<std::string> lines;
        std::string location;  // where Intro.mp3 is reported
    };
    const Case cases[] = {
        {{"Intro.mp3", "\\CD", "/Sub", "Other.mp3"}, "/Intro.mp3"},
        {{"/Pre", "Intro.mp3", "\\CD", "/Sub"}, "/Pre/Intro.mp3"},
        {{"/F", "Intro.mp3"}, "/F/Intro.mp3"},
        {{"/F", "/G", "Intro.mp3", ".."}, "/F/G/Intro.mp3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.location);
        for (bool exhaustive : {true, false}) {
            CompareParams p = ListParams(folders, c.lines);
            p.exhaustive = exhaustive;
            EXPECT_THAT(Compare(p).rows, ElementsAre(Row(a, c.location), Row(b, c.location)));
        }
        // A search is one walk only, but it must agree.
        EXPECT_THAT(Compare(SearchParams("Intro", c.lines)).rows,
                    ElementsAre(Row("Search\\Intro", c.location)));
    }
}

TEST(FolderAgainstList, MissingOrEmptyListCancels) {
    TempTree tree;
    tree.File("Song.mp3");
    for (auto lines : {std::optional<std::vector<std::string>>{},
                       std::optional<std::vector<std::string>>{std::vector<std::string>{}}}) {
        CompareParams p = ListParams({tree.Root()}, {});
        p.listLines = lines;
        CompareControl control;
        const CompareResult r = RunCompare(p, control);
        EXPECT_TRUE(r.cancelled);
        EXPECT_TRUE(control.stopRequested);
        EXPECT_THAT(r.rows, IsEmpty());
        EXPECT_THAT(r.resultText, StartsWith("0 result in "));
        EXPECT_THAT(r.messages, ElementsAre("You don't have any list!!", "Comparison Cancelled"));
    }
    // No files comes first: the list is not looked at.
    const CompareResult none = Compare(ListParams({tree.Path("empty")}, {}));
    EXPECT_THAT(none.messages, ElementsAre("This Directory contains no Mp3s!"));
}

TEST(FolderAgainstList, WordlessEntryAtHundredMarksNothing) {
    TempTree tree;
    const auto f = tree.File("Bad Word Song.mp3");
    CompareParams p = ListParams({tree.Root()}, {"\\BANLIST", "---", ".mp3", "BAD"});
    p.percentText = "100";
    EXPECT_THAT(Compare(p).rows, ElementsAre(Row(f, "/BANLIST/BAD")));
}

TEST(ListSearch, FindsTitlesWhoseWordsCoverTheSearchText) {
    const std::vector<std::string> lines{
        "\\Mp3 List",       "\\CD1", "/Pop",    "Artist Song Title.mp3", "..",
        "Artist Other.mp3", "",      "Song.mp3"};
    const CompareResult r = Compare(SearchParams("Artist Song", lines));
    EXPECT_THAT(r.rows, ElementsAre(Row("Search\\Artist Song", "/CD1/Pop/Artist Song Title.mp3")));
    EXPECT_THAT(r.messages, IsEmpty());  // a finished search shows no message
    EXPECT_THAT(r.resultText, StartsWith("1 result in "));
}

TEST(ListSearch, WordlessSearchFindsNothingAndNoListCancels) {
    const std::vector<std::string> lines{"\\Mp3 List", "\\CD1", "Song.mp3", ".mp3"};
    EXPECT_THAT(Compare(SearchParams("--", lines)).rows, IsEmpty());
    EXPECT_THAT(Compare(SearchParams("", lines)).rows, IsEmpty());
    CompareParams p = SearchParams("Song", {});
    p.listLines.reset();
    EXPECT_THAT(Compare(p).messages,
                ElementsAre("You don't have any list!!", "Comparison Cancelled"));
}

TEST(Stop, EndsTheRunKeepingTheRowsFound) {
    std::vector<std::string> lines{"\\Mp3 List", "\\CD"};
    for (int k = 0; k < 5000; ++k) lines.push_back("Same Song.mp3");
    {
        // The plain loop hands rows over in batches while it runs.
        CompareParams p = SearchParams("Same Song", lines);
        p.exhaustive = true;
        CompareControl control;
        uint64_t delivered = 0;
        p.onRows = [&](std::vector<CompareRow>&& batch) {
            delivered += batch.size();
            control.stopRequested = true;
        };
        const CompareResult r = RunCompare(p, control);
        EXPECT_TRUE(r.cancelled);
        EXPECT_THAT(r.messages, ElementsAre("Comparison Cancelled"));
        EXPECT_THAT(r.rows, IsEmpty());  // they went to the callback
        EXPECT_EQ(delivered, r.rowCount);
        EXPECT_GT(r.rowCount, 0u);
        EXPECT_LT(r.rowCount, 5000u);
        EXPECT_LT(control.pairsDone, control.pairsTotal);
        EXPECT_EQ(control.pairsTotal, lines.size());
    }
}

TEST(Stop, FromAnotherThreadEndsAFolderRun) {
    TempTree tree;
    for (int k = 0; k < 400; ++k)
        tree.File("Track " + std::to_string(k % 3) + " x" + std::to_string(k) + ".mp3");
    CompareParams p;
    p.mode = kModeFolderVsItself;
    p.folders = {tree.Root()};
    p.percentText = "0";  // everything matches everything: 79800 rows when not stopped
    for (bool exhaustive : {true, false}) {
        p.exhaustive = exhaustive;
        CompareControl control;
        std::thread stopper([&] {
            while (control.pairsDone < 1000) std::this_thread::yield();
            control.stopRequested = true;
        });
        const CompareResult r = RunCompare(p, control);
        stopper.join();
        EXPECT_TRUE(r.cancelled);
        EXPECT_GE(r.rowCount, 1000u);
        EXPECT_LT(r.rowCount, 79800u);
        EXPECT_EQ(r.rows.size(), r.rowCount);
    }
}

}  // namespace
}  // namespace mv
