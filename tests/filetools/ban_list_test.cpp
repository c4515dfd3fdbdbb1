#include "filetools/ban_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "support/core/temp_tree.h"

namespace {

using mv::test::TempTree;

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A ban list in the file's layout, CR LF line ends.
std::string BanFile(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
}

// "rel/folder/name -> right" with the scanned root cut off the left side.
std::vector<std::string> RowsBelow(const std::string& root, const mv::CompareResult& result) {
    std::vector<std::string> rows;
    for (const auto& row : result.rows) {
        std::string left = row.left.rfind(root, 0) == 0 ? row.left.substr(root.size()) : row.left;
        rows.push_back(left + " -> " + row.right);
    }
    return rows;
}

struct ScanCase {
    const char* name;
    std::string banList;  // the file's bytes
    bool banFileExists;
    std::vector<std::string> files;  // below the scanned folder
    bool recurse;
    std::vector<std::string> rows;      // expected, in order
    std::vector<std::string> messages;  // expected, in order
};

const std::vector<ScanCase>& Cases() {
    static const std::vector<ScanCase> cases = {
        {"remix_bans_longer_words_by_two_at_most",
         BanFile({"\\BANLIST", "remix"}),
         true,
         {"Remixed Version.mp3", "Song (Remix).mp3", "Song Remixes.mp3", "Song Remixology.mp3",
          "Song Rmx.mp3"},
         true,
         {"/Remixed Version.mp3 -> /BANLIST/remix", "/Song (Remix).mp3 -> /BANLIST/remix",
          "/Song Remixes.mp3 -> /BANLIST/remix"},
         {"Comparison finished"}},
        {"live_is_inside_oliver",
         BanFile({"\\BANLIST", "live"}),
         true,
         {"Oliver Song.mp3", "Alive Forever.mp3", "Deliverance.mp3"},
         true,
         {"/Alive Forever.mp3 -> /BANLIST/live", "/Oliver Song.mp3 -> /BANLIST/live"},
         {"Comparison finished"}},
        {"every_word_of_an_entry_needs_a_partner",
         BanFile({"\\BANLIST", "karaoke version"}),
         true,
         {"Hit (Karaoke Version).mp3", "Hit (Karaoke).mp3", "Version Karaoke Hit.mp3"},
         true,
         {"/Hit (Karaoke Version).mp3 -> /BANLIST/karaoke version",
          "/Version Karaoke Hit.mp3 -> /BANLIST/karaoke version"},
         {"Comparison finished"}},
        {"a_file_is_listed_once_per_entry_in_list_order",
         BanFile({"\\BANLIST", "live", "remix"}),
         true,
         {"Live Remix.mp3"},
         true,
         {"/Live Remix.mp3 -> /BANLIST/live", "/Live Remix.mp3 -> /BANLIST/remix"},
         {"Comparison finished"}},
        {"empty_and_wordless_entries_ban_nothing",
         BanFile({"\\BANLIST", "", "   ", "-- !! --"}),
         true,
         {"Song.mp3", "Other Song.mp3"},
         true,
         {},
         {"Comparison finished"}},
        {"slash_entry_bans_nothing_and_shifts_later_locations",
         BanFile({"\\BANLIST", "remix", "/remix", "live", "..", "karaoke"}),
         true,
         {"Live Remix Karaoke.mp3"},
         true,
         {"/Live Remix Karaoke.mp3 -> /BANLIST/remix",
          "/Live Remix Karaoke.mp3 -> /BANLIST/remix/live",
          "/Live Remix Karaoke.mp3 -> /BANLIST/karaoke"},
         {"Comparison finished"}},
        {"header_only_list_finds_nothing",
         BanFile({"\\BANLIST"}),
         true,
         {"Remix.mp3"},
         true,
         {},
         {"Comparison finished"}},
        // The ban list's own message, never the Mp3 list's "You don't have any list!!".
        {"zero_byte_list_is_no_ban_list",
         "",
         true,
         {"Remix.mp3"},
         true,
         {},
         {"You do not have any banlist!"}},
        // A NUL is a byte of its line: it neither empties the list nor ends it.
        {"one_nul_line_is_a_list_that_bans_nothing",
         std::string("\0\r\n", 3),
         true,
         {"Remix.mp3"},
         true,
         {},
         {"Comparison finished"}},
        {"entries_after_a_nul_line_still_ban",
         BanFile({"\\BANLIST", std::string("\0", 1), "remix"}),
         true,
         {"Remix.mp3"},
         true,
         {"/Remix.mp3 -> /BANLIST/remix"},
         {"Comparison finished"}},
        {"recursion_on_scans_subfolders_breadth_first",
         BanFile({"\\BANLIST", "remix"}),
         true,
         {"Remix.mp3", "a/Remix A.mp3", "a/Other.mp3", "a/deep/Remix Deep.mp3",
          ".hidden/Remix Hidden.mp3", "c/Remix.txt"},
         true,
         {"/Remix.mp3 -> /BANLIST/remix", "/a/Remix A.mp3 -> /BANLIST/remix",
          "/a/deep/Remix Deep.mp3 -> /BANLIST/remix"},
         {"Comparison finished"}},
        {"recursion_off_scans_the_folder_alone",
         BanFile({"\\BANLIST", "remix"}),
         true,
         {"Remix.mp3", "a/Remix A.mp3", "b/Remix B.mp3"},
         false,
         {"/Remix.mp3 -> /BANLIST/remix"},
         {"Comparison finished"}},
        {"absent_list_runs_nothing",
         "",
         false,
         {"Remix.mp3"},
         true,
         {},
         {"You do not have any banlist!"}},
    };
    return cases;
}

// A case shows as its name in test listings.
void PrintTo(const ScanCase& c, std::ostream* os) {
    *os << c.name;
}

class BanScanTable : public ::testing::TestWithParam<ScanCase> {};

TEST_P(BanScanTable, RowsAndMessages) {
    const ScanCase& c = GetParam();
    TempTree tree;
    const std::string root = tree.Folder("scan");
    for (const auto& f : c.files) tree.File("scan/" + f, "x");
    const std::string ban = tree.Path("home/BanList.txt");
    if (c.banFileExists) tree.File("home/BanList.txt", c.banList);

    mv::BanScanParams params;
    params.banFile = ban;
    params.folder = root;
    params.recurse = c.recurse;
    mv::CompareControl control;
    const mv::BanScanResult result = mv::RunBanScan(params, control);

    EXPECT_EQ(result.banListRead, c.banFileExists && !c.banList.empty());
    EXPECT_EQ(RowsBelow(root, result.compare), c.rows);
    std::vector<std::string> messages = result.compare.messages;
    // Its first line: a second one names the file.
    if (!result.banListRead) messages = {result.message.substr(0, result.message.find('\n'))};
    EXPECT_EQ(messages, c.messages);
    if (!c.messages.empty() && c.messages.back() == "Comparison finished") {
        EXPECT_FALSE(result.compare.resultText.empty());
        EXPECT_EQ(result.compare.rowCount, c.rows.size());
    }
    // The scan names no other file: nothing appears beside the ban list.
    EXPECT_FALSE(std::filesystem::exists(tree.Path("home/Mp3List.txt")));
    EXPECT_FALSE(std::filesystem::exists(tree.Path("scan/Mp3List.txt")));
}

INSTANTIATE_TEST_SUITE_P(Cases, BanScanTable, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BanScan, SomethingUnreadableInTheListsPlaceIsNamedWithItsCause) {
    TempTree tree;
    tree.File("scan/Remix.mp3", "x");
    const std::string ban = tree.Folder("home/BanList.txt");
    mv::BanScanParams params;
    params.banFile = ban;
    params.folder = tree.Path("scan");
    mv::CompareControl control;
    const mv::BanScanResult result = mv::RunBanScan(params, control);
    EXPECT_FALSE(result.banListRead);
    EXPECT_EQ(result.message.rfind("You do not have any banlist!\n", 0), 0u) << result.message;
    EXPECT_NE(result.message.find(ban), std::string::npos) << result.message;
    EXPECT_TRUE(result.compare.rows.empty());
}

TEST(BanScan, AStopStandingWhenTheRunStartsEndsItAtOnce) {
    // A stop pressed while the scan is starting is not lost.
    TempTree tree;
    for (int k = 0; k < 50; ++k) tree.File("scan/Remix " + std::to_string(k) + ".mp3", "x");
    tree.File("home/BanList.txt", BanFile({"\\BANLIST", "remix"}));
    mv::BanScanParams params;
    params.banFile = tree.Path("home/BanList.txt");
    params.folder = tree.Path("scan");
    mv::CompareControl control;
    control.stopRequested = true;
    const mv::BanScanResult result = mv::RunBanScan(params, control);
    EXPECT_TRUE(result.compare.cancelled);
    EXPECT_EQ(result.compare.messages, std::vector<std::string>{"Comparison Cancelled"});
    EXPECT_LT(result.compare.rowCount, 50u);
}

// The editor's text goes to the file and comes back the same: every text a
// memo can hold (lines joined by LF) is a fixed point of save and open.
TEST(BanEditorText, SaveThenOpenGivesTheSameText) {
    TempTree tree;
    const std::string file = tree.Path("BanList.txt");
    const std::vector<std::string> texts = {"",
                                            "remix",
                                            "remix\n",
                                            "\n",
                                            "remix\nkaraoke version",
                                            "a\n\nb\n\n",
                                            "  blank edges  ",
                                            "\\looks like a CD",
                                            "/looks like a folder\n..",
                                            "caf\xc3\xa9 live",
                                            std::string("a\0b\n\0", 5)};
    for (const std::string& text : texts) {
        ASSERT_EQ(mv::SaveBanList(file, text), "") << text;
        const std::string bytes = Slurp(file);
        EXPECT_EQ(bytes.rfind("\\BANLIST\r\n", 0), 0u) << text;
        EXPECT_EQ(bytes.find("\\BANLIST", 1), std::string::npos) << "one header for " << text;
        const mv::ReadLinesResult read = mv::ReadBanList(file);
        ASSERT_EQ(read.status, mv::ReadStatus::Read);
        std::string back;
        const auto lines = mv::EditorLinesFromFileLines(read.lines);
        for (size_t k = 0; k < lines.size(); ++k) back += (k ? "\n" : "") + lines[k];
        EXPECT_EQ(back, text);
    }
}

TEST(BanEditorText, FileLinesAsWritten) {
    // The design content (one empty line) gives the header and an empty entry;
    // CR and CR LF typed or pasted split lines as the reader would.
    const std::vector<std::pair<std::string, std::vector<std::string>>> table = {
        {"", {"\\BANLIST", ""}},
        {"remix", {"\\BANLIST", "remix"}},
        {"remix\n", {"\\BANLIST", "remix", ""}},
        {"a\r\nb\rc", {"\\BANLIST", "a", "b", "c"}},
    };
    for (const auto& [text, lines] : table) EXPECT_EQ(mv::FileLinesFromEditorText(text), lines);

    // Opening drops the header, or any CD marker in its place, but never an entry.
    using V = std::vector<std::string>;
    EXPECT_EQ(mv::EditorLinesFromFileLines({"\\BANLIST", "remix"}), V{"remix"});
    EXPECT_EQ(mv::EditorLinesFromFileLines({"\\Mp3 List", "remix"}), V{"remix"});
    EXPECT_EQ(mv::EditorLinesFromFileLines({"remix", "live"}), (V{"remix", "live"}));
    EXPECT_EQ(mv::EditorLinesFromFileLines({"", "live"}), (V{"", "live"}));
    EXPECT_EQ(mv::EditorLinesFromFileLines({}), V{});
}

}  // namespace
