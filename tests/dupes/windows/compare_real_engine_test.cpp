#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>

#include "compare_widgets.h"
#include "support/core/temp_tree.h"

namespace mv {

namespace {

using dupestest::L;

// The comparison commands on the real compare engine and folder listing.
class RealEngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        music = tree.Folder("drive/Music");
        w.folder = music;
        w.MakeCommands(dupestest::RealBackend());
    }
    const std::vector<mv::ResultRow>& Rows() { return w.handlers->Model().rows(); }

    mv::test::TempTree tree;
    dupestest::CompareWidgetsFixture w{tree.Root()};
    ScriptedDialogs& dialogs = w.dialogs;
    std::string music;
};

TEST_F(RealEngineTest, FindDupesPutsTheSmallerFileLeftAcrossSubfolders) {
    tree.File("drive/Music/Artist - Song.mp3", "a bigger file");
    tree.File("drive/Music/Sub/artist_song.MP3", "small");
    tree.File("drive/Music/Other tune.mp3", "x");
    w.commands->bFolderClick();
    ASSERT_EQ(Rows().size(), 1u);
    EXPECT_EQ(Rows()[0].left, music + "/Sub/artist_song.MP3");
    EXPECT_EQ(Rows()[0].right, music + "/Artist - Song.mp3");
    EXPECT_TRUE(w.lRes->text().startsWith(L("1 result in ")));
    EXPECT_EQ(dialogs.Texts(), QStringList{L("Comparison finished")});

    // Without recursion only the browser folder's own files are compared.
    dialogs.ClearHistory();
    w.cbRec->setChecked(false);
    w.commands->bFolderClick();
    EXPECT_TRUE(Rows().empty());
    EXPECT_TRUE(w.lRes->text().startsWith(L("0 result in ")));
}

TEST_F(RealEngineTest, CompareWithListNamesTheListLocation) {
    tree.File("Mp3List.txt", "\\Mp3 List\r\n\\CD1\r\n/Rock\r\nSong A.mp3\r\n..\r\nSong B.mp3\r\n");
    tree.File("drive/Music/Song B.mp3");
    w.commands->bCompareClick();
    ASSERT_EQ(Rows().size(), 1u);
    EXPECT_EQ(Rows()[0].right, "/CD1/Song B.mp3");
    EXPECT_EQ(Rows()[0].rightKind, mv::RowKind::ListLocation);
    EXPECT_EQ(dialogs.Texts(), QStringList{L("Comparison finished")});
}

TEST_F(RealEngineTest, EmptyFolderAndMissingListAreReported) {
    w.cbRec->setChecked(false);
    w.commands->bFolderClick();
    EXPECT_EQ(dialogs.Texts(), QStringList{L("This Directory contains no Mp3s!")});
    EXPECT_TRUE(w.lRes->text().isEmpty());
    EXPECT_TRUE(w.bDel->isEnabled());

    dialogs.ClearHistory();
    tree.File("drive/Music/Song.mp3");
    w.commands->bCompareClick();
    EXPECT_EQ(dialogs.Texts(),
              (QStringList{L("You don't have any list!!"), L("Comparison Cancelled")}));
    EXPECT_TRUE(w.lRes->text().startsWith(L("0 result in ")));
}

}  // namespace

}  // namespace mv
