#include <gtest/gtest.h>

#include "catalogue/mp3_list.h"
#include "example_list.h"

namespace mv {
namespace {

using Lines = std::vector<std::string>;

Lines Block(const std::string& name, const std::string& root, const std::vector<FoundFile>& files) {
    const CdBlockResult result = BuildCdBlock({name, root, files});
    EXPECT_EQ(result.error, "");
    return result.lines;
}

TEST(AppendCd, RebuildsTheExampleFromScannedFiles) {
    TMp3List list;
    list.EnsureHeader();
    const auto rock = list.AppendCd("Rock 1999", "/media/cdrom",
                                    {{"Singer Tune.mp3", "/media/cdrom/Music/Pop"},
                                     {"Band One Song A.mp3", "/media/cdrom/Music/Rock"},
                                     {"Band One Song B.mp3", "/media/cdrom/Music/Rock"}});
    const auto live = list.AppendCd(
        "Live", "/media/cdrom",
        {{"Concert Intro.mp3", "/media/cdrom"}, {"Concert Finale.mp3", "/media/cdrom/Encore"}});
    EXPECT_EQ(list.Lines(), testing::kExampleList);
    EXPECT_EQ(rock.titleCount, 3u);
    EXPECT_EQ(live.titleCount, 2u);
    EXPECT_FALSE(rock.lineBreaksReplaced);
}

TEST(AppendCd, FilesAtTheRootGiveTitlesOnly) {
    EXPECT_EQ(Block("Disc 1", "/media/usb", {{"a.mp3", "/media/usb"}, {"b.mp3", "/media/usb/"}}),
              (Lines{"\\Disc 1", "a.mp3", "b.mp3"}));
}

TEST(AppendCd, ClimbsOnlyToAFolderThatContainsTheNext) {
    // "Rock" is a prefix of "Rock Live" but does not contain it.
    EXPECT_EQ(Block("CD", "/media/cdrom",
                    {{"one.mp3", "/media/cdrom/Music/Rock"},
                     {"two.mp3", "/media/cdrom/Music/Rock Live/Disc 1"},
                     {"three.mp3", "/media/cdrom/Music/Rock Live/Disc 1/Bonus"},
                     {"four.mp3", "/media/cdrom/Other"}}),
              (Lines{"\\CD", "/Music", "/Rock", "one.mp3", "..", "/Rock Live", "/Disc 1", "two.mp3",
                     "/Bonus", "three.mp3", "..", "..", "..", "..", "/Other", "four.mp3", ".."}));

    // Leaving a folder and coming back to one of its subfolders enters it twice.
    EXPECT_EQ(
        Block("CD", "/cd",
              {{"m.mp3", "/cd/Music"}, {"l.mp3", "/cd/Music Live"}, {"r.mp3", "/cd/Music/Rock"}}),
        (Lines{"\\CD", "/Music", "m.mp3", "..", "/Music Live", "l.mp3", "..", "/Music", "/Rock",
               "r.mp3", "..", ".."}));

    // The file-system root as the drive.
    EXPECT_EQ(
        Block("Root", "/", {{"top.mp3", "/"}, {"deep.mp3", "/home/me/Music"}, {"x.mp3", "/opt"}}),
        (Lines{"\\Root", "top.mp3", "/home", "/me", "/Music", "deep.mp3", "..", "..", "..", "/opt",
               "x.mp3", ".."}));
}

TEST(AppendCd, LineBreaksBecomeBlanksAndMisleadingTitlesAreLeftOut) {
    const CdBlockResult result = BuildCdBlock({"My\nCD",
                                               "/cd",
                                               {{"ok.mp3", "/cd/Two\r\nLines"},
                                                {"", "/cd/Two\r\nLines"},
                                                {"..", "/cd/Skipped"},
                                                {"\\fake cd", "/cd/Skipped"},
                                                {"/fake folder", "/cd"},
                                                {"Title\nbreak.mp3", "/cd"}}});
    EXPECT_EQ(result.error, "");
    EXPECT_TRUE(result.lineBreaksReplaced);
    EXPECT_EQ(result.lines, (Lines{"\\My CD", "/Two  Lines", "ok.mp3", "..", "Title break.mp3"}));
    EXPECT_EQ(result.titlesPassedOver, (Lines{"", "..", "\\fake cd", "/fake folder"}));
    EXPECT_EQ(result.titleCount, 2u);
}

TEST(AppendCd, FoldersOffTheDriveAreRefusedWhole) {
    TMp3List list;
    list.EnsureHeader();
    const auto result = list.AppendCd(
        "CD", "/media/cdrom", {{"a.mp3", "/media/cdrom/Music"}, {"b.mp3", "/media/cdrom2/X"}});
    EXPECT_NE(result.error, "");
    EXPECT_NE(result.error.find("/media/cdrom2/X"), std::string::npos) << result.error;
    EXPECT_EQ(list.Lines(), Lines{"\\Mp3 List"});

    EXPECT_NE(BuildCdBlock({"CD", "/", {{"a.mp3", "relative/path"}}}).error, "");
    EXPECT_EQ(Block("Empty", "/cd", {}), Lines{"\\Empty"});  // no files: the marker alone
}

}  // namespace
}  // namespace mv
