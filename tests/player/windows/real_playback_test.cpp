// The playback handlers and the equalizer window driving the real engine,
// its sound written to WAV files: what a user hears, end to end below the
// main window.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>

#include "engine/wav_file.h"
#include "player/engine_library.h"
#include "player/windows/playback_events.h"
#include "player/windows/tf_eq.h"
#include "player/xaudio_player.h"
#include "player_widgets.h"
#include "support/core/mp3_fixture.h"
#include "support/core/scoped_env.h"
#include "support/core/temp_tree.h"

namespace mv {

namespace {

using namespace playertest;
namespace fs = std::filesystem;

bool RunUntil(const std::function<bool()>& done, int limitMs = 8000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < limitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

class RealPlaybackTest : public ::testing::Test {
  protected:
    void SetUp() override {
        mv::test::TestApplication();
        if (!fs::exists(mv::DefaultXaudioPath())) GTEST_SKIP() << "engine library not built";
        if (!mv::test::Mp3ToolsAvailable()) GTEST_SKIP() << "sox or lame missing";
        wav = tree.Path("out.wav");
        output.emplace("MP3VANDREL_AUDIO_OUT", "wav:" + wav);
        player = std::make_unique<mv::TXaudioPlayer>();
        control = std::make_unique<mv::XaudioPlayerControl>(*player);
        PlaybackHooks hooks;
        hooks.showStatus = [this](const QString& s) { statuses.push_back(s.toStdString()); };
        playback =
            std::make_unique<PlaybackHandlers>(w.Playback(), dialogs, playlist, std::move(hooks));
        playback->SetPlayer(control.get());
        mv::ConnectPlaybackEvents(*player, *playback);
        player->Init();
    }
    void TearDown() override {
        playback.reset();
        control.reset();
        player.reset();
        output.reset();
    }

    std::string Tone(const std::string& folder, int hertz, double seconds) {
        const auto made = mv::test::MakeToneMp3(tree.Folder(folder), hertz, seconds);
        return made ? made->string() : std::string();
    }
    void Add(const std::string& path) {
        playlist.push_back({mv::PlaylistDisplayName(path), path});
        w.lPlayList->addItem(QString::fromStdString(playlist.back().name));
    }
    bool Saw(const std::string& status) const {
        return std::find(statuses.begin(), statuses.end(), status) != statuses.end();
    }

    mv::test::TempTree tree;
    std::string wav;
    std::optional<mv::test::ScopedEnv> output;
    PanelWidgets w;
    ScriptedDialogs dialogs;
    mv::Playlist playlist;
    std::vector<std::string> statuses;
    std::unique_ptr<mv::TXaudioPlayer> player;
    std::unique_ptr<mv::XaudioPlayerControl> control;
    std::unique_ptr<PlaybackHandlers> playback;
};

TEST_F(RealPlaybackTest, PausesResumesStopsAndMovesOnAtTheEndOfASong) {
    const std::string a = Tone("a", 440, 1.5);
    const std::string b = Tone("b", 660, 0.3);
    Add(a);
    Add(b);
    playback->PlayFile(a);
    ASSERT_TRUE(RunUntil([&] { return Saw("Playing - " + mv::PlaylistDisplayName(a)); }));
    w.bPause->click();
    EXPECT_TRUE(RunUntil([&] { return statuses.back() == "Paused"; }));
    const int held = w.tbTrack->value();
    RunUntil([] { return false; }, 300);
    EXPECT_EQ(w.tbTrack->value(), held);  // paused: the bar stands
    w.bPause->click();
    EXPECT_TRUE(RunUntil([&] { return w.tbTrack->value() > held; }));

    // The song ends; half a second later the next one plays, to its end.
    QElapsedTimer clock;
    ASSERT_TRUE(RunUntil([&] { return w.NextTimer->isActive(); }));
    clock.start();
    ASSERT_TRUE(RunUntil([&] { return Saw("Playing - " + mv::PlaylistDisplayName(b)); }));
    EXPECT_GE(clock.elapsed(), 400);
    EXPECT_EQ(w.lPlayList->currentRow(), 1);

    w.bStop->click();
    EXPECT_TRUE(RunUntil([&] { return statuses.back() == "Stopped"; }));
    EXPECT_EQ(w.tbTrack->value(), 0);
    EXPECT_FALSE(w.bStop->isEnabled());
}

TEST_F(RealPlaybackTest, SeeksOnlyWhenTheBarIsReleased) {
    const std::string a = Tone("a", 440, 3.0);
    playback->PlayFile(a);
    ASSERT_TRUE(RunUntil([&] { return w.tbTrack->value() > 0; }));
    playback->SeekPress();
    w.tbTrack->setValue(300);
    RunUntil([] { return false; }, 300);
    EXPECT_EQ(w.tbTrack->value(), 300);  // held: positions do not move it
    playback->SeekRelease();
    // Positions now come from three quarters into the song.
    EXPECT_TRUE(RunUntil([&] { return w.tbTrack->value() > 300; }));
    w.bStop->click();
}

TEST_F(RealPlaybackTest, AFileThatIsGoneIsPassedOverAndAPlaylistOfGoneFilesStops) {
    const std::string b = Tone("b", 660, 0.3);
    Add(tree.Path("gone.mp3"));
    Add(b);
    playback->PlayFile(tree.Path("gone.mp3"));
    ASSERT_TRUE(RunUntil([&] { return Saw("Unable to play - gone.mp3"); }));
    EXPECT_TRUE(RunUntil([&] { return Saw("Playing - " + mv::PlaylistDisplayName(b)); }));
    EXPECT_TRUE(dialogs.Texts().isEmpty());

    // Every entry gone: one pass, then quiet.
    w.bStop->click();
    playlist.clear();
    w.lPlayList->clear();
    Add(tree.Path("gone1.mp3"));
    Add(tree.Path("gone2.mp3"));
    statuses.clear();
    playback->PlayFile(tree.Path("gone1.mp3"));
    ASSERT_TRUE(RunUntil([&] { return Saw("Unable to play - gone2.mp3"); }))
        << ::testing::PrintToString(statuses);
    RunUntil([] { return false; }, 1200);
    EXPECT_FALSE(w.NextTimer->isActive());
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), "Unable to play - gone1.mp3"), 1);
}

TEST_F(RealPlaybackTest, TheEqualizerShapesTheTone) {
    const std::string a = Tone("a", 440, 1.0);
    TfEQ eq;
    eq.SetPlayer(control.get());
    const auto rmsOfPlay = [&] {
        statuses.clear();
        playback->PlayFile(a);
        EXPECT_TRUE(RunUntil([&] { return w.NextTimer->isActive(); }));
        w.NextTimer->stop();
        playback->bStopClick();
        RunUntil([] { return false; }, 200);
        // The WAV holds every play: the middle of the last second is this one.
        const auto sound = mv::test::ReadWav(wav);
        EXPECT_TRUE(sound.has_value());
        if (!sound || sound->Frames() < static_cast<size_t>(sound->rate)) return 0.0;
        return sound->Rms(sound->Frames() - sound->rate * 3 / 4, sound->Frames() - sound->rate / 4);
    };
    const double plain = rmsOfPlay();
    ASSERT_GT(plain, 0.1);
    eq.cbEq->click();
    eq.TrackBars[0]->setValue(80);  // bottom end: band 0 (440 Hz) down 12 dB
    EXPECT_NEAR(rmsOfPlay() / plain, 0.25, 0.05);
    eq.TrackBars[0]->setValue(0);
    eq.TrackBars[7]->setValue(80);  // the top bands leave 440 Hz alone
    EXPECT_NEAR(rmsOfPlay() / plain, 1.0, 0.05);
    eq.cbEq->click();  // off
    eq.TrackBars[0]->setValue(80);
    EXPECT_NEAR(rmsOfPlay() / plain, 1.0, 0.05);
}

}  // namespace

}  // namespace mv
