#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>

#include "dupes/windows/result_list_handlers.h"
#include "filetools/windows/tag_panel_handlers.h"
#include "player/windows/playback_handlers.h"
#include "player/windows/tf_eq.h"
#include "ui/main/file_browser.h"
#include "ui/main/main_window_support.h"
#include "ui/main/tf_princ.h"

namespace mv {

namespace {

using uitest::L;

using uitest::RecordingPlayback;

QStringList Rows(const QListWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->count(); ++i) rows << list->item(i)->text().trimmed();
    return rows;
}

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        uitest::App();
        music = tree.Folder("drive/Music");
        tree.File("drive/Music/b song.mp3");
        tree.File("drive/Music/A Song.MP3");
        tree.File("drive/Music/.hidden.mp3");
        tree.File("drive/Music/other.wma");
        tree.Folder("drive/Music/folder.mp3");
        tree.Folder("drive/Music/Sub");
        tree.Folder("drive/Music/.cache");
        drives.roots = {tree.Path("drive"), tree.Folder("second")};
        window = std::make_unique<TfPrinc>(dialogs, drives, tree.Root());
        window->SetPlayer(&playback);
    }
    uitest::TempTree tree;
    ScriptedDialogs dialogs;
    uitest::FolderDrives drives;
    RecordingPlayback playback;
    std::string music;
    std::unique_ptr<TfPrinc> window;
};

TEST_F(MainWindowTest, StartsAtTheDesignStateWithNamedControls) {
    EXPECT_EQ(window->windowTitle(), L("Mp3 Vandrel"));
    EXPECT_EQ(window->findChild<QLineEdit*>(L("ePerc"))->text(), L("80"));
    EXPECT_EQ(uitest::Find<QLineEdit>(*window, "ePerc")->maxLength(), 2);
    EXPECT_EQ(uitest::Find<QLineEdit>(*window, "eExt")->maxLength(), 4);
    EXPECT_FALSE(uitest::Find<QFrame>(*window, "pTag")->isVisibleTo(window.get()));
    for (QAction* a :
         {uitest::Find<QAction>(*window, "bDel"), uitest::Find<QAction>(*window, "bRemove"),
          uitest::Find<QAction>(*window, "bDelete"), uitest::Find<QAction>(*window, "bSave")}) {
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    }
    EXPECT_EQ(uitest::Find<QAction>(*window, "bCompare")->shortcut(), QKeySequence(L("Ctrl+L")));
    EXPECT_EQ(uitest::Find<QAction>(*window, "bFolder")->shortcut(), QKeySequence(L("Ctrl+F")));
    EXPECT_EQ(uitest::Find<QAction>(*window, "bClose")->shortcut(), QKeySequence(L("F10")));
    EXPECT_TRUE(uitest::Find<QAction>(*window, "cbRec")->isChecked() &&
                uitest::Find<QAction>(*window, "cbMinimize")->isChecked());
    EXPECT_TRUE(uitest::Find<QLabel>(*window, "lVersion")->text().contains(L("1.52")));
    // The browser opened the first drive's root, since the current folder is on none.
    EXPECT_EQ(window->Browser().Folder(), tree.Path("drive"));
}

TEST_F(MainWindowTest, ExtensionChangeRewritesMaskCaptionsAndRenameButtons) {
    window->Browser().SetFolder(music);
    EXPECT_EQ(Rows(uitest::Find<QListWidget>(*window, "fl")),
              (QStringList{L("A Song.MP3"), L("b song.mp3")}));

    uitest::Find<QLineEdit>(*window, "eExt")->setText(L("wma"));
    EXPECT_EQ(Rows(uitest::Find<QListWidget>(*window, "fl")), QStringList{L("other.wma")});
    EXPECT_EQ(window->windowTitle(), L("wma Vandrel"));
    EXPECT_EQ(uitest::Find<QAction>(*window, "bMake")->text(), L("Find all wma on this drive"));
    EXPECT_EQ(uitest::Find<QLabel>(*window, "Label3")->text(),
              L("Min % to be equal between wma names:"));
    EXPECT_EQ(uitest::Find<QAction>(*window, "bLStats")->text(), L("Edit wma List"));
    EXPECT_FALSE(uitest::Find<QPushButton>(*window, "bRename")->isEnabled());
    EXPECT_FALSE(uitest::Find<QPushButton>(*window, "bRenameAll")->isEnabled());
    EXPECT_FALSE(uitest::Find<QAction>(*window, "bPlaylistAdd")->isEnabled());
    // Not MP3: no play on double click, no tag on right click.
    uitest::Find<QListWidget>(*window, "fl")->setCurrentRow(0);
    window->flDblClick();
    window->flContextPopup(uitest::Find<QListWidget>(*window, "fl")
                               ->visualItemRect(uitest::Find<QListWidget>(*window, "fl")->item(0))
                               .center());
    EXPECT_TRUE(playback.played.empty());
    EXPECT_EQ(window->TagPanel().TagFile(), "");
    EXPECT_FALSE(uitest::Find<QFrame>(*window, "pTag")->isVisibleTo(window.get()));

    uitest::Find<QLineEdit>(*window, "eExt")->setText(L("mP3"));
    EXPECT_EQ(window->windowTitle(), L("mP3 Vandrel"));
    EXPECT_TRUE(uitest::Find<QPushButton>(*window, "bRename")->isEnabled());
    EXPECT_TRUE(uitest::Find<QAction>(*window, "bPlaylistAdd")->isEnabled());
    uitest::Find<QListWidget>(*window, "fl")->setCurrentRow(1);
    window->flDblClick();
    EXPECT_EQ(playback.played, std::vector<std::string>{music + "/b song.mp3"});
}

TEST_F(MainWindowTest, FileListRightClickSelectsTheEntryAndOpensItsTag) {
    window->resize(TfPrinc::kDesignWidth, TfPrinc::kDesignHeight);
    window->CaptureLayout();
    window->show();
    tree.File("drive/Music/b song.mp3", 200);  // long enough to hold a tag
    window->Browser().SetFolder(music);
    window->flContextPopup(uitest::Find<QListWidget>(*window, "fl")
                               ->visualItemRect(uitest::Find<QListWidget>(*window, "fl")->item(1))
                               .center());
    EXPECT_EQ(window->TagPanel().TagFile(), music + "/b song.mp3");
    EXPECT_TRUE(uitest::Find<QFrame>(*window, "pTag")->isVisible());
    uitest::Find<QPushButton>(*window, "bCancelTag")->click();
    window->flContextPopup(
        QPoint(5, uitest::Find<QListWidget>(*window, "fl")->viewport()->height() - 2));
    EXPECT_TRUE(uitest::Find<QListWidget>(*window, "fl")->selectedItems().isEmpty());
    EXPECT_FALSE(uitest::Find<QFrame>(*window, "pTag")->isVisible());
    EXPECT_TRUE(dialogs.Texts().isEmpty());
}

TEST_F(MainWindowTest, BrowserShowsThePathAndFollowsDrivesAndDoubleClicks) {
    FileBrowser& browser = window->Browser();
    ASSERT_TRUE(browser.SetFolder(music));
    EXPECT_EQ(Rows(uitest::Find<QListWidget>(*window, "dl")),
              (QStringList{QString::fromStdString(tree.Path("drive")), L("Music"), L("folder.mp3"),
                           L("Sub")}));
    EXPECT_EQ(uitest::Find<QComboBox>(*window, "dc")->currentText().toStdString(),
              tree.Path("drive"));
    EXPECT_FALSE(browser.SetFolder(tree.Path("drive/none")));
    EXPECT_EQ(browser.Folder(), music);

    Q_EMIT uitest::Find<QListWidget>(*window, "dl")
        ->itemDoubleClicked(uitest::Find<QListWidget>(*window, "dl")->item(3));
    EXPECT_EQ(browser.Folder(), music + "/Sub");
    EXPECT_EQ(uitest::Find<QListWidget>(*window, "fl")->count(), 0);

    // Another drive and back: each drive keeps the folder it was left in.
    uitest::Find<QComboBox>(*window, "dc")->setCurrentIndex(1);
    EXPECT_EQ(browser.Folder(), tree.Path("second"));
    uitest::Find<QComboBox>(*window, "dc")->setCurrentIndex(0);
    EXPECT_EQ(browser.Folder(), music + "/Sub");
}

TEST_F(MainWindowTest, RefreshShowsThePresentDiskOnTheSameFolder) {
    window->Browser().SetFolder(music);
    tree.File("drive/Music/c new.mp3");
    tree.Folder("drive/Music/New");
    window->brefreshClick();
    EXPECT_EQ(window->Browser().Folder(), music);
    EXPECT_EQ(uitest::Find<QListWidget>(*window, "fl")->count(), 3);
    EXPECT_TRUE(Rows(uitest::Find<QListWidget>(*window, "dl")).contains(L("New")));

    // A folder removed behind the program's back: the browser falls back to its parent.
    window->Browser().SetFolder(music + "/New");
    std::filesystem::remove(music + "/New");
    window->brefreshClick();
    EXPECT_EQ(window->Browser().Folder(), music);
}

TEST_F(MainWindowTest, CloseQueryDecidesWhetherTheWindowCloses) {
    window->show();
    int asked = 0;
    window->closeQuery = [&asked] {
        ++asked;
        return false;
    };
    EXPECT_FALSE(window->close());
    EXPECT_EQ(asked, 1);
    window->closeQuery = nullptr;
    EXPECT_TRUE(window->close());
}

}  // namespace

namespace {

TEST_F(MainWindowTest, CaptionAndTooltipFollowThePointer) {
    window->resize(TfPrinc::kDesignWidth, TfPrinc::kDesignHeight);
    window->CaptureLayout();
    window->show();
    window->Results().Model().Append({{"/music/Long Name.mp3", "/CD1/Long Name.mp3",
                                       mv::RowKind::FileOnDisk, mv::RowKind::ListLocation}});
    auto move = [](QWidget* target, QPoint pos) {
        QMouseEvent e(QEvent::MouseMove, QPointF(pos), target->mapToGlobal(QPointF(pos)),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &e);
    };
    QWidget* viewport = uitest::Find<QListView>(*window, "lbFile")->viewport();
    move(viewport, uitest::Find<QListView>(*window, "lbFile")
                       ->visualRect(window->Results().Model().index(0, 1))
                       .center());
    EXPECT_EQ(window->windowTitle(), L("Mp3 Vandrel - /CD1/Long Name.mp3"));
    EXPECT_EQ(uitest::Find<QListView>(*window, "lbFile")->toolTip(), L("/CD1/Long Name.mp3"));

    move(uitest::Find<QListView>(*window, "lbCompRes")->viewport(),
         QPoint(5, viewport->height() - 3));  // below the rows
    EXPECT_EQ(window->windowTitle(), L("Mp3 Vandrel - /CD1/Long Name.mp3"));
    EXPECT_TRUE(uitest::Find<QListView>(*window, "lbCompRes")->toolTip().isEmpty());

    move(uitest::Find<QPushButton>(*window, "bCancel"), QPoint(3, 3));
    EXPECT_EQ(window->windowTitle(), L("Stop current comparison"));

    window->SetPlaybackStatus(L("Paused"));
    uitest::Find<QLineEdit>(*window, "eExt")->setText(L("wma"));
    QWidget* client = window->centralWidget();
    move(client, QPoint(client->width() - 2, client->height() - 2));  // no control there
    EXPECT_EQ(window->windowTitle(), L("wma Vandrel - Paused"));
}

}  // namespace

namespace {

// The menus, the tray items and the music panel reach the player's handlers.
TEST_F(MainWindowTest, PlaylistMenuTrayItemsAndPanelDriveThePlayer) {
    window->Browser().SetFolder(music);
    uitest::Find<QAction>(*window, "tmiRecurse")->setChecked(false);
    uitest::Find<QAction>(*window, "bPlaylistAdd")->trigger();
    ASSERT_EQ(window->playlist.size(), 2u);
    EXPECT_EQ(uitest::Find<QListWidget>(*window, "lPlayList")->count(), 2);
    EXPECT_EQ(window->Browser().Folder(), music);

    uitest::Find<QCheckBox>(*window, "cbShuffle")->setChecked(false);  // checked in the design
    uitest::Find<QListWidget>(*window, "lPlayList")->setCurrentRow(0);
    uitest::Find<QAction>(*window, "Nextsong1")->trigger();
    EXPECT_EQ(playback.played, std::vector<std::string>{window->playlist[1].path});
    EXPECT_TRUE(uitest::Find<QPushButton>(*window, "bStop")->isEnabled());
    uitest::Find<QAction>(*window, "Stopmusic1")->trigger();
    EXPECT_FALSE(uitest::Find<QPushButton>(*window, "bStop")->isEnabled());

    window->Playback().PlayerStateChanged(1);
    EXPECT_EQ(window->windowTitle(), L("Mp3 Vandrel - Playing - b song.mp3"));

    // Double-click on the file list plays the file and keeps one entry for it.
    uitest::Find<QListWidget>(*window, "fl")->setCurrentRow(0);
    window->flDblClick();
    EXPECT_EQ(playback.played.back(), music + "/A Song.MP3");
    EXPECT_EQ(window->playlist.size(), 2u);

    uitest::Find<QAction>(*window, "bClearPlaylist")->trigger();
    EXPECT_TRUE(window->playlist.empty());
    EXPECT_EQ(uitest::Find<QListWidget>(*window, "lPlayList")->count(), 0);
    // While busy the menu does nothing.
    window->EnterBusyState();
    uitest::Find<QAction>(*window, "bPlaylistAdd")->setEnabled(true);
    uitest::Find<QAction>(*window, "bPlaylistAdd")->trigger();
    EXPECT_TRUE(window->playlist.empty());
    window->LeaveBusyState();
}

}  // namespace

}  // namespace mv
