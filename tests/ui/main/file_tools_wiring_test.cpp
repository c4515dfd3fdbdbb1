// The tag panel and the rename buttons as the main window wires them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <filesystem>

#include "filetools/windows/tag_panel_handlers.h"
#include "support/core/tag_fixture.h"
#include "ui/main/file_browser.h"
#include "ui/main/main_window_support.h"
#include "ui/main/tf_princ.h"

namespace mv {

namespace {

namespace fs = std::filesystem;
using mv::test::TagBlock;
using uitest::L;

class FileToolsWiring : public ::testing::Test {
  protected:
    void SetUp() override {
        uitest::App();
        if (!mv::test::ToneAudio()) GTEST_SKIP() << "lame or sox missing: no MP3 to tag";
        drives.roots = {tree.Folder("drive")};
        window = std::make_unique<TfPrinc>(dialogs, drives, tree.Root());
        window->resize(TfPrinc::kDesignWidth, TfPrinc::kDesignHeight);
        window->CaptureLayout();
        window->show();
    }
    std::string Mp3(const std::string& rel, const std::optional<std::string>& tag) {
        EXPECT_TRUE(mv::test::WriteMp3(tree.Path("drive/" + rel), tag));
        return tree.Path("drive/" + rel);
    }
    void AddToPlaylist(const std::string& path) {
        window->playlist.push_back({fs::path(path).stem().string(), path});
        uitest::Find<QListWidget>(*window, "lPlayList")->addItem(L("entry"));
    }

    uitest::TempTree tree;
    ScriptedDialogs dialogs;
    uitest::FolderDrives drives;
    std::unique_ptr<TfPrinc> window;
};

TEST_F(FileToolsWiring, RightClickOpensThePanelAndAComparisonHidesIt) {
    const std::string song = Mp3("Music/song.mp3", TagBlock("Title", "Artist"));
    window->Browser().SetFolder(tree.Path("drive/Music"));
    window->flContextPopup(uitest::Find<QListWidget>(*window, "fl")
                               ->visualItemRect(uitest::Find<QListWidget>(*window, "fl")->item(0))
                               .center());
    EXPECT_TRUE(uitest::Find<QFrame>(*window, "pTag")->isVisible());
    EXPECT_EQ(uitest::Find<QLineEdit>(*window, "eArtist")->text(), L("Artist"));
    EXPECT_EQ(window->TagPanel().TagFile(), song);

    // A comparison starting hides the panel.
    uitest::Find<QAction>(*window, "bFolder")->trigger();
    EXPECT_FALSE(uitest::Find<QFrame>(*window, "pTag")->isVisible());
}

// Rename All through the button: the browser walks the folders and stays on
// the last, the file list keeps the old names, renamed playlist entries go.
TEST_F(FileToolsWiring, RenameAllWalksTheBrowserAndPurgesThePlaylist) {
    const std::string top = Mp3("Music/a.mp3", TagBlock("One", "X"));
    const std::string kept = Mp3("Music/b.mp3", std::nullopt);
    Mp3("Music/Sub/c.mp3", TagBlock("Two", "Y"));
    AddToPlaylist(top);
    AddToPlaylist(kept);
    window->Browser().SetFolder(tree.Path("drive/Music"));
    dialogs.QueueText(L("%2 - %1"));
    dialogs.QueueReply(true);
    // The preview table opens modal: its rows are read and Rename pressed once it shows.
    int previewRows = -1;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* preview = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (preview == nullptr) return;
        answer.stop();
        previewRows = preview->findChild<QTableWidget*>(L("tPreview"))->rowCount();
        preview->findChild<QPushButton*>(L("bPreviewRename"))->click();
    });
    answer.start(10);
    uitest::Find<QPushButton>(*window, "bRenameAll")->click();
    EXPECT_EQ(previewRows, 3);  // a.mp3, b.mp3 (no tag) and Sub/c.mp3
    EXPECT_TRUE(fs::exists(tree.Path("drive/Music/X - One.Mp3")));
    EXPECT_TRUE(fs::exists(tree.Path("drive/Music/Sub/Y - Two.Mp3")));
    EXPECT_EQ(window->Browser().Folder(), tree.Path("drive/Music/Sub"));
    EXPECT_EQ(uitest::Find<QListWidget>(*window, "fl")->item(0)->text(), L("c.mp3"));
    ASSERT_EQ(window->playlist.size(), 1u);
    EXPECT_EQ(window->playlist[0].path, kept);
    EXPECT_EQ(uitest::Find<QListWidget>(*window, "lPlayList")->count(), 1);

    // File > Undo last rename, enabled as the menu opens, takes the batch back.
    QAction* undo = uitest::Find<QAction>(*window, "tmiUndoRename");
    EXPECT_FALSE(undo->isEnabled());
    Q_EMIT uitest::Find<QMenu>(*window, "File1")->aboutToShow();
    ASSERT_TRUE(undo->isEnabled());
    undo->trigger();
    EXPECT_TRUE(fs::exists(top));
    EXPECT_TRUE(fs::exists(tree.Path("drive/Music/Sub/c.mp3")));
    EXPECT_TRUE(dialogs.Texts().back().startsWith(L("2 of 2 files renamed back.")));
    Q_EMIT uitest::Find<QMenu>(*window, "File1")->aboutToShow();
    EXPECT_FALSE(undo->isEnabled());
}

}  // namespace

}  // namespace mv
