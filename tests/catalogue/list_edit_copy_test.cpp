#include "catalogue/list_edit_copy.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "example_list.h"
#include "support/core/temp_tree.h"

namespace mv {
namespace {

using Lines = std::vector<std::string>;
using testing::kExampleList;

// Node ids of the example list, in line order.
constexpr uint32_t kRoot = 0, kRock1999 = 1, kMusic = 2, kPop = 3, kRock = 4, kLive = 5,
                   kEncore = 6;

Lines Shown(const ListEditCopy& copy) {
    Lines out;
    for (size_t i = 0; i < copy.TitleLines().size(); ++i) out.push_back(copy.TitleText(i));
    return out;
}

Lines Without(Lines lines, std::initializer_list<size_t> ascending) {
    for (auto it = std::rbegin(ascending); it != std::rend(ascending); ++it) {
        lines.erase(lines.begin() + static_cast<long>(*it));
    }
    return lines;
}

TEST(ListEditCopy, EditingTheThirdTitleOfAWholeCdChangesExactlyItsLine) {
    ListEditCopy copy;
    copy.Reset(kExampleList);
    copy.ShowTitles(kRock1999, TitleMode::WholeCd);
    ASSERT_EQ(copy.TitleLines(), (std::vector<size_t>{4, 7, 8}));
    EXPECT_EQ(copy.EditTitle(2, "Band One Song C.mp3"), TitleEdit::Stored);
    Lines expected = kExampleList;
    expected[8] = "Band One Song C.mp3";
    EXPECT_EQ(copy.Lines(), expected);
    EXPECT_EQ(Shown(copy)[2], "Band One Song C.mp3");
    EXPECT_TRUE(copy.Changed());
    EXPECT_EQ(copy.TitleCount(), 5u);
}

TEST(ListEditCopy, TextsThatWouldChangeTheLinesKindAreRefused) {
    const struct {
        const char* text;
        bool refused;
    } cases[] = {
        {"", true},      {"\\Other CD", true}, {"/Folder", true},   {"..", true},
        {"\n..", false}, {".. ", false},       {" /x", false},      {"a\\b/c.mp3", false},
        {"...", false},  {"  ", false},        {"Fine.mp3", false},
    };
    for (const auto& c : cases) {
        ListEditCopy copy;
        copy.Reset(kExampleList);
        copy.ShowTitles(kLive, TitleMode::RootContent);
        EXPECT_EQ(RefusedTitleReason(c.text).empty(), !c.refused) << c.text;
        const TitleEdit result = copy.EditTitle(0, c.text);
        EXPECT_EQ(result, c.refused ? TitleEdit::Refused : TitleEdit::Stored) << c.text;
        EXPECT_EQ(copy.Changed(), !c.refused) << c.text;
        EXPECT_EQ(copy.Lines()[12] == kExampleList[12], c.refused) << c.text;
        // Whatever is stored is still one title: the tree and count hold.
        EXPECT_EQ(KindOfListLine(copy.Lines()[12]), ListLineKind::Title) << c.text;
    }
}

TEST(ListEditCopy, OkWithoutACurrentTitleStillMarksTheListChanged) {
    ListEditCopy copy;
    copy.Reset(kExampleList);
    EXPECT_FALSE(copy.Changed());
    EXPECT_EQ(copy.EditTitle(0, ""), TitleEdit::NoEntry);  // nothing shown
    EXPECT_TRUE(copy.Changed());
    EXPECT_EQ(copy.Lines(), kExampleList);
}

TEST(ListEditCopy, RemovingTitlesKeepsEveryOtherEntryAndNodeOnItsLine) {
    ListEditCopy copy;
    copy.Reset(kExampleList);
    copy.ShowTitles(kRock1999, TitleMode::WholeCd);
    copy.RemoveTitles({0});
    EXPECT_EQ(copy.Lines(), Without(kExampleList, {4}));
    EXPECT_EQ(Shown(copy), (Lines{"Band One Song A.mp3", "Band One Song B.mp3"}));
    EXPECT_EQ(copy.TitleCount(), 4u);
    EXPECT_TRUE(copy.Changed());
    // The nodes after the removed line follow their lines, so the next click
    // shows the right titles without the tree being built again.
    copy.ShowTitles(kLive, TitleMode::WholeCd);
    EXPECT_EQ(Shown(copy), (Lines{"Concert Intro.mp3", "Concert Finale.mp3"}));
    copy.ShowTitles(kRock, TitleMode::RootContent);
    EXPECT_EQ(Shown(copy), (Lines{"Band One Song A.mp3", "Band One Song B.mp3"}));

    // Several at once, in any order, repeated and out of range: one removal each.
    copy.Reset(kExampleList);
    copy.ShowTitles(kLive, TitleMode::WholeCd);
    copy.RemoveTitles({1, 7, 0, 1});
    EXPECT_EQ(copy.Lines(), Without(kExampleList, {12, 14}));
    EXPECT_EQ(copy.TitleLines(), std::vector<size_t>{});
    EXPECT_EQ(copy.TitleCount(), 3u);
    EXPECT_EQ(copy.Tree().Node(kEncore).line, 12u);

    // The entries left keep pointing at their own titles.
    copy.Reset(kExampleList);
    copy.ShowTitles(kRock1999, TitleMode::WholeCd);
    copy.RemoveTitles({1});
    EXPECT_EQ(copy.TitleLines(), (std::vector<size_t>{4, 7}));
    EXPECT_EQ(Shown(copy), (Lines{"Singer Tune.mp3", "Band One Song B.mp3"}));
}

TEST(ListEditCopy, DeletingACdOrFolder) {
    const struct {
        const char* what;
        uint32_t node;
        bool deleted;
        Lines lines;
        size_t titles;
    } cases[] = {
        {"Music with Pop and Rock", kMusic, true,
         Without(kExampleList, {2, 3, 4, 5, 6, 7, 8, 9, 10}), 2},
        {"Pop", kPop, true, Without(kExampleList, {3, 4, 5}), 4},
        {"Rock 1999, up to Live", kRock1999, true,
         Without(kExampleList, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), 2},
        {"Live, the last CD", kLive, true, Without(kExampleList, {11, 12, 13, 14, 15}), 3},
        {"Encore", kEncore, true, Without(kExampleList, {13, 14, 15}), 4},
        {"the root", kRoot, false, kExampleList, 5},
        {"no node", ListTree::kNone, false, kExampleList, 5},
    };
    for (const auto& c : cases) {
        ListEditCopy copy;
        copy.Reset(kExampleList);
        copy.ShowTitles(kLive, TitleMode::WholeCd);
        EXPECT_EQ(copy.DeleteNode(c.node), c.deleted) << c.what;
        EXPECT_EQ(copy.Lines(), c.lines) << c.what;
        EXPECT_EQ(copy.TitleCount(), c.titles) << c.what;
        EXPECT_EQ(copy.Changed(), c.deleted) << c.what;
        EXPECT_EQ(copy.TitleLines().empty(), c.deleted) << c.what;
        EXPECT_EQ(copy.Tree().NodeCount(), ListTree::Build(c.lines).NodeCount()) << c.what;
    }
}

TEST(ListEditCopy, SearchResultsLeadToTheirFolderAndTitle) {
    ListEditCopy copy;
    Lines lines = kExampleList;
    // A CD whose name holds '/', and two CDs of one name: the one that holds
    // the title is found.
    for (const char* line :
         {"\\AC/DC", "/Live", "Thunder.mp3", "..", "\\Twin", "One.mp3", "\\Twin", "Two.mp3"}) {
        lines.push_back(line);
    }
    copy.Reset(lines);
    const struct {
        const char* location;
        std::vector<uint32_t> path;  // empty: not found
        const char* title;
        size_t line;
    } cases[] = {
        {"/Rock 1999/Music/Rock/Band One Song A.mp3",
         {kRoot, kRock1999, kMusic, kRock},
         "Band One Song A.mp3",
         7},
        {"/Live/Concert Intro.mp3", {kRoot, kLive}, "Concert Intro.mp3", 12},
        {"/Live/Encore/Concert Finale.mp3", {kRoot, kLive, kEncore}, "Concert Finale.mp3", 14},
        {"/AC/DC/Live/Thunder.mp3", {kRoot, 7, 8}, "Thunder.mp3", 18},
        {"/Twin/Two.mp3", {kRoot, 10}, "Two.mp3", 23},
        // Edited in the copy since: the folder still opens, the title is not there.
        {"/Live/Encore/Old Name.mp3", {kRoot, kLive, kEncore}, "Old Name.mp3", std::string::npos},
        {"/Gone CD/Song.mp3", {}, "", 0},
        {"/Rock 1999/Music/Jazz/Song.mp3", {}, "", 0},
    };
    for (const auto& c : cases) {
        const auto found = copy.Locate(c.location);
        ASSERT_EQ(found.has_value(), !c.path.empty()) << c.location;
        if (!found) continue;
        EXPECT_EQ(found->path, c.path) << c.location;
        EXPECT_EQ(found->title, c.title) << c.location;
        EXPECT_EQ(found->line, c.line) << c.location;
    }

    // The entry made current: the located line, else the first equal title
    // without regard to letter case.
    copy.ShowTitles(kRock1999, TitleMode::WholeCd);
    auto located = copy.Locate("/Rock 1999/Music/Rock/Band One Song B.mp3");
    ASSERT_TRUE(located);
    EXPECT_EQ(copy.EntryOf(*located), 2u);
    located->line = std::string::npos;
    located->title = "band one SONG a.MP3";
    EXPECT_EQ(copy.EntryOf(*located), 1u);
    located->title = "Missing.mp3";
    EXPECT_EQ(copy.EntryOf(*located), std::nullopt);
}

TEST(ListEditCopy, NextSearchResultCyclesAndPassesOverPlacesTheTreeLacks) {
    ListEditCopy copy;
    copy.Reset(kExampleList);
    const Lines results = {"/Live/Concert Intro.mp3", "/Gone/x.mp3",
                           "/Rock 1999/Music/Pop/Singer Tune.mp3"};
    std::vector<size_t> rows;
    size_t position = 0;
    for (int click = 0; click < 5; ++click) {
        const auto step = copy.NextSearchResult(results, position);
        ASSERT_TRUE(step);
        rows.push_back(step->row);
        position = step->nextPosition;
    }
    EXPECT_EQ(rows, (std::vector<size_t>{0, 2, 0, 2, 0}));
    // A single result shows again and again; a stale position starts over.
    EXPECT_EQ(copy.NextSearchResult({results[0]}, 0)->nextPosition, 0u);
    EXPECT_EQ(copy.NextSearchResult(results, 9)->row, 0u);
    EXPECT_EQ(copy.NextSearchResult({}, 0), std::nullopt);
    EXPECT_EQ(copy.NextSearchResult({"/Gone/x.mp3"}, 0), std::nullopt);
}

class ListEditCopyFile : public ::testing::Test {
  protected:
    std::string Slurp() const {
        std::ostringstream s;
        s << std::ifstream(file, std::ios::binary).rdbuf();
        return s.str();
    }
    test::TempTree tree;
    std::filesystem::path file = std::filesystem::path(tree.Root()) / "Mp3List.txt";
};

TEST_F(ListEditCopyFile, OpensEditsAndSavesWithCrLf) {
    tree.File("Mp3List.txt", "\\Mp3 List\n\\CD\nA.mp3\nB.mp3\n");
    ListEditCopy copy;
    ASSERT_EQ(copy.Open(file), ListLoadStatus::Read);
    EXPECT_EQ(copy.TitleCount(), 2u);
    EXPECT_FALSE(copy.Changed());
    copy.ShowTitles(1, TitleMode::RootContent);
    copy.RemoveTitles({0});
    ASSERT_EQ(copy.Save(file), "");
    EXPECT_EQ(Slurp(), "\\Mp3 List\r\n\\CD\r\nB.mp3\r\n");

    // Opening again starts from the file and clears the changed mark.
    ASSERT_EQ(copy.Open(file), ListLoadStatus::Read);
    EXPECT_FALSE(copy.Changed());
    EXPECT_TRUE(copy.TitleLines().empty());
    copy.Close();
    EXPECT_EQ(copy.Tree().NodeCount(), 0u);
}

TEST_F(ListEditCopyFile, AnUnreadableListIsNamedWithItsCause) {
    ListEditCopy copy;
    EXPECT_EQ(copy.Open(file), ListLoadStatus::Absent);
    EXPECT_EQ(copy.Tree().NodeCount(), 0u);

    std::filesystem::create_directories(file);
    EXPECT_EQ(copy.Open(file), ListLoadStatus::Unreadable);
    EXPECT_EQ(UnreadableListMessage(file),
              "Cannot read " + file.string() + ": it is a folder, not a regular file.");
}

TEST_F(ListEditCopyFile, AListWithoutReadPermissionNamesTheCause) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    ListEditCopy copy;
    tree.File("Mp3List.txt", "\\Mp3 List\r\n");
    ::chmod(file.c_str(), 0);
    EXPECT_EQ(copy.Open(file), ListLoadStatus::Unreadable);
    EXPECT_NE(UnreadableListMessage(file).find("Permission denied"), std::string::npos);
}

}  // namespace
}  // namespace mv
