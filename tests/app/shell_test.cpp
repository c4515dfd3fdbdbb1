#include "app/shell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QThread>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "app/player_setup.h"
#include "app/tray_icon.h"
#include "platform/drives.h"
#include "platform/text_lines.h"
#include "player/windows/tf_eq.h"
#include "shell_fixture.h"
#include "support/core/pipe_unblocker.h"
#include "ui/main/main_window_support.h"
#include "ui/main/tf_princ.h"

namespace mv {

namespace {

class ShellTest : public mv::test::ShellFixture {};

TEST_F(ShellTest, FirstStartShowsDefaultsAndExitWritesTheFiles) {
    TfPrinc& w = Start().Window();
    EXPECT_TRUE(dialogs_.Texts().isEmpty());
    EXPECT_FALSE(uitest::Find<QCheckBox>(w, "cbShuffle")
                     ->isChecked());  // checked in the design, off without a file
    EXPECT_TRUE(uitest::Find<QAction>(w, "cbRec")->isChecked() &&
                uitest::Find<QAction>(w, "cbMinimize")->isChecked() &&
                uitest::Find<QAction>(w, "tmiRecurse")->isChecked() &&
                uitest::Find<QAction>(w, "tmiVerCheck")->isChecked());
    EXPECT_EQ(uitest::Find<QLineEdit>(w, "ePerc")->text(), QStringLiteral("80"));
    EXPECT_EQ(uitest::Find<QLineEdit>(w, "eExt")->text(), QStringLiteral("Mp3"));
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(std::filesystem::exists(home_ / "Mp3Vandrel.ini"));

    shell_->CloseClick();
    EXPECT_TRUE(shell_->Exited());
    EXPECT_EQ(mv::ReadSettings(home_ / "Mp3Vandrel.ini").settings.percentage, "80");
    EXPECT_EQ(Read("LastList.txt"), "");
}

TEST_F(ShellTest, StoredSettingsReachTheControlsAndComeBack) {
    Write("Mp3Vandrel.ini",
          "[MAIN]\r\nShuffle=1\r\nRecCompare=0\r\nVersionCheck=0\r\nPercentage=100\r\n"
          "Extension=wma\r\nDisplayMode=1\r\nLastWindow=7\r\n[EQUALIZER]\r\nBar03=-40\r\n");
    TfPrinc& w = Start().Window();
    EXPECT_TRUE(uitest::Find<QCheckBox>(w, "cbShuffle")->isChecked());
    EXPECT_FALSE(uitest::Find<QAction>(w, "cbRec")->isChecked());
    EXPECT_FALSE(uitest::Find<QAction>(w, "tmiVerCheck")->isChecked());
    EXPECT_EQ(uitest::Find<QLineEdit>(w, "ePerc")->text(),
              QStringLiteral("100"));  // beyond the typing limit, as stored
    EXPECT_EQ(uitest::Find<QLineEdit>(w, "eExt")->text(), QStringLiteral("wma"));
    EXPECT_FALSE(uitest::Find<QAction>(w, "bPlaylistAdd")
                     ->isEnabled());  // the extension's change handler ran

    // Toggling an option twice leaves it as it was; nothing is written before Exit.
    uitest::Find<QAction>(w, "cbMinimize")->trigger();
    uitest::Find<QAction>(w, "cbMinimize")->trigger();
    uitest::Find<QAction>(w, "cbRec")->trigger();
    EXPECT_NE(Read("Mp3Vandrel.ini").find("RecCompare=0"), std::string::npos);

    uitest::Find<QAction>(w, "bClose")->trigger();  // File > Exit
    ASSERT_TRUE(shell_->Exited());
    const auto s = mv::ReadSettings(home_ / "Mp3Vandrel.ini").settings;
    EXPECT_TRUE(s.shuffle && s.recCompare && s.minimize);
    EXPECT_FALSE(s.versionCheck);
    EXPECT_EQ(s.percentage, "100");
    EXPECT_EQ(s.extension, "wma");
    EXPECT_EQ(s.displayMode, 1);  // the list editor is not there: kept as read
    EXPECT_EQ(s.bars[2], -40);
    EXPECT_NE(Read("Mp3Vandrel.ini").find("LastWindow=7"), std::string::npos);
}

TEST_F(ShellTest, ListChangedWhileAwayIsReportedOnce) {
    Write("mp3list.TXT", "\\CD1\r\nSong.mp3\r\n");  // any letter case names the list
    Start();
    EXPECT_EQ(dialogs_.Texts(),
              QStringList{QStringLiteral(
                  "Your Mp3 List has been modified without Mp3 Vandrel. There might be some "
                  "problems with Edit List, Search and Compare.")});
    uitest::Find<QAction>(shell_->Window(), "Close")->trigger();  // tray menu > Close
    EXPECT_EQ(mv::ReadSettings(home_ / "Mp3Vandrel.ini").settings.listCount, 2);

    dialogs_.ClearHistory();
    Start();
    EXPECT_TRUE(dialogs_.Texts().isEmpty());
}

TEST_F(ShellTest, UnreadableSettingsAndPlaylistAreReportedAndKeptAtExit) {
    const auto ini = home_ / "Mp3Vandrel.ini";
    const auto lastList = home_ / "LastList.txt";
    ASSERT_EQ(::mkfifo(ini.c_str(), 0644), 0);
    std::filesystem::create_symlink("LastList.txt", lastList);  // a link to itself
    Write("Mp3List.txt", "\\Mp3 List\r\n");                     // no stored count to compare with
    PipeUnblocker unblocker({ini});

    Start();
    const QStringList texts = dialogs_.Texts();
    ASSERT_EQ(texts.size(), 2) << texts.join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(texts[0], QString::fromStdString("Cannot read " + lastList.string() +
                                               ": it is a link that leads round in a loop. The "
                                               "playlist starts empty and is not saved at Exit."));
    EXPECT_EQ(texts[1], QString::fromStdString("Cannot read " + ini.string() +
                                               ": it is a named pipe, not a regular file. The "
                                               "settings start from their defaults and are not "
                                               "saved at Exit."));
    EXPECT_EQ(uitest::Find<QLineEdit>(shell_->Window(), "ePerc")->text(), QStringLiteral("80"));

    shell_->CloseClick();
    EXPECT_EQ(dialogs_.Texts().size(), 2);  // Exit has nothing more to say
    EXPECT_TRUE(std::filesystem::is_fifo(ini));
    EXPECT_TRUE(std::filesystem::is_symlink(lastList));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home_),
                            std::filesystem::directory_iterator()),
              3);
}

TEST_F(ShellTest, UnreadableListIsReportedAsSuchAndKeepsItsCount) {
    Write("Mp3Vandrel.ini", "[MAIN]\r\nListCount=5\r\n");
    const auto list = home_ / "Mp3List.txt";
    ASSERT_EQ(::mkfifo(list.c_str(), 0644), 0);
    PipeUnblocker unblocker({list});

    Start();
    EXPECT_EQ(dialogs_.Texts().join(QStringLiteral(" | ")).toStdString(),
              "Cannot read " + list.string() + ": it is a named pipe, not a regular file.");
    shell_->CloseClick();
    EXPECT_EQ(mv::ReadSettings(home_ / "Mp3Vandrel.ini").settings.listCount, 5);
    EXPECT_TRUE(std::filesystem::is_fifo(list));
}

TEST_F(ShellTest, LastPlaylistIsRestoredAndSavedByteForByte) {
    const std::string lastList = "Caf\xe9 Song\r\n/music/Caf\xe9 Song.mp3\r\nB\r\n/music/B.mp3\r\n";
    Write("lastlist.TXT", lastList);  // any letter case names the same file
    TfPrinc& w = Start().Window();
    ASSERT_EQ(uitest::Find<QListWidget>(w, "lPlayList")->count(), 2);
    EXPECT_EQ(uitest::Find<QListWidget>(w, "lPlayList")->item(0)->text(),
              QStringLiteral("Caf\u00e9 Song"));
    EXPECT_EQ(w.playlist.at(1).path, "/music/B.mp3");

    shell_->CloseClick();
    EXPECT_EQ(Read("lastlist.TXT"), lastList);
    EXPECT_FALSE(std::filesystem::exists(home_ / "LastList.txt"));
}

TEST_F(ShellTest, CloseBoxKeepsTheProgramRunning) {
    TfPrinc& w = Start().Window();
    EXPECT_FALSE(w.close());
    EXPECT_FALSE(shell_->Exited());
    // No tray here: the window is minimised instead of hidden, so it can come back.
    EXPECT_TRUE(w.isMinimized() || !w.isVisible());
    EXPECT_FALSE(std::filesystem::exists(home_ / "Mp3Vandrel.ini"));
    shell_->Tray().ShowWindow();
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isMinimized());
}

TEST_F(ShellTest, ExitDuringALongOperationStopsItAndWaitsForItsEnd) {
    TfPrinc& w = Start().Window();
    int stops = 0;
    QObject::connect(uitest::Find<QPushButton>(w, "bCancel"), &QPushButton::clicked,
                     [&] { ++stops; });
    w.EnterBusyState();
    shell_->CloseClick();
    EXPECT_FALSE(shell_->Exited());
    EXPECT_EQ(stops, 1);
    EXPECT_FALSE(std::filesystem::exists(home_ / "Mp3Vandrel.ini"));

    w.LeaveBusyState();
    for (int i = 0; i < 100 && !shell_->Exited(); ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    EXPECT_TRUE(shell_->Exited());
    EXPECT_TRUE(std::filesystem::exists(home_ / "Mp3Vandrel.ini"));
}

TEST_F(ShellTest, SeamsRunInOrderAndFailuresDoNotStopStartUp) {
    QStringList calls;
    ShellSeams seams;
    seams.createPlayer = [&](TfPrinc&, TrayIcon&) {
        calls << QStringLiteral("player");
        throw std::runtime_error("no engine");
    };
    seams.applyEqualizer = [&](bool, const mv::EqualizerBars&) {
        calls << QStringLiteral("eq");
        throw std::runtime_error("no engine");
    };
    seams.checkVersion = [&](const mv::Settings&, bool firstRun) {
        calls << (firstRun ? QStringLiteral("first run") : QStringLiteral("version"));
    };
    seams.freePlayer = [&] { calls << QStringLiteral("free"); };
    int presses = 0, releases = 0;
    seams.seekPress = [&] { ++presses; };
    seams.seekRelease = [&] { ++releases; };

    TfPrinc& w = Start(seams).Window();
    EXPECT_EQ(calls, (QStringList{QStringLiteral("player"), QStringLiteral("eq"),
                                  QStringLiteral("first run")}));

    const QPointF at(5, 5);
    QMouseEvent press(QEvent::MouseButtonPress, at,
                      uitest::Find<QSlider>(w, "tbTrack")->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent right(QEvent::MouseButtonPress, at,
                      uitest::Find<QSlider>(w, "tbTrack")->mapToGlobal(at), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at,
                        uitest::Find<QSlider>(w, "tbTrack")->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(uitest::Find<QSlider>(w, "tbTrack"), &press);
    QCoreApplication::sendEvent(uitest::Find<QSlider>(w, "tbTrack"), &right);
    QCoreApplication::sendEvent(uitest::Find<QSlider>(w, "tbVolume"), &press);
    QCoreApplication::sendEvent(uitest::Find<QSlider>(w, "tbTrack"), &release);
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(releases, 1);

    shell_->CloseClick();
    EXPECT_EQ(calls.last(), QStringLiteral("free"));
}

// An exception escaping a handler ends that handler only.
class Throwing : public QObject {
  public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) throw std::runtime_error("handler failed");
        return QObject::event(e);
    }
};

TEST_F(ShellTest, EscapedExceptionStopsOnlyItsHandler) {
    Throwing target;
    QEvent event(QEvent::User);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(QCoreApplication::sendEvent(&target, &event));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("handler failed"), std::string::npos);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
    EXPECT_TRUE(dialogs_.Texts().isEmpty());
}

}  // namespace

namespace {

TEST_F(ShellTest, WithoutTheEngineAStoredEqualizerStillReachesTheWindowWithOneLine) {
    Write("Mp3Vandrel.ini", "[EQUALIZER]\r\nEnabled=1\r\nBar01=10\r\nBar05=500\r\n");
    PlayerSetup player(tree_.Path("no-such-engine.so"));
    ShellSeams seams;
    seams.createPlayer = [&player](TfPrinc& window, TrayIcon&) { player.Create(window); };
    seams.freePlayer = [&player] { player.Free(); };
    ::testing::internal::CaptureStderr();
    TfPrinc& w = Start(std::move(seams)).Window();
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("running without sound"), std::string::npos) << err;
    EXPECT_TRUE(shell_->Equalizer().Enabled());
    EXPECT_EQ(shell_->Equalizer().Bars()[0], 10);
    EXPECT_EQ(shell_->Equalizer().Bars()[4], 80);

    // Every attempt to play says so; the playlist stays as it was.
    w.PlayFile(tree_.Path("song.mp3"));
    EXPECT_EQ(dialogs_.Texts(), QStringList{QStringLiteral("Unable to play this file")});
    EXPECT_TRUE(w.playlist.empty());
    player.Free();
}

}  // namespace

}  // namespace mv
