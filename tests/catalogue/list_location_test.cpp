#include "catalogue/list_location.h"

#include <gtest/gtest.h>

#include <random>

#include "catalogue/list_line.h"
#include "example_list.h"

namespace mv {
namespace {

using Lines = std::vector<std::string>;

TEST(ListLocation, LinesChangeTheLocationByKind) {
    std::string loc = "anything";
    AdvanceListLocation(loc, "\\CD1");
    EXPECT_EQ(loc, "/CD1");
    AdvanceListLocation(loc, "/Rock");
    AdvanceListLocation(loc, "/");
    EXPECT_EQ(loc, "/CD1/Rock/");
    AdvanceListLocation(loc, "..");
    AdvanceListLocation(loc, "..");
    EXPECT_EQ(loc, "/CD1");
    AdvanceListLocation(loc, ".. ");  // a title
    AdvanceListLocation(loc, "");
    EXPECT_EQ(loc, "/CD1");
    AdvanceListLocation(loc, "..");
    AdvanceListLocation(loc, "..");  // nothing left to leave
    EXPECT_EQ(loc, "");
    for (const char* control : {"", "\\CD", "/Folder", ".."}) {
        EXPECT_TRUE(IsListControlLine(control)) << control;
    }
    for (const char* title : {"..x", ". .", "Song.mp3", "...", " /x"}) {
        EXPECT_FALSE(IsListControlLine(title)) << title;
    }
}

// The location before each line by the string rule, from an empty start.
Lines WalkedLocations(const Lines& lines) {
    Lines out;
    std::string location;
    for (const auto& line : lines) {
        out.push_back(location);
        AdvanceListLocation(location, line);
    }
    return out;
}

Lines TreeLocations(const Lines& lines) {
    const ListLocations tree(lines);
    Lines out;
    for (size_t j = 0; j < lines.size(); ++j) out.push_back(tree.Before(j));
    return out;
}

TEST(ListLocation, TreeGivesTheLocationsOfTheWalk) {
    EXPECT_EQ(TreeLocations(testing::kExampleList), WalkedLocations(testing::kExampleList));
    EXPECT_EQ(TreeLocations(testing::kExampleList)[4], "/Rock 1999/Music/Pop");

    // Names with slashes, nameless folders and CDs, up entries past the root,
    // lines before the first marker, in random order.
    const char* const pieces[] = {"\\Mp3 List", "\\CD", "\\AC/DC",  "\\",  "\\/x/",  "/F",
                                  "/a/b",       "/",    "//",       "/c/", "..",     "..",
                                  "..",         "",     "Song.mp3", ".. ", "a/b.mp3"};
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        Lines lines(rng() % 40);
        for (auto& line : lines) line = pieces[rng() % std::size(pieces)];
        ASSERT_EQ(TreeLocations(lines), WalkedLocations(lines)) << "round " << round;
    }
}

TEST(ListLocation, DeepListCostsMemoryInProportionToItsLines) {
    // One CD, 30,000 nested folders, one title, the way back up.
    constexpr int kDepth = 30000;
    Lines lines{"\\Mp3 List", "\\Deep"};
    std::string expected = "/Deep";
    for (int k = 0; k < kDepth; ++k) {
        lines.push_back("/F" + std::to_string(k));
        expected += lines.back();
    }
    lines.push_back("Song.mp3");
    for (int k = 0; k < kDepth; ++k) lines.push_back("..");
    lines.push_back("Last.mp3");

    const ListLocations tree(lines);
    EXPECT_EQ(tree.PieceCount(), 1u + 2u + kDepth);  // the empty location, two CDs, folders
    EXPECT_EQ(tree.Before(kDepth + 2), expected);
    EXPECT_EQ(tree.Before(lines.size() - 1), "/Deep");
    EXPECT_EQ(tree.Before(0), "");
}

}  // namespace
}  // namespace mv
