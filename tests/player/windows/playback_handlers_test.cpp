// The playback handlers with a recording player: the commands each control
// sends, the status text with the caption and the tray tip, the next song.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <map>
#include <set>

#include "player_widgets.h"

namespace mv {

namespace {

using ::testing::ElementsAre;
using namespace playertest;

const std::vector<std::string> kStopSequence{"Stop", "InputClose", "OutputClose"};

std::vector<std::string> StartSequence(const std::string& path) {
    return {"Stop", "InputClose", "OutputClose", "InputOpen " + path, "Play"};
}

class PlaybackTest : public ::testing::Test {
  protected:
    PlaybackTest() {
        mv::test::TestApplication();
        PlaybackHooks hooks;
        hooks.showStatus = [this](const QString& s) { statuses.push_back(s.toStdString()); };
        hooks.setTrayTip = [this](const QString& t) { tips.push_back(t.toStdString()); };
        hooks.random = [this](size_t bound) { return draw++ % bound; };
        hooks.stateChanged = [this] { ++stateChanges; };
        playback =
            std::make_unique<PlaybackHandlers>(w.Playback(), dialogs, playlist, std::move(hooks));
        playback->SetPlayer(&player);
    }

    void Add(const std::string& path) {
        playlist.push_back({mv::PlaylistDisplayName(path), path});
        w.lPlayList->addItem(QString::fromStdString(playlist.back().name));
    }

    PanelWidgets w;
    ScriptedDialogs dialogs;
    mv::Playlist playlist;
    RecordingPlayer player;
    std::vector<std::string> statuses;
    std::vector<std::string> tips;
    size_t draw = 0;
    int stateChanges = 0;
    std::unique_ptr<PlaybackHandlers> playback;
};

TEST_F(PlaybackTest, PlayFileStartsTheFileAndAddsItOnceIgnoringLetterCase) {
    Add("/m/a.mp3");
    playback->PlayFile("/m/b.mp3");
    EXPECT_EQ(player.sent, StartSequence("/m/b.mp3"));
    EXPECT_THAT(Rows(w.lPlayList), ElementsAre("a.mp3", "b.mp3"));
    EXPECT_EQ(w.lPlayList->currentRow(), 1);
    EXPECT_TRUE(w.bStop->isEnabled());
    EXPECT_TRUE(w.bPause->isEnabled());

    player.sent.clear();
    playback->PlayFile("/M/A.MP3");  // the same entry in other letter case
    EXPECT_EQ(player.sent, StartSequence("/M/A.MP3"));
    EXPECT_EQ(playlist.size(), 2u);
    EXPECT_EQ(w.lPlayList->currentRow(), 0);
    EXPECT_TRUE(dialogs.Texts().isEmpty());
}

// A file played from elsewhere whose name holds a line break plays, but the
// playlist (and so LastList.txt) never takes it, and the user is told.
TEST_F(PlaybackTest, AFileThePlaylistCannotHoldPlaysWithoutJoiningIt) {
    Add("/m/a.mp3");
    playback->PlayFile("/m/two\nlines.mp3");
    EXPECT_EQ(player.sent, StartSequence("/m/two\nlines.mp3"));
    EXPECT_EQ(playlist.size(), 1u);
    EXPECT_EQ(w.lPlayList->count(), 1);
    ASSERT_EQ(dialogs.Texts().size(), 1);
    EXPECT_TRUE(dialogs.Texts()[0].contains(Q("/m/two\\nlines.mp3")));
}

TEST_F(PlaybackTest, WithoutAnEngineEveryAttemptSaysSoAndLeavesThePlaylist) {
    Add("/m/a.mp3");
    player.failing = true;
    playback->PlayFile("/m/new.mp3");
    EXPECT_EQ(dialogs.Texts(), QStringList{Q("Unable to play this file")});
    EXPECT_EQ(playlist.size(), 1u);
    EXPECT_EQ(w.lPlayList->count(), 1);
    EXPECT_FALSE(w.bStop->isEnabled());

    // The same with no player at all.
    playback->SetPlayer(nullptr);
    playback->PlayFile("/m/a.mp3");
    EXPECT_EQ(dialogs.Texts().size(), 2);
    // Stop, seek, speed and volume fail quietly.
    w.bStop->setEnabled(true);
    w.bStop->click();
    playback->SeekRelease();
    w.tbVolume->setValue(30);
    EXPECT_EQ(dialogs.Texts().size(), 2);
}

TEST_F(PlaybackTest, StateNotificationsSetStatusCaptionAndShortTips) {
    playback->PlayFile("/m/song.mp3");
    struct Step {
        int state;
        std::string status;
        bool timerArmed;
    };
    const Step steps[] = {{1, "Playing - song.mp3", false},
                          {2, "Paused", false},
                          {7, "Paused", false},
                          {0, "Stopped", false},
                          {1, "Playing - song.mp3", false},
                          {3, "Playing - song.mp3", true}};
    w.tbTrack->setValue(200);
    for (const Step& s : steps) {
        statuses.clear();
        tips.clear();
        playback->PlayerStateChanged(s.state);
        EXPECT_THAT(statuses, ElementsAre(s.status)) << s.state;
        EXPECT_THAT(tips, ElementsAre(s.status)) << s.state;
        EXPECT_EQ(w.NextTimer->isActive(), s.timerArmed) << s.state;
        if (s.state == 0) {
            EXPECT_EQ(w.tbTrack->value(), 0);
        }
    }
}

TEST_F(PlaybackTest, ALongStatusScrollsTheTipAtEachPositionOnly) {
    // "Playing - " and a 60-character name: 70 characters.
    const std::string name = std::string(56, 'x') + ".mp3";
    playback->PlayFile("/m/" + name);
    tips.clear();
    playback->PlayerStateChanged(1);
    EXPECT_TRUE(tips.empty());  // too long for the tip: left as it was
    EXPECT_EQ(statuses.back(), "Playing - " + name);
    const std::string status = "Playing - " + name;
    for (int step = 0; step < 75; ++step) {
        playback->InputPositionChanged(static_cast<uint32_t>(step), 400);
        std::string expected;
        for (int i = 0; i < 64; ++i) expected += status[static_cast<size_t>((step + i) % 70)];
        ASSERT_EQ(tips.size(), static_cast<size_t>(step + 1));
        EXPECT_EQ(tips.back(), expected) << step;
    }
    // A short status does not scroll.
    tips.clear();
    playback->PlayerStateChanged(2);
    playback->InputPositionChanged(1, 400);
    EXPECT_THAT(tips, ElementsAre("Paused"));
}

TEST_F(PlaybackTest, TheBarFollowsPositionsExceptWhileHeldAndSeeksOnRelease) {
    playback->InputPositionChanged(120, 400);
    EXPECT_EQ(w.tbTrack->value(), 120);
    playback->InputPositionChanged(50, 100);
    EXPECT_EQ(w.tbTrack->value(), 200);
    player.sent.clear();
    playback->SeekPress();
    w.tbTrack->setValue(300);  // the user drags
    playback->InputPositionChanged(10, 400);
    EXPECT_EQ(w.tbTrack->value(), 300);
    EXPECT_TRUE(player.sent.empty());  // no seek while held
    playback->SeekRelease();
    EXPECT_THAT(player.sent, ElementsAre("InputSeek 300/400"));
    playback->InputPositionChanged(310, 400);
    EXPECT_EQ(w.tbTrack->value(), 310);
}

TEST_F(PlaybackTest, ButtonsAndBarsSendTheirCommands) {
    playback->PlayFile("/m/a.mp3");
    player.sent.clear();
    w.bPause->click();
    EXPECT_EQ(w.bPause->text(), Q("Resume"));
    w.bPause->click();
    EXPECT_EQ(w.bPause->text(), Q("Pause"));
    w.bPause->click();
    playback->PlayFile("/m/b.mp3");  // another file keeps "Resume"
    EXPECT_EQ(w.bPause->text(), Q("Resume"));
    EXPECT_THAT(std::vector<std::string>(player.sent.begin(), player.sent.begin() + 3),
                ElementsAre("Pause", "Play", "Pause"));

    player.sent.clear();
    w.tbPitch->setValue(1500);
    w.tbVolume->setValue(40);
    w.bStop->click();
    EXPECT_THAT(player.sent,
                ElementsAre("Speed 1500", "Volume 40", "Stop", "InputClose", "OutputClose"));
    EXPECT_FALSE(w.bStop->isEnabled());
    EXPECT_FALSE(w.bPause->isEnabled());
    EXPECT_EQ(w.bPause->text(), Q("Resume"));
}

// The media key: by the engine's state, whatever the Pause button says.
TEST_F(PlaybackTest, PlayPausePlaysTheCurrentEntryThenPausesAndResumes) {
    playback->PlayPause();  // an empty playlist: nothing to play
    EXPECT_TRUE(player.sent.empty());
    Add("/m/a.mp3");
    Add("/m/b.mp3");
    w.lPlayList->setCurrentRow(1);
    playback->PlayPause();
    EXPECT_EQ(player.sent, StartSequence("/m/b.mp3"));
    EXPECT_EQ(playback->CurrentFile(), "/m/b.mp3");
    const struct {
        int32_t state;
        const char* sent;
        const char* caption;
    } steps[] = {{mv::kStatePlaying, "Pause", "Resume"}, {mv::kStatePaused, "Play", "Pause"}};
    for (const auto& step : steps) {
        const int before = stateChanges;
        playback->PlayerStateChanged(step.state);
        EXPECT_EQ(stateChanges, before + 1);
        w.bPause->setText(Q("Resume"));  // as another file may leave it
        player.sent.clear();
        playback->PlayPause();
        EXPECT_THAT(player.sent, ElementsAre(step.sent)) << step.state;
        EXPECT_EQ(w.bPause->text(), Q(step.caption));
    }
}

TEST_F(PlaybackTest, NextWrapsInOrderAndShufflesEachEntryOncePerPass) {
    // Two entries of one name in different folders.
    for (const char* p : {"/a/song.mp3", "/b/song.mp3", "/c/other.mp3"}) Add(p);
    const auto opened = [this] {
        std::vector<std::string> paths;
        for (const auto& line : player.sent) {
            if (line.rfind("InputOpen ", 0) == 0) paths.push_back(line.substr(10));
        }
        return paths;
    };
    w.lPlayList->setCurrentRow(1);
    for (int i = 0; i < 4; ++i) w.bNext->click();
    EXPECT_THAT(opened(),
                ElementsAre("/c/other.mp3", "/a/song.mp3", "/b/song.mp3", "/c/other.mp3"));

    player.sent.clear();
    w.cbShuffle->setChecked(true);
    std::mt19937 gen(11);
    // Real draws, so the passes differ.
    playback = nullptr;
    PlaybackHooks hooks;
    hooks.random = [&gen](size_t bound) {
        return std::uniform_int_distribution<size_t>(0, bound - 1)(gen);
    };
    playback =
        std::make_unique<PlaybackHandlers>(w.Playback(), dialogs, playlist, std::move(hooks));
    playback->SetPlayer(&player);
    for (int i = 0; i < 9; ++i) playback->AdvancePlaylist();
    const auto all = opened();
    ASSERT_EQ(all.size(), 9u);
    for (size_t pass = 0; pass < 3; ++pass) {
        std::set<std::string> seen(all.begin() + static_cast<long>(pass * 3),
                                   all.begin() + static_cast<long>(pass * 3 + 3));
        EXPECT_EQ(seen.size(), 3u) << "pass " << pass;
    }
    EXPECT_EQ(w.lPlayList->selectionMode(), QAbstractItemView::SingleSelection);
}

TEST_F(PlaybackTest, TheEndOfASongPlaysTheNextAfterTheTimer) {
    Add("/m/a.mp3");
    Add("/m/b.mp3");
    playback->PlayFile("/m/a.mp3");
    player.sent.clear();
    playback->PlayerStateChanged(3);
    EXPECT_TRUE(player.sent.empty());  // only armed
    QElapsedTimer clock;
    clock.start();
    while (player.sent.empty() && clock.elapsed() < 3000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_GE(clock.elapsed(), 400);
    EXPECT_EQ(player.sent, StartSequence("/m/b.mp3"));
    EXPECT_FALSE(w.NextTimer->isActive());

    // The playlist cleared meanwhile: each tick stops, the timer stays on.
    playlist.clear();
    w.lPlayList->clear();
    playback->PlayerStateChanged(3);
    player.sent.clear();
    playback->NextTimerTimer();
    EXPECT_EQ(player.sent, kStopSequence);
    EXPECT_TRUE(w.NextTimer->isActive());
    Add("/m/c.mp3");
    player.sent.clear();
    playback->NextTimerTimer();
    EXPECT_EQ(player.sent, StartSequence("/m/c.mp3"));
    EXPECT_FALSE(w.NextTimer->isActive());
}

TEST_F(PlaybackTest, FilesThatWillNotPlayMoveOnUntilAWholePassFailed) {
    for (const char* p : {"/m/gone1.mp3", "/m/gone2.mp3", "/m/gone3.mp3"}) Add(p);
    w.lPlayList->setCurrentRow(0);
    playback->PlayFile("/m/gone1.mp3");
    // The answer to an open before the latest one says nothing about it.
    playback->PlayFile("/m/gone1.mp3");
    playback->InputOpenAnswered(false);
    EXPECT_FALSE(w.NextTimer->isActive());
    playback->InputOpenAnswered(false);
    EXPECT_EQ(statuses.back(), "Unable to play - gone1.mp3");
    EXPECT_TRUE(w.NextTimer->isActive());

    playback->NextTimerTimer();
    playback->InputOpenAnswered(false);
    EXPECT_TRUE(w.NextTimer->isActive());
    playback->NextTimerTimer();
    player.sent.clear();
    playback->InputOpenAnswered(false);  // the third in a row: stop
    EXPECT_FALSE(w.NextTimer->isActive());
    EXPECT_EQ(player.sent, kStopSequence);
    EXPECT_EQ(statuses.back(), "Unable to play - gone3.mp3");
    EXPECT_TRUE(dialogs.Texts().isEmpty());

    // A song that ends well starts the count afresh; a decode failure counts.
    playback->PlayFile("/m/gone1.mp3");
    playback->InputOpenAnswered(true);
    playback->PlayerStateChanged(3);
    EXPECT_TRUE(w.NextTimer->isActive());
    playback->NextTimerTimer();
    playback->InputOpenAnswered(true);
    playback->DecodeFailed();
    EXPECT_EQ(statuses.back(), "Unable to play - gone2.mp3");
    playback->PlayerStateChanged(3);
    EXPECT_TRUE(w.NextTimer->isActive());
}

TEST_F(PlaybackTest, StopDisarmsTheNextSongEvenForAnEndAlreadyOnItsWay) {
    Add("/m/a.mp3");
    Add("/m/b.mp3");
    // Stop in the half second after the end; then an end notification the
    // engine had sent before it heard the Stop.
    for (const bool endFirst : {true, false}) {
        playback->PlayFile("/m/a.mp3");
        if (endFirst) playback->PlayerStateChanged(3);
        w.bStop->click();
        if (!endFirst) playback->PlayerStateChanged(3);
        player.sent.clear();
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 700) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_FALSE(w.NextTimer->isActive()) << endFirst;
        EXPECT_TRUE(player.sent.empty()) << endFirst;
    }
    // The next file started by hand moves on at its end as before.
    playback->PlayFile("/m/a.mp3");
    playback->PlayerStateChanged(3);
    EXPECT_TRUE(w.NextTimer->isActive());
}

}  // namespace

}  // namespace mv
