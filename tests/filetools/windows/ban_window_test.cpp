#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "dupes/result_rows.h"
#include "dupes/windows/compare_commands.h"
#include "dupes/windows/result_list_handlers.h"
#include "dupes/windows/result_pair_model.h"
#include "filetools/windows/ban_commands.h"
#include "filetools/windows/tf_ban.h"
#include "ui/main/file_browser.h"
#include "ui/main/main_window_support.h"
#include "ui/main/tf_princ.h"

namespace {

using uitest::L;
namespace fs = std::filesystem;

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class BanWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        uitest::App();
        music = tree.Folder("drive/Music");
        drives.roots = {tree.Path("drive")};
        window = std::make_unique<TfPrinc>(dialogs, drives, tree.Root());
        window->hideToTray = [] {};
        window->showFromTray = [] {};
    }
    TfBan& Ban() { return window->Ban().Ban(); }
    std::string BanFile() const { return tree.Path("BanList.txt"); }
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        for (const mv::ResultRow& r : window->Results().Model().rows()) {
            EXPECT_EQ(r.leftKind, mv::RowKind::FileOnDisk);
            EXPECT_EQ(r.rightKind, mv::RowKind::ListLocation);
            rows.push_back(r.left + " | " + r.right);
        }
        return rows;
    }

    uitest::TempTree tree;
    ScriptedDialogs dialogs;
    uitest::FolderDrives drives;
    std::string music;
    std::unique_ptr<TfPrinc> window;
};

TEST_F(BanWindowTest, EditorOpensAndClosesThroughTheMenuWithARealFile) {
    TfBan& ban = Ban();
    EXPECT_EQ(ban.objectName(), L("fBan"));
    EXPECT_EQ(ban.windowTitle(), L("Edit your banlist"));
    EXPECT_EQ(ban.size(), QSize(TfBan::kDesignWidth, TfBan::kDesignHeight));
    EXPECT_EQ(ban.lBanList->objectName(), L("lBanList"));
    EXPECT_EQ(ban.lBanList->toPlainText(), QString());

    // First opening without a file: the design content stays; closing without
    // typing creates the file with the header and that one empty line.
    bool modal = false;
    QTimer::singleShot(0, [&] {
        modal = ban.isModal() && ban.isVisible();
        ban.close();
    });
    window->Edit1->trigger();
    EXPECT_TRUE(modal);
    EXPECT_EQ(Slurp(BanFile()), "\\BANLIST\r\n\r\n");

    // Typed entries are saved one per line, behind exactly one header.
    QTimer::singleShot(0, [&] {
        ban.lBanList->setPlainText(L("remix\nkaraoke version"));
        ban.reject();  // Escape or the close box
    });
    window->Edit1->trigger();
    EXPECT_EQ(Slurp(BanFile()), "\\BANLIST\r\nremix\r\nkaraoke version\r\n");
    EXPECT_TRUE(dialogs.Texts().isEmpty());

    // The next opening shows the file without its header, the caret after the
    // last character, whatever the memo held meanwhile.
    std::ofstream(BanFile(), std::ios::binary) << "\\BANLIST\nremix\ncaf\xe9 live";
    ban.lBanList->setPlainText(L("stale"));
    ban.FormActivate();
    EXPECT_EQ(ban.lBanList->toPlainText(), QStringLiteral(u"remix\ncaf\u00e9 live"));
    EXPECT_EQ(ban.lBanList->textCursor().position(), ban.lBanList->toPlainText().size());

    // A NUL is a byte of its entry: opening and closing keep it.
    const char nulBytes[] = "\\BANLIST\r\na\0b\r\n\0\r\n";
    const std::string withNul(nulBytes, sizeof nulBytes - 1);
    std::ofstream(BanFile(), std::ios::binary | std::ios::trunc) << withNul;
    ban.FormActivate();
    EXPECT_TRUE(ban.FormClose());
    EXPECT_EQ(Slurp(BanFile()), withNul);

    // A file that cannot be read leaves the memo as it is.
    fs::remove(BanFile());
    fs::create_directory(BanFile());
    ban.lBanList->setPlainText(L("mine"));
    ban.FormActivate();
    EXPECT_EQ(ban.lBanList->toPlainText(), L("mine"));
}

// Closing when the file cannot be written: the cause is shown, the text stays
// and survives the next opening (it is in no file yet), and the next closing
// that can write saves it.
TEST_F(BanWindowTest, UnwritableBanListKeepsTheEditorsText) {
    TfBan& ban = Ban();
    fs::create_directory(BanFile());  // nothing can be written in its place
    tree.File("BanList.txt/inside", "x");
    ban.FormActivate();
    ban.lBanList->setPlainText(L("remix\nlive"));
    EXPECT_FALSE(ban.FormClose());
    ASSERT_EQ(dialogs.Texts().size(), 1);
    const QString message = dialogs.Texts()[0];
    EXPECT_TRUE(message.startsWith(L("Your ban list was not saved."))) << message.toStdString();
    EXPECT_TRUE(message.contains(QString::fromStdString(BanFile()))) << message.toStdString();
    EXPECT_TRUE(ban.Unsaved());

    // A readable list appears meanwhile: the unsaved text still wins.
    fs::remove_all(BanFile());
    std::ofstream(BanFile(), std::ios::binary) << "\\BANLIST\r\nother\r\n";
    ban.FormActivate();
    EXPECT_EQ(ban.lBanList->toPlainText(), L("remix\nlive"));
    EXPECT_TRUE(ban.FormClose());
    EXPECT_FALSE(ban.Unsaved());
    EXPECT_EQ(Slurp(BanFile()), "\\BANLIST\r\nremix\r\nlive\r\n");
    EXPECT_EQ(dialogs.Texts().size(), 1);
}

// The scan runs the real comparison in mode 1 at 100 on the ban list's lines:
// rows folder/name against /BANLIST/entry, with and without recursion. The
// Mp3 list (whose titles would match too) is neither read nor changed.
TEST_F(BanWindowTest, ScanListsBannedFilesAndLeavesTheMp3ListAlone) {
    tree.File("drive/Music/Song (Remix).mp3", "x");
    tree.File("drive/Music/Clean Song.mp3", "x");
    tree.File("drive/Music/sub/Live Remix.mp3", "x");
    const std::string catalogue = "\\Mp3 List\n\\CD1\nClean Song.mp3\n";
    tree.File("Mp3List.txt", catalogue);
    tree.File("BanList.txt", "\\BANLIST\r\nremix\r\n");
    window->Browser().SetFolder(music);
    window->ePerc->setText(L("50"));

    bool busyDuringRun = false;
    QTimer::singleShot(0, [&] { busyDuringRun = window->IsBusy() && !window->ePerc->isEnabled(); });
    window->cbRec->setChecked(true);
    window->Scan1->trigger();
    EXPECT_TRUE(busyDuringRun);
    EXPECT_EQ(Rows(), (std::vector<std::string>{music + "/Song (Remix).mp3 | /BANLIST/remix",
                                                music + "/sub/Live Remix.mp3 | /BANLIST/remix"}));
    EXPECT_TRUE(window->lRes->text().startsWith(L("2 results in ")))
        << window->lRes->text().toStdString();
    EXPECT_EQ(dialogs.Texts(), QStringList{L("Comparison finished")});
    EXPECT_EQ(window->ePerc->text(), L("50"));
    EXPECT_FALSE(window->IsBusy());
    EXPECT_EQ(Slurp(tree.Path("Mp3List.txt")), catalogue);

    dialogs.ClearHistory();
    window->cbRec->setChecked(false);
    window->Scan1->trigger();
    EXPECT_EQ(Rows(), (std::vector<std::string>{music + "/Song (Remix).mp3 | /BANLIST/remix"}));
    EXPECT_EQ(Slurp(tree.Path("Mp3List.txt")), catalogue);

    // Without a ban list only the message: the rows stay, nothing is written.
    dialogs.ClearHistory();
    fs::remove(BanFile());
    window->Scan1->trigger();
    EXPECT_EQ(dialogs.Texts(), QStringList{L("You do not have any banlist!")});
    EXPECT_EQ(Rows().size(), 1u);
    EXPECT_FALSE(window->IsBusy());
    EXPECT_EQ(Slurp(tree.Path("Mp3List.txt")), catalogue);
}

TEST_F(BanWindowTest, ScanRunsWhateverStandsInTheMp3ListsPlace) {
    // Neither an absent nor an unreadable catalogue concerns the scan, and the
    // scan creates none.
    tree.File("drive/Music/Remix.mp3", "x");
    tree.File("BanList.txt", "\\BANLIST\r\nremix\r\n");
    window->Browser().SetFolder(music);
    window->Scan1->trigger();
    EXPECT_EQ(Rows(), (std::vector<std::string>{music + "/Remix.mp3 | /BANLIST/remix"}));
    EXPECT_FALSE(fs::exists(tree.Path("Mp3List.txt")));

    fs::create_directory(tree.Path("Mp3List.txt"));
    dialogs.ClearHistory();
    window->Scan1->trigger();
    EXPECT_EQ(dialogs.Texts(), QStringList{L("Comparison finished")});
    EXPECT_EQ(Rows().size(), 1u);
    EXPECT_TRUE(fs::is_directory(tree.Path("Mp3List.txt")));

    // A 0-byte ban list: the ban list's own message, and nothing runs.
    std::ofstream(BanFile(), std::ios::binary | std::ios::trunc).flush();
    dialogs.ClearHistory();
    const QString resultBefore = window->lRes->text();
    window->Scan1->trigger();
    EXPECT_EQ(dialogs.Texts(), QStringList{QString::fromStdString("You do not have any banlist!\n" +
                                                                  BanFile() + " is empty.")});
    EXPECT_EQ(window->lRes->text(), resultBefore);
    EXPECT_EQ(Rows().size(), 1u);

    // One NUL line is a line: the scan runs and bans nothing.
    std::ofstream(BanFile(), std::ios::binary | std::ios::trunc) << std::string("\0\r\n", 3);
    dialogs.ClearHistory();
    window->Scan1->trigger();
    EXPECT_EQ(dialogs.Texts(), QStringList{L("Comparison finished")});
    EXPECT_TRUE(Rows().empty());
}

TEST_F(BanWindowTest, StopEndsTheScanCancelledAndLeavesTheBusyState) {
    tree.File("BanList.txt", "\\BANLIST\r\nremix\r\n");
    window->Browser().SetFolder(music);
    mv::CompareParams seen;
    CompareBackend backend;
    backend.run = [&seen](const mv::CompareParams& p, mv::CompareControl& control) {
        seen.mode = p.mode;
        seen.percentText = p.percentText;
        seen.listLines = p.listLines;
        p.onRows({{"/x/Remix.mp3", "/BANLIST/remix"}});
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!control.stopRequested && std::chrono::steady_clock::now() < limit) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        mv::CompareResult r;
        r.cancelled = control.stopRequested;
        r.resultText = "1 result in 0.02 seconds";
        r.messages = {r.cancelled ? "Comparison Cancelled" : "Comparison finished"};
        return r;
    };
    backend.collectFolders = &mv::CollectFolders;
    backend.parsePercent = &mv::ParsePercent;
    window->Compare().SetBackend(backend);
    QTimer::singleShot(20, [&] { window->bCancel->click(); });
    window->Scan1->trigger();

    EXPECT_EQ(seen.mode, mv::kModeFolderVsList);
    EXPECT_EQ(seen.percentText, "100");
    EXPECT_EQ(seen.listLines, (std::vector<std::string>{"\\BANLIST", "remix"}));
    EXPECT_EQ(dialogs.Texts(), QStringList{L("Comparison Cancelled")});
    EXPECT_EQ(Rows().size(), 1u);
    EXPECT_FALSE(window->IsBusy());
    EXPECT_TRUE(window->Scan1->isEnabled() && window->bDel->isEnabled());
}

}  // namespace
