#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>

#include "dupes/windows/result_list_handlers.h"
#include "ui/main/file_browser.h"
#include "ui/main/main_window_support.h"
#include "ui/main/tf_princ.h"

namespace {

using uitest::L;

// The window's commands on the real compare engine and folder listing.
class RealEngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        uitest::App();
        drives.roots = {tree.Path("drive")};
        music = tree.Folder("drive/Music");
        window = std::make_unique<TfPrinc>(dialogs, drives, tree.Root());
        window->hideToTray = [] {};
        window->showFromTray = [] {};
        window->Browser().SetFolder(music);
    }
    const std::vector<mv::ResultRow>& Rows() { return window->Results().Model().rows(); }

    uitest::TempTree tree;
    ScriptedDialogs dialogs;
    uitest::FolderDrives drives;
    std::string music;
    std::unique_ptr<TfPrinc> window;
};

TEST_F(RealEngineTest, FindDupesPutsTheSmallerFileLeftAcrossSubfolders) {
    tree.File("drive/Music/Artist - Song.mp3", "a bigger file");
    tree.File("drive/Music/Sub/artist_song.MP3", "small");
    tree.File("drive/Music/Other tune.mp3", "x");
    window->bFolder->trigger();
    ASSERT_EQ(Rows().size(), 1u);
    EXPECT_EQ(Rows()[0].left, music + "/Sub/artist_song.MP3");
    EXPECT_EQ(Rows()[0].right, music + "/Artist - Song.mp3");
    EXPECT_TRUE(window->lRes->text().startsWith(L("1 result in ")));
    EXPECT_EQ(dialogs.Texts(), QStringList{L("Comparison finished")});

    // Without recursion only the browser folder's own files are compared.
    dialogs.ClearHistory();
    window->cbRec->setChecked(false);
    window->bFolder->trigger();
    EXPECT_TRUE(Rows().empty());
    EXPECT_TRUE(window->lRes->text().startsWith(L("0 result in ")));
}

TEST_F(RealEngineTest, CompareWithListNamesTheListLocation) {
    tree.File("Mp3List.txt", "\\Mp3 List\r\n\\CD1\r\n/Rock\r\nSong A.mp3\r\n..\r\nSong B.mp3\r\n");
    tree.File("drive/Music/Song B.mp3");
    window->bCompare->trigger();
    ASSERT_EQ(Rows().size(), 1u);
    EXPECT_EQ(Rows()[0].right, "/CD1/Song B.mp3");
    EXPECT_EQ(Rows()[0].rightKind, mv::RowKind::ListLocation);
    EXPECT_EQ(dialogs.Texts(), QStringList{L("Comparison finished")});
}

TEST_F(RealEngineTest, EmptyFolderAndMissingListAreReported) {
    window->cbRec->setChecked(false);
    window->bFolder->trigger();
    EXPECT_EQ(dialogs.Texts(), QStringList{L("This Directory contains no Mp3s!")});
    EXPECT_TRUE(window->lRes->text().isEmpty());
    EXPECT_TRUE(window->bDel->isEnabled());

    dialogs.ClearHistory();
    tree.File("drive/Music/Song.mp3");
    window->bCompare->trigger();
    EXPECT_EQ(dialogs.Texts(),
              (QStringList{L("You don't have any list!!"), L("Comparison Cancelled")}));
    EXPECT_TRUE(window->lRes->text().startsWith(L("0 result in ")));
}

}  // namespace
