#include <gtest/gtest.h>

#include <QAction>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "catalogue/windows/drive_scan_commands.h"
#include "dupes/windows/result_list_handlers.h"
#include "ui/main/file_browser.h"
#include "ui/main/main_window_support.h"

namespace mv {

namespace {

namespace fs = std::filesystem;
using uitest::L;

// The drive scan and saving as the user reaches them: a temporary folder
// stands in for the CD's drive, the program folder holds Mp3List.txt.
class DriveScanWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        uitest::App();
        cd = tree.Folder("cd");
        home = tree.Folder("home");
        tree.File("cd/a.mp3");
        tree.File("cd/Music/b.mp3");
        tree.File("cd/Music/c.mp3");
        tree.File("cd/Text/readme.txt");
        drives.roots = {cd};
        window = std::make_unique<TfPrinc>(dialogs, drives, home);
        window->Browser().OpenDriveRootOf(cd);
    }
    std::string ListBytes() const {
        std::ifstream in(fs::path(home) / "Mp3List.txt", std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // Saves under `name`; `overwrite` answers the question a taken name asks.
    void Save(const QString& name, std::optional<bool> overwrite = std::nullopt) {
        dialogs.QueueText(name);
        if (overwrite) dialogs.QueueReply(*overwrite);
        uitest::Find<QAction>(*window, "bSave")->trigger();
    }

    uitest::TempTree tree;
    ScriptedDialogs dialogs;
    uitest::FolderDrives drives;
    std::unique_ptr<TfPrinc> window;
    std::string cd, home;
};

TEST_F(DriveScanWindowTest, ScanListsTitlesAndFoldersThenSavesTheCd) {
    EXPECT_FALSE(uitest::Find<QAction>(*window, "bSave")->isEnabled());
    uitest::Find<QAction>(*window, "bMake")->trigger();
    const auto& rows = window->Results().Model().rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].left, "a.mp3");
    EXPECT_EQ(rows[0].right, cd);
    EXPECT_EQ(rows[2].right, cd + "/Music");
    EXPECT_EQ(rows[1].leftKind, mv::RowKind::ScannedTitle);
    EXPECT_EQ(window->foundFiles,
              (std::vector<std::string>{cd + "/a.mp3", cd + "/Music/b.mp3", cd + "/Music/c.mp3"}));
    EXPECT_EQ(uitest::Find<QLabel>(*window, "lList")->text(), L("List of file found"));
    EXPECT_EQ(uitest::Find<QLabel>(*window, "lRef")->text(), L("File's location"));
    EXPECT_EQ(uitest::Find<QLabel>(*window, "lRes")->text(), L("3 files found"));
    EXPECT_TRUE(uitest::Find<QAction>(*window, "bSave")->isEnabled());
    EXPECT_TRUE(uitest::Find<QPushButton>(*window, "bCancel")->isEnabled());
    EXPECT_FALSE(window->IsBusy());

    // An empty name is asked again; the CD is appended under the name as typed.
    dialogs.QueueText(QString());
    Save(L("Disc 1"));
    EXPECT_EQ(ListBytes(), "\\Mp3 List\r\n\\Disc 1\r\na.mp3\r\n/Music\r\nb.mp3\r\nc.mp3\r\n..\r\n");
    ASSERT_EQ(dialogs.History().size(), 2u);
    EXPECT_EQ(dialogs.History()[1].caption, L("CD Name"));
    EXPECT_EQ(dialogs.History()[1].text, L("What is your cd name?"));
    EXPECT_TRUE(uitest::Find<QAction>(*window, "bSave")
                    ->isEnabled());  // the same files can go under another name
}

TEST_F(DriveScanWindowTest, AnExistingNameIsOverwrittenOnlyAfterAYes) {
    tree.File("home/Mp3List.txt", "\\Mp3 List\r\n\\Disc 1\r\nold.mp3\r\n\\Other\r\nx.mp3\r\n");
    uitest::Find<QAction>(*window, "bMake")->trigger();

    Save(L("disc 1"), false);
    EXPECT_EQ(dialogs.Texts().last(),
              L("This name already exist in your list. Overwrite? Pressing no will not add "
                "anything."));
    EXPECT_EQ(dialogs.History().back().defaultAnswer, DefaultAnswer::Cautious);
    EXPECT_EQ(ListBytes(), "\\Mp3 List\r\n\\Disc 1\r\nold.mp3\r\n\\Other\r\nx.mp3\r\n");

    Save(L("disc 1"), true);
    EXPECT_EQ(ListBytes(),
              "\\Mp3 List\r\n\\Other\r\nx.mp3\r\n\\disc 1\r\na.mp3\r\n/Music\r\nb.mp3\r\nc.mp3\r\n"
              "..\r\n");

    // Cancel in the name box writes nothing.
    const std::string before = ListBytes();
    dialogs.QueueText(std::nullopt);
    uitest::Find<QAction>(*window, "bSave")->trigger();
    EXPECT_EQ(ListBytes(), before);
}

// Rows the user removed after the scan are not stored.
TEST_F(DriveScanWindowTest, SavingStoresWhatTheListsHoldNow) {
    uitest::Find<QAction>(*window, "bMake")->trigger();
    uitest::Find<QListView>(*window, "lbCompRes")
        ->selectionModel()
        ->select(window->Results().Model().index(0, 0), QItemSelectionModel::Select);
    window->Results().bRemoveClick();  // the Delete key
    Save(L("Two"));
    EXPECT_EQ(ListBytes(), "\\Mp3 List\r\n\\Two\r\n/Music\r\nb.mp3\r\nc.mp3\r\n..\r\n");
}

// A list that is there but cannot be read is never replaced.
TEST_F(DriveScanWindowTest, AnUnreadableListIsNamedAndKept) {
    fs::create_directory(fs::path(home) / "Mp3List.txt");
    uitest::Find<QAction>(*window, "bMake")->trigger();
    uitest::Find<QAction>(*window, "bSave")->trigger();  // no name is asked
    ASSERT_EQ(dialogs.Texts().size(), 1);
    EXPECT_TRUE(dialogs.Texts()[0].contains(L("Mp3List.txt")));
    EXPECT_TRUE(fs::is_directory(fs::path(home) / "Mp3List.txt"));
}

}  // namespace

}  // namespace mv
