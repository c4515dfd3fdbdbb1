// The component and the play command against the real engine library,
// which the build puts beside the test executable. Sound goes to WAV files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "cli/play_command.h"
#include "player/engine_library.h"
#include "player/xaudio_player.h"
#include "support/core/scoped_env.h"
#include "support/core/tone_fixture.h"
#include "support/widgets/test_application.h"

namespace mv {
namespace {

using ::testing::HasSubstr;

// Sends the engine's sound to a WAV file while in scope.
class WavOutput {
  public:
    explicit WavOutput(const std::filesystem::path& wav)
        : env_("MP3VANDREL_AUDIO_OUT", "wav:" + wav.string()) {}

  private:
    test::ScopedEnv env_;
};

class RealEngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        mv::test::TestApplication();
        if (!std::filesystem::exists(DefaultXaudioPath())) {
            GTEST_SKIP() << "engine library not built";
        }
        if (tone.mp3.empty()) {
            GTEST_SKIP() << "sox or lame missing";
        }
    }

    ToneFixture tone;
};

TEST_F(RealEngineTest, PlaysAGeneratedMp3IntoAWavFile) {
    const auto wav = tone.dir / "out.wav";
    std::vector<int> states;
    uint32_t lastRange = 0;
    {
        WavOutput output(wav);
        TXaudioPlayer player;
        player.OnNotifyPlayerState = [&](XaudioComponent&, int32_t state) {
            states.push_back(state);
        };
        player.OnNotifyInputPosition = [&](XaudioComponent&, uint32_t, uint32_t range) {
            lastRange = range;
        };
        player.Init();
        EXPECT_EQ(player.GetVersion(2) & 0xFFFF00u, 0x030800u);
        player.InputOpen(tone.mp3.string());
        player.Play();

        QElapsedTimer timer;
        timer.start();
        while (std::find(states.begin(), states.end(), 3) == states.end() &&
               timer.elapsed() < 15000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
    }  // the engine finishes the WAV file when it ends
    const auto playing = std::find(states.begin(), states.end(), 1);
    ASSERT_NE(playing, states.end());
    EXPECT_NE(std::find(playing, states.end(), 3), states.end());
    EXPECT_EQ(lastRange, 400u);
    ASSERT_TRUE(std::filesystem::exists(wav));
    // One second of 16-bit stereo at 44.1 kHz, give or take the codec's padding.
    EXPECT_GT(std::filesystem::file_size(wav), 150000u);
}

// What the program sets through the component comes back from the real engine
// as that setting's own event: both sides agree on each command's code and on
// the order of its arguments.
TEST_F(RealEngineTest, EachSettingComesBackAsItsOwnEvent) {
    WavOutput output(tone.dir / "settings.wav");
    TXaudioPlayer player;
    std::map<std::string, int64_t> got;
    std::vector<int> refused;
    player.OnNotifyNack = [&](XaudioComponent&, uint8_t command, int16_t) {
        refused.push_back(command);
    };
    player.OnNotifyPlayerMode = [&](XaudioComponent&, int32_t v) { got["mode"] = v; };
    player.OnNotifyInputPositionRange = [&](XaudioComponent&, int32_t v) { got["range"] = v; };
    player.OnNotifyInputTimecodeGranularity = [&](XaudioComponent&, uint32_t v) {
        got["granularity"] = v;
    };
    player.OnNotifyOutputPorts = [&](XaudioComponent&, uint32_t v) { got["ports"] = v; };
    player.OnNotifyCodecQuality = [&](XaudioComponent&, uint8_t v) { got["quality"] = v; };
    player.OnNotifyDebugLevel = [&](XaudioComponent&, uint8_t v) { got["debug"] = v; };
    player.OnNotifyPlayerEnvironmentInteger = [&](XaudioComponent&, const std::string& name,
                                                  int32_t v) { got[name] = v; };
    player.OnNotifyOutputVolume = [&](XaudioComponent&, uint8_t master, uint8_t pcm, uint8_t) {
        got["master"] = master;
        got["pcm"] = pcm;
    };
    player.Init();

    struct Setting {
        std::string name;
        std::function<void()> set, get;
        int64_t value;
    };
    const Setting settings[] = {
        {"mode", [&] { player.SetPlayerMode(7); }, [&] { player.GetPlayerMode(); }, 7},
        {"range", [&] { player.SetInputPositionRange(1000); },
         [&] { player.GetInputPositionRange(); }, 1000},
        {"granularity", [&] { player.SetInputTimecodeGranularity(250); },
         [&] { player.GetInputTimecodeGranularity(); }, 250},
        {"ports", [&] { player.SetOutputPorts(3); }, [&] { player.GetOutputPorts(); }, 3},
        {"quality", [&] { player.SetCodecQuality(2); }, [&] { player.GetCodecQuality(); }, 2},
        {"debug", [&] { player.SetDebugLevel(4); }, [&] { player.GetDebugLevel(); }, 4},
        {XA_ENV_PITCH, [&] { player.SetPlayerEnvironmentInteger(XA_ENV_PITCH, 1500); },
         [&] { player.GetPlayerEnvironmentInteger(XA_ENV_PITCH); }, 1500},
        {"master", [&] { player.SetOutputVolume(80, 40, -1); }, [&] { player.GetOutputVolume(); },
         80},
        {"pcm", [] {}, [&] { player.GetOutputVolume(); }, 40},
    };
    for (const Setting& s : settings) {
        got.erase(s.name);
        s.set();
        s.get();
        QElapsedTimer timer;
        timer.start();
        while (!got.count(s.name) && timer.elapsed() < 3000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        ASSERT_TRUE(got.count(s.name)) << s.name;
        EXPECT_EQ(got[s.name], s.value) << s.name;
    }
    EXPECT_THAT(refused, ::testing::IsEmpty());
}

TEST_F(RealEngineTest, DestroyingThePlayerMidSongEndsCleanly) {
    WavOutput output(tone.dir / "cut.wav");
    QElapsedTimer timer;
    timer.start();
    {
        TXaudioPlayer player;
        bool playing = false;
        player.OnNotifyPlayerState = [&](XaudioComponent&, int32_t state) {
            playing = playing || state == 1;
        };
        player.Init();
        player.InputOpen(tone.mp3.string());
        player.Play();
        while (!playing && timer.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        ASSERT_TRUE(playing);
    }  // the decoder thread must stop and be joined here, mid-song
    EXPECT_LT(timer.elapsed(), 3000);
}

TEST_F(RealEngineTest, PlayCommandGoesOnPastAFileThatCannotBeOpened) {
    const auto wav = tone.dir / "cli.wav";
    // The command sets the engine's output for its process; the guard takes it back.
    const auto output = test::ScopedEnv::Unset("MP3VANDREL_AUDIO_OUT");
    std::atomic<bool> stop{false};
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const int result = RunPlayCommand({(tone.dir / "missing.mp3").string(), tone.mp3.string()},
                                      "wav:" + wav.string(), stop);
    const std::string out = ::testing::internal::GetCapturedStdout();
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(result, 1);
    EXPECT_THAT(err, HasSubstr("missing.mp3"));
    EXPECT_THAT(out, HasSubstr("state: playing (1)"));
    EXPECT_THAT(out, HasSubstr("position: 400/400"));
    EXPECT_THAT(out, HasSubstr("state: end of stream (3)"));
    EXPECT_TRUE(std::filesystem::exists(wav));
}

TEST_F(RealEngineTest, PlayCommandStopsWhenAsked) {
    const auto output = test::ScopedEnv::Unset("MP3VANDREL_AUDIO_OUT");
    std::atomic<bool> stop{true};
    ::testing::internal::CaptureStdout();
    const int result =
        RunPlayCommand({tone.mp3.string()}, "wav:" + (tone.dir / "s.wav").string(), stop);
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(result, 130);
    EXPECT_THAT(out, HasSubstr("Stopped"));
    EXPECT_THAT(out, ::testing::Not(HasSubstr("end of stream")));
}

}  // namespace
}  // namespace mv
