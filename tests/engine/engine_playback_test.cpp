// Plays generated MP3 files through the engine's C entry points into WAV
// files and checks what was heard and what was reported.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <thread>

#include "engine_session.h"
#include "file_size_limit.h"
#include "support/core/mp3_fixture.h"
#include "support/core/temp_tree.h"
#include "wav_file.h"

namespace mv::test {
namespace {

constexpr int kRate = 44100;
// The decoder trims encoder delay and padding; allow one frame either way.
constexpr long kFrameTolerance = 1152;

class EnginePlayback : public ::testing::Test {
  protected:
    // One folder for the whole suite, so each tone is made once and shared.
    static void SetUpTestSuite() { tree_ = new TempTree; }
    static void TearDownTestSuite() {
        delete tree_;
        tree_ = nullptr;
    }
    void SetUp() override {
        if (!Mp3ToolsAvailable()) GTEST_SKIP() << "lame or sox missing";
        wav_ =
            Dir() /
            (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".wav");
    }
    std::filesystem::path Tone(int hertz, double seconds, int rate = kRate, int channels = 2) {
        const auto mp3 = MakeToneMp3(Dir(), hertz, seconds, rate, channels);
        EXPECT_TRUE(mp3.has_value()) << "could not make a " << hertz << " Hz MP3";
        return mp3.value_or(Dir() / "missing.mp3");
    }
    // Opens the file and plays it to its end; the WAV is finished on return.
    std::optional<WavSound> PlayWhole(EngineSession& s, const std::filesystem::path& mp3) {
        EXPECT_TRUE(s.CommandS(XA_CMD_INPUT_OPEN, mp3.string()));
        EXPECT_TRUE(s.Command(XA_CMD_PLAY));
        EXPECT_TRUE(s.WaitForState(XA_PLAYER_STATE_EOS, 10s));
        s.Delete();
        return ReadWav(wav_);
    }

    static std::filesystem::path Dir() { return tree_->Root(); }

    static TempTree* tree_;
    std::filesystem::path wav_;
};

TempTree* EnginePlayback::tree_ = nullptr;

TEST_F(EnginePlayback, PlaysWholeStreamReportingPositionsAndEnd) {
    const auto mp3 = Tone(440, 1.0);
    EngineSession s(wav_);
    ASSERT_TRUE(s.Started());
    ASSERT_TRUE(s.CommandS(XA_CMD_INPUT_OPEN, mp3.string()));
    const auto duration =
        s.WaitFor([](const Record& r) { return r.code == XA_NOTIFY_STREAM_DURATION; }, 1s);
    ASSERT_TRUE(duration);
    EXPECT_NEAR(duration->u32at4, 1000, 30);
    const auto params =
        s.WaitFor([](const Record& r) { return r.code == XA_NOTIFY_STREAM_PARAMETERS; }, 1s);
    ASSERT_TRUE(params);
    EXPECT_EQ(params->u32at4, 44100u);
    EXPECT_EQ(params->u32at8 & 0xffff, 128u);      // kbit/s at 8
    EXPECT_EQ((params->u32at8 >> 16) & 0xff, 2u);  // channels at 10
    s.Mark();

    ASSERT_TRUE(s.Command(XA_CMD_PLAY));
    const auto playing = s.WaitForState(XA_PLAYER_STATE_PLAYING, 1s);
    ASSERT_TRUE(playing);
    const auto end = s.WaitForState(XA_PLAYER_STATE_EOS, 5s);
    ASSERT_TRUE(end);

    // Positions on the range 400, rising, at least four per second of play.
    int positions = 0;
    std::uint32_t last = 0;
    for (const Record& r : s.Records()) {
        if (r.code != XA_NOTIFY_INPUT_POSITION || r.at < playing->at) continue;
        EXPECT_EQ(r.u32at8, 400u);
        EXPECT_GE(r.u32at4, last);
        last = r.u32at4;
        ++positions;
    }
    const double seconds = std::chrono::duration<double>(end->at - playing->at).count();
    EXPECT_GT(seconds, 0.8);  // played in real time, not dumped at once
    EXPECT_GE(positions / seconds, 4.0) << positions << " positions in " << seconds << " s";
    EXPECT_EQ(last, 400u);

    s.Delete();
    const auto wav = ReadWav(wav_);
    ASSERT_TRUE(wav);
    EXPECT_EQ(wav->rate, kRate);
    EXPECT_EQ(wav->channels, 2);
    EXPECT_NEAR(static_cast<long>(wav->Frames()), kRate, kFrameTolerance);
    EXPECT_NEAR(wav->Rms(kRate / 4, kRate * 3 / 4), 0.5 / std::sqrt(2.0), 0.02);
}

TEST_F(EnginePlayback, PauseAndResumeLoseNothing) {
    const auto mp3 = Tone(440, 1.0);
    EngineSession s(wav_);
    ASSERT_TRUE(s.CommandS(XA_CMD_INPUT_OPEN, mp3.string()));
    ASSERT_TRUE(s.Command(XA_CMD_PLAY));
    std::this_thread::sleep_for(300ms);
    s.Mark();
    ASSERT_TRUE(s.Command(XA_CMD_PAUSE));
    ASSERT_TRUE(s.WaitForState(XA_PLAYER_STATE_PAUSED, 1s));
    std::this_thread::sleep_for(300ms);
    // Nothing moves while paused.
    EXPECT_FALSE(
        s.WaitFor([](const Record& r) { return r.code == XA_NOTIFY_INPUT_POSITION; }, 0ms));
    ASSERT_TRUE(s.Command(XA_CMD_PLAY));
    ASSERT_TRUE(s.WaitForState(XA_PLAYER_STATE_PLAYING, 1s));
    ASSERT_TRUE(s.WaitForState(XA_PLAYER_STATE_EOS, 5s));
    s.Delete();
    const auto wav = ReadWav(wav_);
    ASSERT_TRUE(wav);
    EXPECT_NEAR(static_cast<long>(wav->Frames()), kRate, kFrameTolerance);
}

TEST_F(EnginePlayback, SeekToHalfStartsNearTheMiddle) {
    const auto mp3 = Tone(440, 1.0);
    EngineSession s(wav_);
    ASSERT_TRUE(s.CommandS(XA_CMD_INPUT_OPEN, mp3.string()));
    s.Mark();
    ASSERT_TRUE(s.CommandII(XA_CMD_INPUT_SEEK, 200, 400));
    const auto pos =
        s.WaitFor([](const Record& r) { return r.code == XA_NOTIFY_INPUT_POSITION; }, 1s);
    ASSERT_TRUE(pos);
    EXPECT_NEAR(pos->u32at4, 200u, 2u);
    EXPECT_FALSE(s.CommandII(XA_CMD_INPUT_SEEK, 1, 0));  // no range, no seek
    ASSERT_TRUE(s.Command(XA_CMD_PLAY));
    ASSERT_TRUE(s.WaitForState(XA_PLAYER_STATE_EOS, 5s));
    s.Delete();
    const auto wav = ReadWav(wav_);
    ASSERT_TRUE(wav);
    EXPECT_NEAR(static_cast<long>(wav->Frames()), kRate / 2, kFrameTolerance);
}

TEST_F(EnginePlayback, StopSilencesAndRewinds) {
    const auto mp3 = Tone(440, 1.0);
    EngineSession s(wav_);
    ASSERT_TRUE(s.CommandS(XA_CMD_INPUT_OPEN, mp3.string()));
    ASSERT_TRUE(s.Command(XA_CMD_PLAY));
    std::this_thread::sleep_for(200ms);
    s.Mark();
    ASSERT_TRUE(s.Command(XA_CMD_STOP));
    ASSERT_TRUE(s.WaitForState(XA_PLAYER_STATE_STOPPED, 1s));
    const auto pos =
        s.WaitFor([](const Record& r) { return r.code == XA_NOTIFY_INPUT_POSITION; }, 1s);
    ASSERT_TRUE(pos);
    EXPECT_EQ(pos->u32at4, 0u);
    std::this_thread::sleep_for(200ms);
    // The way the program leaves a song, then the output is gone.
    ASSERT_TRUE(s.Command(XA_CMD_INPUT_CLOSE));
    ASSERT_TRUE(s.Command(XA_CMD_OUTPUT_CLOSE));
    const auto wav = ReadWav(wav_);
    ASSERT_TRUE(wav);
    EXPECT_GT(wav->Frames(), static_cast<std::size_t>(kRate / 10));
    EXPECT_LT(wav->Frames(), static_cast<std::size_t>(kRate / 2));
    // Commands that need a song are refused once it is closed.
    EXPECT_FALSE(s.Command(XA_CMD_PLAY));
    EXPECT_FALSE(s.Command(XA_CMD_PAUSE));
}

TEST_F(EnginePlayback, OutputReopensAtNextPlayAfterClose) {
    const auto mp3 = Tone(440, 0.3);
    EngineSession s(wav_);
    ASSERT_TRUE(s.CommandS(XA_CMD_INPUT_OPEN, mp3.string()));
    ASSERT_TRUE(s.Command(XA_CMD_PLAY));
    ASSERT_TRUE(s.WaitForState(XA_PLAYER_STATE_EOS, 5s));
    ASSERT_TRUE(s.Command(XA_CMD_OUTPUT_CLOSE));
    std::filesystem::remove(wav_);
    s.Mark();
    ASSERT_TRUE(s.Command(XA_CMD_PLAY));  // from the start again, after the end
    ASSERT_TRUE(s.WaitForState(XA_PLAYER_STATE_EOS, 5s));
    s.Delete();
    const auto wav = ReadWav(wav_);
    ASSERT_TRUE(wav);
    EXPECT_NEAR(static_cast<long>(wav->Frames()), kRate * 3 / 10, kFrameTolerance);
}

TEST_F(EnginePlayback, FormatChangeInsideAStreamRestartsTheOutput) {
    // Two songs glued into one file: stereo 44.1 kHz, then mono 22.05 kHz.
    // Fed to the first format, the second part would play at the wrong speed
    // with its samples split over two channels.
    const auto glued = Dir() / "glued.mp3";
    {
        std::ofstream out(glued, std::ios::binary);
        for (const auto& part : {Tone(440, 0.3), Tone(300, 0.5, 22050, 1)}) {
            std::ifstream in(part, std::ios::binary);
            out << in.rdbuf();
        }
    }
    EngineSession s(wav_);
    const auto wav = PlayWhole(s, glued);
    // A WAV file keeps its first format: the second part is converted to it,
    // at its own length and pitch, the same on both channels.
    ASSERT_TRUE(wav);
    EXPECT_EQ(wav->rate, kRate);
    EXPECT_EQ(wav->channels, 2);
    EXPECT_GE(static_cast<long>(wav->Frames()), kRate * 8 / 10 - 1152);
    EXPECT_LE(static_cast<long>(wav->Frames()), kRate * 8 / 10 + 4 * 1152);
    const std::size_t end = wav->Frames();
    EXPECT_NEAR(wav->Hertz(end - kRate * 4 / 10, end - kRate / 10), 300, 10);
    EXPECT_EQ(wav->samples[2 * (end - kRate / 5)], wav->samples[2 * (end - kRate / 5) + 1]);
}

TEST_F(EnginePlayback, VolumeFollowsTheSquareCurve) {
    const auto mp3 = Tone(440, 0.5);
    double rms[3] = {0, 0, 0};
    const int volumes[3] = {100, 50, 0};
    for (int i = 0; i < 3; ++i) {
        EngineSession s(wav_);
        ASSERT_TRUE(s.CommandIII(XA_CMD_SET_OUTPUT_VOLUME, -1, volumes[i], -1));
        const auto wav = PlayWhole(s, mp3);
        ASSERT_TRUE(wav);
        rms[i] = wav->Rms(kRate / 10, kRate * 4 / 10);
    }
    EXPECT_NEAR(rms[0], 0.5 / std::sqrt(2.0), 0.02);
    EXPECT_NEAR(rms[1] / rms[0], 0.25, 0.01);
    EXPECT_EQ(rms[2], 0.0);

    EngineSession s(wav_);
    EXPECT_FALSE(s.CommandIII(XA_CMD_SET_OUTPUT_VOLUME, -1, 101, -1));
}

TEST_F(EnginePlayback, DoubleSpeedHalvesTheDuration) {
    const auto mp3 = Tone(440, 1.0);
    EngineSession s(wav_);
    ASSERT_TRUE(s.CommandSI(XA_CMD_SET_PLAYER_ENVIRONMENT_INTEGER, XA_ENV_PITCH, 2000));
    ASSERT_TRUE(s.CommandSI(XA_CMD_SET_PLAYER_ENVIRONMENT_INTEGER, XA_ENV_WINDOW, 12345));
    const auto wav = PlayWhole(s, mp3);
    ASSERT_TRUE(wav);
    EXPECT_NEAR(static_cast<long>(wav->Frames()), kRate / 2, kFrameTolerance);
}

TEST_F(EnginePlayback, EqualizerCutsLowBandsOnly) {
    XA_EqualizerInfo cutLow{};
    for (int band = 0; band < 4; ++band) cutLow.left[band] = cutLow.right[band] = -80;
    auto level = [&](int hertz, const XA_EqualizerInfo* eq) {
        EngineSession s(wav_);
        EXPECT_TRUE(s.CommandP(XA_CMD_SET_CODEC_EQUALIZER, eq));
        const auto wav = PlayWhole(s, Tone(hertz, 0.4));
        return wav ? wav->Rms(kRate / 10, kRate * 3 / 10) : -1.0;
    };
    const double low = level(100, &cutLow) / level(100, nullptr);
    const double high = level(5000, &cutLow) / level(5000, nullptr);
    EXPECT_NEAR(low, 0.25, 0.06);  // -12 dB
    EXPECT_NEAR(high, 1.0, 0.05);
}

TEST_F(EnginePlayback, EqualizerIsReportedBack) {
    XA_EqualizerInfo eq{};
    eq.left[3] = -40;
    eq.right[31] = 80;
    EngineSession s(wav_);
    ASSERT_TRUE(s.CommandP(XA_CMD_SET_CODEC_EQUALIZER, &eq));
    eq.left[3] = 0;  // the engine copied the record when it was sent
    s.Mark();
    ASSERT_TRUE(s.Command(XA_CMD_GET_CODEC_EQUALIZER));
    auto r = s.WaitFor([](const Record& r) { return r.code == XA_NOTIFY_CODEC_EQUALIZER; }, 1s);
    ASSERT_TRUE(r && r->equalizer);
    EXPECT_EQ(r->equalizer->left[3], -40);
    EXPECT_EQ(r->equalizer->right[31], 80);

    ASSERT_TRUE(s.CommandP(XA_CMD_SET_CODEC_EQUALIZER, nullptr));
    ASSERT_TRUE(s.Command(XA_CMD_GET_CODEC_EQUALIZER));
    r = s.WaitFor([](const Record& r) { return r.code == XA_NOTIFY_CODEC_EQUALIZER; }, 1s);
    ASSERT_TRUE(r && r->equalizer);
    EXPECT_EQ(r->equalizer->left[3], 0);
    EXPECT_EQ(r->equalizer->right[31], 0);
}

TEST_F(EnginePlayback, BadInputsGiveErrorsAndNoState) {
    const auto text = Dir() / "notes.mp3";
    std::ofstream(text) << "This is a text file, not a song.\n";
    const auto fifo = Dir() / "pipe.mp3";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto dirNamedMp3 = Dir() / "folder.mp3";
    std::filesystem::create_directories(dirNamedMp3);

    EngineSession s(wav_);
    for (const auto& bad : {text, Dir() / "missing.mp3", fifo, dirNamedMp3}) {
        s.Mark();
        EXPECT_FALSE(s.CommandS(XA_CMD_INPUT_OPEN, bad.string())) << bad;
        const auto error = s.WaitFor([](const Record& r) { return r.code == XA_NOTIFY_ERROR; }, 1s);
        ASSERT_TRUE(error) << bad;
        EXPECT_EQ(error->u8at4, XA_SOURCE_INPUT);
        EXPECT_LT(error->s16at6, 0);
        EXPECT_NE(error->text8.find(bad.filename().string()), std::string::npos) << error->text8;
        EXPECT_FALSE(s.Command(XA_CMD_PLAY));
    }
    // The player still works after all that.
    EXPECT_TRUE(s.CommandS(XA_CMD_INPUT_OPEN, Tone(440, 0.3).string()));
}

TEST_F(EnginePlayback, DefaultOutputAnswersWithOrWithoutSound) {
    // Machines without a sound server or card must get a refusal, not a hang;
    // where there is sound, this plays silently.
    EngineSession s({});
    ASSERT_TRUE(s.CommandIII(XA_CMD_SET_OUTPUT_VOLUME, -1, 0, -1));
    ASSERT_TRUE(s.CommandS(XA_CMD_INPUT_OPEN, Tone(440, 0.3).string()));
    s.Mark();
    if (s.Command(XA_CMD_PLAY, 10s)) {
        EXPECT_TRUE(s.WaitForState(XA_PLAYER_STATE_EOS, 5s));
    } else {
        const auto error =
            s.WaitFor([](const Record& r) { return r.code == XA_NOTIFY_ERROR; }, 0ms);
        ASSERT_TRUE(error);
        EXPECT_EQ(error->u8at4, XA_SOURCE_OUTPUT);
        EXPECT_FALSE(s.WaitFor(
            [](const Record& r) {
                return r.code == XA_NOTIFY_PLAYER_STATE && r.u8at4 == XA_PLAYER_STATE_PLAYING;
            },
            0ms));
    }
}

TEST_F(EnginePlayback, OutputFailingWhilePlayingStopsWithAnError) {
    const auto mp3 = Tone(440, 1.0);
    FileSizeLimit full(16 * 1024);  // the disk fills up after a tenth of a second
    EngineSession s(wav_);
    ASSERT_TRUE(s.CommandS(XA_CMD_INPUT_OPEN, mp3.string()));
    s.Mark();
    ASSERT_TRUE(s.Command(XA_CMD_PLAY));
    const auto error = s.WaitFor([](const Record& r) { return r.code == XA_NOTIFY_ERROR; }, 2s);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->u8at4, XA_SOURCE_OUTPUT);
    EXPECT_TRUE(s.WaitForState(XA_PLAYER_STATE_STOPPED, 1s));
}

TEST_F(EnginePlayback, DeletingWhilePlayingEndsCleanly) {
    const auto mp3 = Tone(440, 1.0);
    for (int i = 0; i < 3; ++i) {
        EngineSession s(wav_);
        ASSERT_TRUE(s.CommandS(XA_CMD_INPUT_OPEN, mp3.string()));
        ASSERT_TRUE(s.Command(XA_CMD_PLAY));
        ASSERT_TRUE(s.WaitForState(XA_PLAYER_STATE_PLAYING, 1s));
        std::this_thread::sleep_for(std::chrono::milliseconds(40 * i));
        control_message_send_II(s.Player(), XA_CMD_INPUT_SEEK, 100, 400);
        control_message_send_N(s.Player(), XA_CMD_PAUSE);
        s.Delete();  // with commands possibly still queued
        const auto wav = ReadWav(wav_);
        EXPECT_TRUE(wav) << "the WAV file was not finished";
    }
}

}  // namespace
}  // namespace mv::test
