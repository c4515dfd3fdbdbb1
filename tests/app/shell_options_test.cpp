// What the shell adds to the main window: the menus' Alt letters, Options >
// Server... kept in the settings, Help > About, and the last browsed folder
// restored at the next start (or not, when it is gone).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <fstream>
#include <set>

#include "app/shell.h"
#include "mv_version.h"
#include "net/windows/tf_server.h"
#include "shell_fixture.h"
#include "ui/main/file_browser.h"
#include "ui/main/main_window_support.h"
#include "ui/main/tf_princ.h"

namespace mv {

namespace {

class ShellOptionsTest : public mv::test::ShellFixture {
  protected:
    mv::Settings Exit() {
        shell_->CloseClick();
        return mv::ReadSettings(home_ / "Mp3Vandrel.ini").settings;
    }
    // Runs `answer` on the modal Server dialog once `item` has opened it.
    void WithServerDialog(const std::function<void(TfServer&)>& answer) {
        QTimer::singleShot(0, [answer] {
            auto* dialog = qobject_cast<TfServer*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            answer(*dialog);
            if (dialog->isVisible()) dialog->reject();
        });
        uitest::Find<QAction>(shell_->Window(), "tmiServer")->trigger();
    }
};

TEST_F(ShellOptionsTest, EveryTopMenuHasItsOwnAltLetterAndKeepsItsText) {
    TfPrinc& w = Start().Window();
    const char* const texts[] = {"File",     "Dupes",   "List",    "Compare results",
                                 "Playlist", "BanList", "Options", "Misc",
                                 "HELP"};
    const QList<QAction*> menus = w.menuBar()->actions();
    ASSERT_EQ(menus.size(), static_cast<qsizetype>(std::size(texts)));
    std::set<QChar> letters;
    for (qsizetype i = 0; i < menus.size(); ++i) {
        const QString title = menus[i]->text();
        EXPECT_EQ(title.count(QLatin1Char('&')), 1) << title.toStdString();
        QString shown = title;
        EXPECT_EQ(shown.remove(QLatin1Char('&')), QString::fromLatin1(texts[i]));
        const QKeySequence alt = QKeySequence::mnemonic(title);
        EXPECT_FALSE(alt.isEmpty()) << texts[i];
        const qsizetype at = title.indexOf(QLatin1Char('&'));
        ASSERT_GE(at, 0);
        EXPECT_TRUE(letters.insert(title[at + 1].toLower()).second) << "clash at " << texts[i];
    }
    EXPECT_EQ(QKeySequence::mnemonic(menus[0]->text()), QKeySequence(Qt::ALT | Qt::Key_F));
    // File's first item stays Exit; Server... ends Options, About follows the tour.
    EXPECT_EQ(menus[0]->menu()->actions().first()->objectName(), QStringLiteral("bClose"));
    EXPECT_EQ(menus[6]->menu()->actions().last()->objectName(), QStringLiteral("tmiServer"));
    EXPECT_EQ(menus[8]->menu()->actions().first()->objectName(), QStringLiteral("tmiWalk"));
    EXPECT_EQ(menus[8]->menu()->actions().last()->objectName(), QStringLiteral("tmiAbout"));
}

TEST_F(ShellOptionsTest, ServerDialogShowsTheValueRefusesBadOnesAndTheGoodOneIsKept) {
    Write("Mp3Vandrel.ini", "[MAIN]\r\nServer=old.example:8080\r\n");
    Start();
    WithServerDialog([](TfServer& dialog) {
        auto* box = dialog.findChild<QLineEdit*>(QStringLiteral("eServer"));
        EXPECT_EQ(box->text(), QStringLiteral("old.example:8080"));
        box->setText(QStringLiteral("localhost:70000"));
        dialog.findChild<QPushButton*>(QStringLiteral("bOK"))->click();
        EXPECT_TRUE(dialog.isVisible());
        box->setText(QStringLiteral("https://new.example/mv"));
        dialog.findChild<QPushButton*>(QStringLiteral("bOK"))->click();
    });
    ASSERT_EQ(dialogs_.Texts().size(), 1);
    EXPECT_TRUE(dialogs_.Texts()[0].contains(QStringLiteral("1 to 65535")));
    // Cancel keeps what was accepted.
    WithServerDialog([](TfServer& dialog) {
        auto* box = dialog.findChild<QLineEdit*>(QStringLiteral("eServer"));
        EXPECT_EQ(box->text(), QStringLiteral("https://new.example/mv"));
        box->setText(QStringLiteral("other:1"));
    });
    EXPECT_EQ(Exit().server, "https://new.example/mv");
}

TEST_F(ShellOptionsTest, AboutNamesTheVersionTheLicenseAndTheLibraries) {
    TfPrinc& w = Start().Window();
    uitest::Find<QAction>(w, "tmiAbout")->trigger();
    ASSERT_EQ(dialogs_.Texts().size(), 1);
    const QString about = dialogs_.Texts()[0];
    EXPECT_TRUE(about.startsWith(QStringLiteral("Mp3 Vandrel " MV_VERSION "\n")));
    EXPECT_TRUE(about.contains(QStringLiteral("MIT License")));
    EXPECT_TRUE(about.contains(QStringLiteral("Qt ") + QString::fromLatin1(qVersion())));
    for (const char* name :
         {"TagLib 1.", "libmpg123 1.", "Chromaprint 1.", "libxxhash 0.", "SQLite 3.", "libcurl "}) {
        EXPECT_TRUE(about.contains(QString::fromLatin1(name))) << name;
    }
}

TEST_F(ShellOptionsTest, LastFolderIsWrittenAtExitAndRestoredWhileItIsAFolder) {
    const std::string music = tree_.Folder("drive/Music");
    tree_.File("drive/Music/a.mp3");
    TfPrinc& w = Start().Window();
    ASSERT_EQ(w.Browser().Folder(), drive_);  // the first start: the drive's root
    ASSERT_TRUE(w.Browser().SetFolder(music));
    EXPECT_EQ(Exit().lastFolder, music);

    EXPECT_EQ(Start().Window().Browser().Folder(), music);

    // A link to a folder is a folder; the browser shows the link's path.
    const std::string link = tree_.Path("drive/Link");
    std::filesystem::create_directory_symlink(music, link);
    ASSERT_TRUE(shell_->Window().Browser().SetFolder(link));
    EXPECT_EQ(Exit().lastFolder, link);
    EXPECT_EQ(Start().Window().Browser().Folder(), link);
    shell_->CloseClick();

    // Gone, or a file now: today's start, and Exit writes where it then is.
    for (const std::string& gone : {tree_.Path("drive/Removed"), tree_.File("drive/plain.txt")}) {
        Write("Mp3Vandrel.ini", "[MAIN]\r\nLastFolder=" + gone + "\r\n");
        EXPECT_EQ(Start().Window().Browser().Folder(), drive_) << gone;
        EXPECT_EQ(Exit().lastFolder, drive_) << gone;
    }
    // A name the file cannot give back is not kept: no line of it leaks into the file.
    for (const std::string& odd : {tree_.Folder("drive/two\n[EQUALIZER]\nEnabled=1"),
                                   tree_.Folder("drive/ends in a blank ")}) {
        ASSERT_TRUE(Start().Window().Browser().SetFolder(odd));
        const mv::Settings kept = Exit();
        EXPECT_EQ(kept.lastFolder, "") << odd;
        EXPECT_FALSE(kept.eqEnabled) << odd;
        EXPECT_EQ(Start().Window().Browser().Folder(), drive_) << odd;
        shell_->CloseClick();
    }
    EXPECT_TRUE(dialogs_.Texts().isEmpty());
}

}  // namespace

}  // namespace mv
