// Rename All's table before renaming, the journal of every batch and Undo
// last rename, driven on the rename commands with a stand-in browser.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTableWidget>
#include <QWidget>
#include <filesystem>
#include <fstream>

#include "filetools/rename_journal.h"
#include "filetools/windows/rename_commands.h"
#include "filetools/windows/rename_preview_dialog.h"
#include "mutagen_files.h"
#include "rename_fixture.h"

namespace mv {

namespace {

namespace fs = std::filesystem;
using mv::test::TagBlock;

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class RenamePreviewUndo : public mv::test::RenameFixture {
  protected:
    void SetUp() override {
        if (!mv::test::ToneAudio()) GTEST_SKIP() << "lame or sox missing: no MP3 to rename";
        MakeCommands("mp3", [this](RenameHooks& hooks) {
            hooks.naming = [this] { return naming; };
            hooks.confirmPreview = [this](const mv::RenamePreview& shown) {
                preview = shown;
                if (beforeAnswer) beforeAnswer(shown);
                return answer;
            };
            hooks.refreshBrowser = [this] { ++refreshes; };
            hooks.journalFile = journal = tree.Path("RenameJournal.txt");
        });
        ASSERT_TRUE(mv::test::WriteMp3(tree.Path("music/a.mp3"), TagBlock("One", "X")));
        ASSERT_TRUE(mv::test::WriteMp3(tree.Path("music/b.mp3"), std::nullopt));
        ASSERT_TRUE(mv::test::WriteMp3(tree.Path("music/Sub/c.mp3"), TagBlock("Two", "Y")));
    }
    void RenameAll() {
        folder = tree.Path("music");  // the browser back where each batch starts
        dialogs.QueueText(U("%2 - %1"));
        dialogs.QueueReply(true);  // with the subfolders
        commands->bRenameAllClick();
    }
    bool Has(const std::string& rel) const { return fs::exists(tree.Path(rel)); }

    std::string journal;
    mv::NamingOptions naming;
    bool answer = true;
    std::function<void(const mv::RenamePreview&)> beforeAnswer;
    std::optional<mv::RenamePreview> preview;
    int refreshes = 0;
};

TEST_F(RenamePreviewUndo, CancelChangesNothingAndRenameDoesExactlyTheTable) {
    answer = false;
    RenameAll();
    ASSERT_TRUE(preview);
    EXPECT_TRUE(Has("music/a.mp3") && Has("music/b.mp3") && Has("music/Sub/c.mp3"));
    EXPECT_FALSE(fs::exists(journal));
    EXPECT_EQ(dialogs.History().size(), 2u);  // the model and the subfolders: no closing message
    EXPECT_FALSE(commands->CanUndo());

    // The table as the dialog shows it: names within the browser folder, why b keeps its name.
    RenamePreviewDialog dialog(*preview, &window);
    QTableWidget* table = dialog.Table();
    ASSERT_EQ(table->rowCount(), 3);
    std::map<QString, std::pair<QString, QString>> rows;
    for (int r = 0; r < 3; ++r) {
        rows[table->item(r, 0)->text()] = {table->item(r, 1)->text(), table->item(r, 2)->text()};
    }
    EXPECT_EQ(rows[U("a.mp3")], std::make_pair(U("X - One.Mp3"), QString()));
    EXPECT_EQ(rows[U("Sub/c.mp3")], std::make_pair(U("Y - Two.Mp3"), QString()));
    EXPECT_FALSE(rows[U("b.mp3")].second.isEmpty());
    EXPECT_TRUE(dialog.Counts()->text().contains(U("2 rename, 1 no-tag")))
        << dialog.Counts()->text().toStdString();

    answer = true;
    RenameAll();
    EXPECT_TRUE(Has("music/X - One.Mp3") && Has("music/Sub/Y - Two.Mp3") && Has("music/b.mp3"));
    ASSERT_EQ(commands->LastOutcomes().size(), preview->rows.size());
    for (std::size_t i = 0; i < preview->rows.size(); ++i) {
        EXPECT_EQ(commands->LastOutcomes()[i].newPath, preview->rows[i].newPath);
    }
    EXPECT_TRUE(dialogs.Texts().back().startsWith(U("2 files renamed.\n\n")));
    EXPECT_TRUE(commands->CanUndo());
}

// Undo takes the last batch first (a Rename is a batch too), reports a file
// that is gone since, and refreshes the browser; then there is nothing left.
TEST_F(RenamePreviewUndo, UndoFromTheMenuRenamesTheLastBatchBack) {
    RenameAll();
    ASSERT_TRUE(Has("music/X - One.Mp3"));
    selected = tree.Path("music/b.mp3");
    ASSERT_TRUE(mv::test::WriteMp3(selected, TagBlock("Three", "Z")));
    dialogs.QueueText(U("%1"));
    commands->bRenameClick();
    ASSERT_TRUE(Has("music/Three"));

    commands->tmiUndoRenameClick();
    EXPECT_TRUE(Has("music/b.mp3") && !Has("music/Three"));
    EXPECT_TRUE(Has("music/X - One.Mp3"));  // the batch before waits for the next undo
    EXPECT_TRUE(dialogs.Texts().back().startsWith(U("1 of 1 files renamed back.\n")));
    EXPECT_EQ(refreshes, 1);

    fs::remove(tree.Path("music/Sub/Y - Two.Mp3"));
    ASSERT_TRUE(commands->CanUndo());
    commands->tmiUndoRenameClick();
    EXPECT_TRUE(Has("music/a.mp3") && !Has("music/X - One.Mp3"));
    const QString undone = dialogs.Texts().back();
    EXPECT_TRUE(undone.startsWith(U("1 of 2 files renamed back.\n"))) << undone.toStdString();
    EXPECT_TRUE(undone.contains(U("Y - Two.Mp3: stays:"))) << undone.toStdString();
    EXPECT_FALSE(commands->CanUndo());

    commands->tmiUndoRenameClick();
    EXPECT_EQ(dialogs.Texts().back(), U("There is no batch of renames left to undo."));
}

// A file that takes a new name between the table and the renaming is never
// replaced; the closing message says why the file kept its name.
TEST_F(RenamePreviewUndo, ANameTakenAfterThePreviewIsReportedAndKept) {
    beforeAnswer = [this](const mv::RenamePreview&) {
        std::ofstream(tree.Path("music/X - One.Mp3")) << "someone else's";
    };
    RenameAll();
    EXPECT_TRUE(Has("music/a.mp3"));
    EXPECT_EQ(mv::test::FileBytes(tree.Path("music/X - One.Mp3")), "someone else's");
    EXPECT_TRUE(Has("music/Sub/Y - Two.Mp3"));
    const QString summary = dialogs.Texts().back();
    EXPECT_TRUE(summary.startsWith(U("1 file renamed."))) << summary.toStdString();
    EXPECT_TRUE(summary.contains(U("appeared since the preview"))) << summary.toStdString();
    // The undo takes back only what was renamed.
    commands->tmiUndoRenameClick();
    EXPECT_TRUE(Has("music/Sub/c.mp3") && Has("music/X - One.Mp3"));
}

// The same file, named with the options off (no ID3v1 tag: it keeps its name)
// and on (from its ID3v2 tag, made safe for Windows).
TEST_F(RenamePreviewUndo, TheNamingOptionsReachRenameAndRenameAll) {
    if (!mv::test::MutagenPresent()) GTEST_SKIP() << "python3-mutagen missing";
    fs::remove_all(tree.Path("music"));
    folder = tree.Folder("music");
    selected = tree.Path("music/v2.mp3");
    ASSERT_TRUE(mv::test::WriteTaggedMp3(selected, "v23"));
    dialogs.QueueText(U("%2 - %1: %6"));
    commands->bRenameClick();
    EXPECT_EQ(commands->LastOutcomes().at(0).status, mv::RenameStatus::NoTag);

    naming = {true, true};
    dialogs.QueueText(U("%2 - %1: %6"));
    commands->bRenameClick();
    EXPECT_TRUE(Has("music/The Artist - Caf\xC3\xA9 Title - 03"));

    commands->tmiUndoRenameClick();
    ASSERT_TRUE(Has("music/v2.mp3"));
    dialogs.QueueText(U("%7? %1"));
    dialogs.QueueReply(false);
    commands->bRenameAllClick();
    EXPECT_TRUE(Has("music/Rock_ Caf\xC3\xA9 Title.Mp3"));
}

}  // namespace

}  // namespace mv
