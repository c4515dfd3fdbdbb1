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

#include "ban_widgets.h"
#include "filetools/windows/ban_commands.h"
#include "filetools/windows/tf_ban.h"
#include "support/core/temp_tree.h"

namespace mv {

namespace {

QString L(const char* s) {
    return QString::fromUtf8(s);
}
namespace fs = std::filesystem;

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class BanWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { music = tree.Folder("drive/Music"); }
    TfBan& Ban() { return w.commands->Ban(); }
    std::string BanFile() const { return tree.Path("BanList.txt"); }
    void Scan() { w.commands->Scan1Click(); }

    mv::test::TempTree tree;
    bantest::BanWidgetsFixture w{tree.Root()};
    ScriptedDialogs& dialogs = w.dialogs;
    std::string music;
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
    w.commands->Edit1Click();
    EXPECT_TRUE(modal);
    EXPECT_EQ(Slurp(BanFile()), "\\BANLIST\r\n\r\n");

    // Typed entries are saved one per line, behind exactly one header.
    QTimer::singleShot(0, [&] {
        ban.lBanList->setPlainText(L("remix\nkaraoke version"));
        ban.reject();  // Escape or the close box
    });
    w.commands->Edit1Click();
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
    w.folder = music;
    w.cbRec->setChecked(true);
    Scan();
    EXPECT_TRUE(w.busyDuringRun);
    ASSERT_EQ(w.requests.size(), 1u);
    EXPECT_EQ(w.requests[0].mode, mv::kModeFolderVsList);
    EXPECT_EQ(w.requests[0].percentText, "100");  // whatever the percentage box holds
    EXPECT_FALSE(w.requests[0].ReadsMp3List());
    EXPECT_EQ(w.rows, (std::vector<std::string>{music + "/Song (Remix).mp3 | /BANLIST/remix",
                                                music + "/sub/Live Remix.mp3 | /BANLIST/remix"}));
    EXPECT_EQ(w.messages, std::vector<std::string>{"Comparison finished"});
    EXPECT_TRUE(dialogs.Texts().isEmpty());  // the window's comparison shows the ending
    EXPECT_FALSE(w.busy);
    EXPECT_EQ(Slurp(tree.Path("Mp3List.txt")), catalogue);

    dialogs.ClearHistory();
    w.cbRec->setChecked(false);
    Scan();
    EXPECT_EQ(w.rows, (std::vector<std::string>{music + "/Song (Remix).mp3 | /BANLIST/remix"}));
    EXPECT_EQ(Slurp(tree.Path("Mp3List.txt")), catalogue);

    // Without a ban list only the message: the rows stay, nothing is written.
    dialogs.ClearHistory();
    fs::remove(BanFile());
    Scan();
    EXPECT_EQ(dialogs.Texts(), QStringList{L("You do not have any banlist!")});
    EXPECT_EQ(w.requests.size(), 2u);  // nothing ran
    EXPECT_EQ(w.busyEntered, 2);
    EXPECT_FALSE(w.busy);
    EXPECT_EQ(Slurp(tree.Path("Mp3List.txt")), catalogue);
}

TEST_F(BanWindowTest, ScanRunsWhateverStandsInTheMp3ListsPlace) {
    // Neither an absent nor an unreadable catalogue concerns the scan, and the
    // scan creates none.
    tree.File("drive/Music/Remix.mp3", "x");
    tree.File("BanList.txt", "\\BANLIST\r\nremix\r\n");
    w.folder = music;
    Scan();
    EXPECT_EQ(w.rows, (std::vector<std::string>{music + "/Remix.mp3 | /BANLIST/remix"}));
    EXPECT_FALSE(fs::exists(tree.Path("Mp3List.txt")));

    fs::create_directory(tree.Path("Mp3List.txt"));
    dialogs.ClearHistory();
    Scan();
    EXPECT_EQ(w.messages, std::vector<std::string>{"Comparison finished"});
    EXPECT_EQ(w.rows.size(), 1u);
    EXPECT_TRUE(fs::is_directory(tree.Path("Mp3List.txt")));

    // A 0-byte ban list: the ban list's own message, and nothing runs.
    std::ofstream(BanFile(), std::ios::binary | std::ios::trunc).flush();
    dialogs.ClearHistory();
    Scan();
    EXPECT_EQ(dialogs.Texts(), QStringList{QString::fromStdString("You do not have any banlist!\n" +
                                                                  BanFile() + " is empty.")});
    EXPECT_EQ(w.requests.size(), 2u);  // nothing ran

    // One NUL line is a line: the scan runs and bans nothing.
    std::ofstream(BanFile(), std::ios::binary | std::ios::trunc) << std::string("\0\r\n", 3);
    dialogs.ClearHistory();
    Scan();
    EXPECT_EQ(w.messages, std::vector<std::string>{"Comparison finished"});
    EXPECT_TRUE(w.rows.empty());
}

}  // namespace

}  // namespace mv
