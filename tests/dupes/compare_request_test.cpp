#include "dupes/compare_request.h"

#include <gtest/gtest.h>

#include "support/core/temp_tree.h"

namespace mv {
namespace {

using Lines = std::vector<std::string>;

// Every command with and without its subfolders: the run each one asks for.
TEST(CompareRequest, EachCommandAsksForItsRun) {
    struct Case {
        CompareCommand command;
        bool withSubfolders;
        CompareMode mode;
        std::string percent;
        std::optional<std::string> walkRoot;
        Lines folders;
        std::optional<Lines> listLines;
        bool readsMp3List;
    };
    const Lines ban = {"\\BANLIST", "remix"};
    const Case cases[] = {
        {CompareCommand::FolderVsItself, false, kModeFolderVsItself, "75", {}, {"/m"}, {}, false},
        {CompareCommand::FolderVsItself, true, kModeFolderVsItself, "75", "/m", {}, {}, false},
        {CompareCommand::FolderVsList, false, kModeFolderVsList, "75", {}, {"/m"}, {}, true},
        {CompareCommand::FolderVsList, true, kModeFolderVsList, "75", "/m", {}, {}, true},
        {CompareCommand::BanScan, false, kModeFolderVsList, "100", {}, {"/m"}, ban, false},
        {CompareCommand::BanScan, true, kModeFolderVsList, "100", "/m", {}, ban, false},
        // The search names no folder, whatever the box and the tick say.
        {CompareCommand::SearchList, false, kModeSearchList, "101", {}, {}, {}, true},
        {CompareCommand::SearchList, true, kModeSearchList, "101", {}, {}, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.command)) + " " +
                     std::to_string(c.withSubfolders));
        CompareChoice choice;
        choice.command = c.command;
        choice.folder = "/m";
        choice.withSubfolders = c.withSubfolders;
        choice.percentText = "75";
        choice.searchText = "love song";
        choice.banLines = ban;
        const CompareRequest r = BuildCompareRequest(choice);
        EXPECT_EQ(r.mode, c.mode);
        EXPECT_EQ(r.percentText, c.percent);
        EXPECT_EQ(r.walkRoot, c.walkRoot);
        EXPECT_EQ(r.folders, c.folders);
        EXPECT_EQ(r.listLines, c.listLines);
        EXPECT_EQ(r.ReadsMp3List(), c.readsMp3List);
        EXPECT_EQ(r.searchText, c.mode == kModeSearchList ? "love song" : "");
    }
}

// An absent list is no list; one that is there but cannot be read refuses the run.
TEST(CompareRequest, TheListIsReadOrRefusesTheRun) {
    test::TempTree tree;
    tree.File("List.txt", "\\CD1\r\n/Rock\r\nSong.mp3\r\n");
    tree.Folder("Folder.txt");

    const ListForRun read = ReadListForRun(tree.Path("List.txt"));
    EXPECT_FALSE(read.refused);
    EXPECT_EQ(read.lines, (Lines{"\\CD1", "/Rock", "Song.mp3"}));

    const ListForRun absent = ReadListForRun(tree.Path("None.txt"));
    EXPECT_FALSE(absent.refused);
    EXPECT_FALSE(absent.lines.has_value());

    const ListForRun folder = ReadListForRun(tree.Path("Folder.txt"));
    EXPECT_TRUE(folder.refused);
    EXPECT_FALSE(folder.lines.has_value());
    EXPECT_NE(folder.message.find("Folder.txt"), std::string::npos) << folder.message;
}

}  // namespace
}  // namespace mv
