// The times the player shows: the text for a handful of lengths and places,
// the label beside the position bar as the song plays and the bar is dragged,
// and the playlist's lengths read from a real MP3 on a worker.
#include "player/play_time.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <atomic>

#include "player/windows/playlist_lengths.h"
#include "player_widgets.h"
#include "support/core/mp3_fixture.h"
#include "support/core/temp_tree.h"

namespace mv {

namespace {

using namespace playertest;

TEST(PlayTimeText, TableOfLengths) {
    const struct {
        int64_t ms;
        const char* text;
    } cases[] = {
        {0, "0:00"},        {-5, "0:00"},         {999, "0:00"},        {1000, "0:01"},
        {59999, "0:59"},    {60000, "1:00"},      {185500, "3:05"},     {599000, "9:59"},
        {3599999, "59:59"}, {3600000, "1:00:00"}, {3725000, "1:02:05"}, {36000000, "10:00:00"},
    };
    for (const auto& c : cases) EXPECT_EQ(mv::PlayTimeText(c.ms), c.text) << c.ms;
}

TEST(PositionTimeText, TableOfPlaces) {
    const struct {
        int position, range;
        int64_t durationMs;
        const char* text;
    } cases[] = {
        {0, 400, 0, "0:00 / 0:00"},    // nothing plays
        {200, 400, 0, "0:00 / 0:00"},  // no length known yet
        {0, 400, 185000, "0:00 / 3:05"},
        {200, 400, 185000, "1:32 / 3:05"},
        {400, 400, 185000, "3:05 / 3:05"},
        {500, 400, 185000, "3:05 / 3:05"},
        {-3, 400, 185000, "0:00 / 3:05"},
        {1, 0, 185000, "0:00 / 3:05"},
        {100, 400, 4000000, "0:16:40 / 1:06:40"},  // the hour form on both sides
        {399, 400, 3600000, "0:59:51 / 1:00:00"},
        // A long song on a fine range does not overflow.
        {1999999, 2000000, 359999000, "99:59:58 / 99:59:59"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(mv::PositionTimeText(c.position, c.range, c.durationMs), c.text)
            << c.position << "/" << c.range << " of " << c.durationMs;
    }
}

class TimeLabelTest : public ::testing::Test {
  protected:
    TimeLabelTest() {
        mv::test::TestApplication();
        lTime = new QLabel(w.window.get());
        PlaybackWidgets widgets = w.Playback();
        widgets.lTime = lTime;
        playback = std::make_unique<PlaybackHandlers>(widgets, dialogs, playlist, PlaybackHooks{});
        playback->SetPlayer(&player);
    }
    std::string Time() const { return lTime->text().toStdString(); }

    PanelWidgets w;
    QLabel* lTime = nullptr;
    ScriptedDialogs dialogs;
    mv::Playlist playlist;
    RecordingPlayer player;
    std::unique_ptr<PlaybackHandlers> playback;
};

TEST_F(TimeLabelTest, FollowsPlaybackAndTheDragAndEmptiesOnStop) {
    EXPECT_EQ(Time(), "0:00 / 0:00");
    playback->PlayFile("/m/a.mp3");
    playback->PlayerStateChanged(mv::kStatePlaying);
    playback->StreamDurationChanged(185000);
    EXPECT_EQ(Time(), "0:00 / 3:05");
    playback->InputPositionChanged(200, 400);
    EXPECT_EQ(Time(), "1:32 / 3:05");

    // While the user drags, the label follows the hand, not the engine.
    playback->SeekPress();
    w.tbTrack->setValue(100);
    EXPECT_EQ(Time(), "0:46 / 3:05");
    playback->InputPositionChanged(300, 400);
    EXPECT_EQ(Time(), "0:46 / 3:05");
    playback->SeekRelease();
    playback->InputPositionChanged(104, 400);
    EXPECT_EQ(Time(), "0:48 / 3:05");

    // A new song shows no stale total until the engine gives its own.
    playback->PlayFile("/m/b.mp3");
    playback->InputPositionChanged(0, 400);
    EXPECT_EQ(Time(), "0:00 / 0:00");
    playback->StreamDurationChanged(4000000);
    playback->InputPositionChanged(100, 400);
    EXPECT_EQ(Time(), "0:16:40 / 1:06:40");

    playback->PlayerStateChanged(mv::kStateStopped);
    EXPECT_EQ(Time(), "0:00 / 0:00");
}

bool WaitFor(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 20000) QCoreApplication::processEvents();
    return done();
}

TEST(PlaylistLengthsTest, RealFileShowsItsLengthOnceAndTheRowTextStays) {
    mv::test::TestApplication();
    if (!mv::test::Mp3ToolsAvailable()) GTEST_SKIP() << "sox or lame missing";
    mv::test::TempTree tree;
    const auto mp3 = mv::test::MakeToneMp3(tree.Root(), 440, 3.0);
    ASSERT_TRUE(mp3.has_value());
    const std::string song = mp3->string();
    const std::string missing = tree.Path("gone.mp3");

    PanelWidgets w;
    mv::Playlist playlist;
    std::atomic<int> reads{0};
    PlaylistLengthsHooks hooks;
    hooks.gather = [&reads](const mv::FactsBatchParams& params) {
        reads += static_cast<int>(params.paths.size());
        return mv::GatherFacts(params);
    };
    PlaylistLengths lengths(w.lPlayList, playlist, std::move(hooks));
    lengths.SetCacheFile(tree.Path("facts.sqlite"));
    // The row first, then the entry, as the restored playlist comes in.
    for (const std::string& path : {song, missing}) {
        w.lPlayList->addItem(QString::fromStdString(mv::PlaylistDisplayName(path)));
        playlist.push_back({mv::PlaylistDisplayName(path), path});
    }
    ASSERT_TRUE(WaitFor([&] { return !lengths.LengthText(0).isEmpty(); }));
    EXPECT_EQ(lengths.LengthText(0).toStdString(), "0:03");
    EXPECT_EQ(w.lPlayList->item(0)->text().toStdString(), mv::PlaylistDisplayName(song));
    ASSERT_TRUE(WaitFor([&] { return !lengths.Reading(); }));
    EXPECT_EQ(lengths.LengthText(1).toStdString(), "");

    // The file leaves and comes back: its length shows without a second read.
    delete w.lPlayList->takeItem(0);
    playlist.erase(playlist.begin());
    playlist.push_back({mv::PlaylistDisplayName(song), song});
    w.lPlayList->addItem(QString::fromStdString(mv::PlaylistDisplayName(song)));
    ASSERT_TRUE(WaitFor([&] { return !lengths.LengthText(1).isEmpty(); }));
    EXPECT_EQ(lengths.LengthText(1).toStdString(), "0:03");
    EXPECT_EQ(reads.load(), 2);
    EXPECT_EQ(lengths.LengthText(0).toStdString(), "");
}

}  // namespace

}  // namespace mv
