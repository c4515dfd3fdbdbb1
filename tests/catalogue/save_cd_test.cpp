#include "catalogue/save_cd.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "catalogue/drive_scan.h"
#include "platform/text_lines.h"
#include "support/core/temp_tree.h"

namespace mv {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class SaveCdTest : public ::testing::Test {
  protected:
    void SetUp() override { tree_.Folder("home"); }
    std::string Drive() const { return tree_.Path("drive"); }
    fs::path ListPath() const { return tree_.Path("home/Mp3List.txt"); }
    void WriteList(const Lines& lines) { ASSERT_EQ(WriteLinesAtomically(ListPath(), lines), ""); }
    Lines ReadList() const { return ReadLines(ListPath()).value_or(Lines{"<unreadable>"}); }
    std::vector<FoundFile> Files(const std::vector<std::pair<std::string, std::string>>& rel) {
        std::vector<FoundFile> out;
        for (const auto& [title, folder] : rel)
            out.push_back({title, folder.empty() ? Drive() : Drive() + "/" + folder});
        return out;
    }
    SaveCdResult Save(const std::string& name, std::vector<FoundFile> files, bool replace = false) {
        ListForSave opened = OpenListForSave(ListPath());
        EXPECT_EQ(opened.message, "");
        return SaveCd(opened, {name, Drive(), std::move(files), replace});
    }

    test::TempTree tree_;
};

TEST_F(SaveCdTest, ScannedDriveSavedIntoAnAbsentList) {
    tree_.File("drive/a.mp3");
    tree_.File("drive/Music/b.mp3");
    tree_.File("drive/Music/c.mp3");
    DriveScanControl control;
    const DriveScanResult scan = ScanDrive({Drive(), "Mp3", nullptr}, control);

    ListForSave opened = OpenListForSave(ListPath());
    EXPECT_EQ(opened.message, "");
    EXPECT_EQ(opened.list.FindCd("Disc 1"), -1);
    const SaveCdResult r = SaveCd(opened, {"Disc 1", scan.driveRoot, FoundFilesOf(scan)});
    EXPECT_EQ(r.outcome, SaveCdOutcome::Saved);
    EXPECT_EQ(r.titleCount, 3u);
    EXPECT_TRUE(r.messages.empty());
    const Lines expected{"\\Mp3 List", "\\Disc 1", "a.mp3", "/Music", "b.mp3", "c.mp3", ".."};
    EXPECT_EQ(ReadList(), expected);
    EXPECT_EQ(opened.list.Lines(), expected);  // the caller's copy follows the file
}

TEST_F(SaveCdTest, AnExistingNameInAnotherCaseIsReplacedOnlyWhenAgreed) {
    WriteList({"\\Mp3 List", "\\Disc 1", "old.mp3", "\\Other", "o.mp3"});
    const Lines before = ReadList();

    EXPECT_EQ(Save("disc 1", Files({{"new.mp3", ""}})).outcome, SaveCdOutcome::NameTaken);
    EXPECT_EQ(ReadList(), before);

    const SaveCdResult r = Save("disc 1", Files({{"new.mp3", "Sub"}}), /*replace=*/true);
    EXPECT_EQ(r.outcome, SaveCdOutcome::Saved);
    EXPECT_EQ(ReadList(),
              (Lines{"\\Mp3 List", "\\Other", "o.mp3", "\\disc 1", "/Sub", "new.mp3", ".."}));
}

TEST_F(SaveCdTest, TheListsOwnNameFindsTheHeader) {
    WriteList({"\\Mp3 List", "\\CD", "t.mp3"});
    ListForSave opened = OpenListForSave(ListPath());
    EXPECT_EQ(opened.list.FindCd("mp3 list"), 0);
    EXPECT_EQ(SaveCd(opened, {"Mp3 List", Drive(), Files({{"x.mp3", ""}}), true}).outcome,
              SaveCdOutcome::Saved);
    // The header and its (empty) block went; the CD of that name is at the end.
    EXPECT_EQ(ReadList(), (Lines{"\\CD", "t.mp3", "\\Mp3 List", "x.mp3"}));
    // The next save puts a header in front again.
    EXPECT_EQ(Save("Next", Files({{"n.mp3", ""}})).outcome, SaveCdOutcome::Saved);
    EXPECT_EQ(ReadList(),
              (Lines{"\\Mp3 List", "\\CD", "t.mp3", "\\Mp3 List", "x.mp3", "\\Next", "n.mp3"}));
}

TEST_F(SaveCdTest, HeaderInAnotherCaseGetsAnExactOneInFront) {
    WriteList({"\\mp3 list", "\\CD", "t.mp3"});
    EXPECT_EQ(Save("New", Files({{"n.mp3", ""}})).outcome, SaveCdOutcome::Saved);
    EXPECT_EQ(ReadList(), (Lines{"\\Mp3 List", "\\mp3 list", "\\CD", "t.mp3", "\\New", "n.mp3"}));
}

TEST_F(SaveCdTest, NothingIsWrittenWithoutFoundFiles) {
    EXPECT_EQ(Save("Empty", {}).outcome, SaveCdOutcome::NothingFound);
    EXPECT_FALSE(fs::exists(ListPath()));  // not even the header

    WriteList({"\\Mp3 List", "\\Empty", "kept.mp3"});
    // Even after agreeing to overwrite, the old CD stays.
    EXPECT_EQ(Save("EMPTY", {}, true).outcome, SaveCdOutcome::NothingFound);
    EXPECT_EQ(ReadList(), (Lines{"\\Mp3 List", "\\Empty", "kept.mp3"}));
}

TEST_F(SaveCdTest, RefusalsLeaveTheFileAsItWas) {
    WriteList({"\\Mp3 List", "\\CD", "t.mp3"});
    const Lines before = ReadList();
    struct Case {
        const char* what;
        std::string name;
        std::vector<FoundFile> files;
        std::string messagePart;
    };
    const std::vector<Case> cases = {
        {"no name", "", Files({{"a.mp3", ""}}), "name"},
        {"folder off the drive",
         "X",
         {{"a.mp3", Drive()}, {"b.mp3", tree_.Path("elsewhere")}},
         tree_.Path("elsewhere")},
        {"no title can be stored", "X", Files({{"..", ""}, {"/x", "A"}}), "None of the 2 titles"},
    };
    for (const auto& c : cases) {
        const SaveCdResult r = Save(c.name, c.files);
        EXPECT_EQ(r.outcome, SaveCdOutcome::Failed) << c.what;
        ASSERT_EQ(r.messages.size(), 1u) << c.what;
        EXPECT_NE(r.messages[0].find(c.messagePart), std::string::npos) << r.messages[0];
        EXPECT_EQ(ReadList(), before) << c.what;
    }
}

TEST_F(SaveCdTest, TitlesLeftOutAreNamedAndTheRestSaved) {
    const SaveCdResult r = Save("CD", Files({{"ok.mp3", ""}, {"..", ""}, {"two\nlines", ""}}));
    EXPECT_EQ(r.outcome, SaveCdOutcome::Saved);
    EXPECT_EQ(r.titleCount, 2u);
    ASSERT_EQ(r.messages.size(), 2u);
    EXPECT_NE(r.messages[0].find("\"..\""), std::string::npos) << r.messages[0];
    EXPECT_NE(r.messages[1].find("Line breaks"), std::string::npos) << r.messages[1];
    EXPECT_EQ(ReadList(), (Lines{"\\Mp3 List", "\\CD", "ok.mp3", "two lines"}));
}

TEST_F(SaveCdTest, AWriteFailureIsReportedAndTheCopyKept) {
    // The list's folder does not exist: the temporary file cannot be made.
    ListForSave opened = OpenListForSave(tree_.Path("missing/Mp3List.txt"));
    ASSERT_EQ(opened.message, "");
    const SaveCdResult r = SaveCd(opened, {"CD", Drive(), Files({{"a.mp3", ""}})});
    EXPECT_EQ(r.outcome, SaveCdOutcome::Failed);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_NE(r.messages[0].find("missing"), std::string::npos) << r.messages[0];
    EXPECT_EQ(opened.list.Lines(), Lines{"\\Mp3 List"});
}

// Something that is no readable list stands where the list should be. The
// tests run as root, so permissions cannot make a file unreadable; a folder
// and a named pipe can.
TEST_F(SaveCdTest, AListThatCannotBeReadIsNeverReplaced) {
    const struct {
        const char* what;
        std::function<void(const fs::path&)> make;
        const char* cause;
        fs::file_type type;
    } cases[] = {
        {"folder", [](const fs::path& p) { fs::create_directories(p / "inside"); }, "folder",
         fs::file_type::directory},
        {"pipe", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }, "named pipe",
         fs::file_type::fifo},
    };
    for (const auto& c : cases) {
        fs::remove_all(ListPath());
        c.make(ListPath());
        ListForSave opened = OpenListForSave(ListPath());
        EXPECT_NE(opened.message.find(ListPath().string()), std::string::npos) << opened.message;
        EXPECT_NE(opened.message.find(c.cause), std::string::npos) << opened.message;
        // A caller that saves anyway is refused with the same message.
        const SaveCdResult r = SaveCd(opened, {"CD", Drive(), Files({{"a.mp3", ""}})});
        EXPECT_EQ(r.outcome, SaveCdOutcome::Failed) << c.what;
        EXPECT_EQ(r.messages, Lines{opened.message}) << c.what;
        EXPECT_EQ(fs::symlink_status(ListPath()).type(), c.type) << c.what;
    }
}

}  // namespace
}  // namespace mv
