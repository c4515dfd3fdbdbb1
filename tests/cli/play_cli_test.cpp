// The built tool's play command on generated MP3s, with a time limit so a
// hang fails the test.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "cli_runner.h"
#include "cli_tree.h"
#include "engine/file_size_limit.h"
#include "engine/wav_file.h"
#include "support/core/mp3_fixture.h"

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;
using namespace std::chrono_literals;

namespace mv {
namespace {

std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream buf;
    buf << in.rdbuf();
    return buf.str();
}

// Lines of the tool's output that start with `prefix`, the prefix cut off.
std::vector<std::string> LinesStarting(const std::string& text, const std::string& prefix) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(prefix, 0) == 0) out.push_back(line.substr(prefix.size()));
    }
    return out;
}

class PlayCliTest : public CliTree {
  protected:
    void SetUp() override {
        if (!fs::exists(fs::path(MV_CLI_PATH).parent_path() / "libmv_xaudio.so")) {
            GTEST_SKIP() << "engine library not built";
        }
        const auto made = test::MakeToneMp3(root_ / "music", 440, 0.5);
        if (!made) GTEST_SKIP() << "sox or lame missing";
        mp3_ = *made;
        original_ = Bytes(mp3_);
    }

    // A tone of its own in a new folder `name`.
    fs::path Tone(const std::string& name, int hertz, double seconds) const {
        fs::create_directories(root_ / name);
        const auto made = test::MakeToneMp3(root_ / name, hertz, seconds);
        return made ? *made : fs::path(root_ / name / "missing.mp3");
    }

    CliRun Play(const std::vector<std::string>& args) const {
        std::vector<std::string> all{"play"};
        all.insert(all.end(), args.begin(), args.end());
        return RunCliWithin(20s, all, Home());
    }

    fs::path mp3_;
    std::string original_;
};

TEST_F(PlayCliTest, AFailingSoundOutputEndsThePlayWithOne) {
    const fs::path wav = root_ / "full.wav";
    const auto playFull = [&](std::vector<std::string> args) {
        test::FileSizeLimit full(16 * 1024);  // the disk fills up soon after the start
        return Play(args);
    };
    const CliRun r = playFull({"--out", "wav:" + wav.string(), mp3_.string()});
    EXPECT_FALSE(r.timedOut) << r.out << r.err;
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_THAT(r.err, HasSubstr(wav.string()));

    // The next file is still tried after one whose output failed.
    const CliRun two = playFull({"--out", "wav:" + wav.string(), mp3_.string(), mp3_.string()});
    EXPECT_FALSE(two.timedOut);
    EXPECT_EQ(two.exitCode, 1);
    EXPECT_EQ(LinesStarting(two.out, "Playing ").size(), 2u);
}

TEST_F(PlayCliTest, AnOutputThatIsNotARegularFileIsRefusedAtOnce) {
    fs::create_directories(root_ / "folder");
    const fs::path lonely = root_ / "lonely.fifo";  // nobody reads it
    const fs::path heard = root_ / "heard.fifo";    // read, but still no file
    ASSERT_EQ(::mkfifo(lonely.c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(heard.c_str(), 0600), 0);
    const int reader = ::open(heard.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const std::vector<std::string> refused{lonely.string(), heard.string(),
                                           (root_ / "folder").string(), "/dev/null",
                                           (root_ / "no" / "such" / "o.wav").string()};
    for (const std::string& out : refused) {
        const CliRun r = RunCliWithin(5s, {"play", "--out", "wav:" + out, mp3_.string()}, Home());
        EXPECT_FALSE(r.timedOut) << out;
        EXPECT_EQ(r.exitCode, 2) << out << r.err;
        EXPECT_THAT(r.err, HasSubstr("play: ")) << out;
        EXPECT_THAT(r.err, HasSubstr(out));
        EXPECT_THAT(r.out, Not(HasSubstr("Playing"))) << out;
    }
    ::close(reader);
    EXPECT_FALSE(fs::exists(root_ / "no"));
}

TEST_F(PlayCliTest, CtrlCAndSigtermEndThePlayWithTheirCodes) {
    const fs::path tone = Tone("long", 440, 3.0);
    for (const auto& [signal, code] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
        CliProcess tool({"play", "--out", "wav:" + (root_ / "cut.wav").string(), tone.string()}, "",
                        Home());
        const auto start = std::chrono::steady_clock::now();
        while (tool.OutSoFar().find("position: ") == std::string::npos &&
               std::chrono::steady_clock::now() - start < 10s) {
            std::this_thread::sleep_for(20ms);
        }
        ::kill(tool.Pid(), signal);
        const CliRun r = tool.Finish(5s);
        EXPECT_FALSE(r.timedOut) << signal;
        EXPECT_EQ(r.exitCode, code) << signal << r.err;
    }
}

TEST_F(PlayCliTest, OneWavHoldsEveryFilePlayedInOrder) {
    // Two songs, then one of another format, converted to the first's.
    const fs::path a = Tone("a", 440, 1.5);
    const fs::path b = Tone("b", 880, 1.0);
    fs::create_directories(root_ / "c");
    const fs::path c = test::MakeToneMp3(root_ / "c", 660, 0.5, 22050, 1).value_or("");
    const fs::path wav = root_ / "all.wav";
    const CliRun r = Play({"--out", "wav:" + wav.string(), a.string(), b.string(), c.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto sound = test::ReadWav(wav);
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->rate, 44100);
    EXPECT_EQ(sound->channels, 2);
    const double seconds = static_cast<double>(sound->Frames()) / 44100;
    EXPECT_GT(seconds, 2.95);
    EXPECT_LT(seconds, 3.15);
    const auto at = [](double s) { return static_cast<size_t>(s * 44100); };
    EXPECT_NEAR(sound->Hertz(at(0.2), at(1.3)), 440, 10);
    EXPECT_NEAR(sound->Hertz(at(1.7), at(2.4)), 880, 15);
    EXPECT_NEAR(sound->Hertz(sound->Frames() - at(0.4), sound->Frames() - at(0.1)), 660, 15);
}

TEST_F(PlayCliTest, TheEqualizerIsGivenAsTheHelpSpellsIt) {
    const CliRun help = Play({"--help"});
    EXPECT_THAT(help.out, HasSubstr("--eq B1,...,B8"));
    EXPECT_THAT(help.out, Not(HasSubstr("INT ...")));
}

TEST_F(PlayCliTest, AnOutputThatIsAnInputFileIsRefused) {
    const fs::path other = *test::MakeToneMp3(root_ / "music", 660, 0.5);
    fs::create_symlink(mp3_, root_ / "link.mp3");
    fs::create_hard_link(mp3_, root_ / "hard.mp3");
    fs::create_directories(root_ / "sub");
    // Every name reaches the first input; the input list names it one way.
    const std::vector<std::pair<std::string, std::string>> cases{
        {mp3_.string(), mp3_.string()},
        {(root_ / "music" / "." / mp3_.filename()).string(), mp3_.string()},
        {(root_ / "sub" / ".." / "music" / mp3_.filename()).string(), mp3_.string()},
        {(root_ / "link.mp3").string(), mp3_.string()},
        {mp3_.string(), (root_ / "link.mp3").string()},
        {(root_ / "hard.mp3").string(), mp3_.string()},
    };
    for (const auto& [out, input] : cases) {
        const CliRun r = Play({"--out", "wav:" + out, other.string(), input});
        EXPECT_FALSE(r.timedOut);
        EXPECT_EQ(r.exitCode, 2) << out;
        EXPECT_THAT(r.err, HasSubstr(input)) << out;
        EXPECT_EQ(r.out, "") << out;
        EXPECT_TRUE(Bytes(mp3_) == original_) << "overwritten through " << out;
    }

    // A new file, or one that is not among the inputs, is written.
    const fs::path wav = root_ / "out.wav";
    const CliRun fresh = Play({"--out", "wav:" + wav.string(), mp3_.string()});
    EXPECT_FALSE(fresh.timedOut);
    EXPECT_EQ(fresh.exitCode, 0) << fresh.err;
    EXPECT_GT(fs::file_size(wav), 44u);
    EXPECT_EQ(Play({"--out", "wav:" + wav.string(), mp3_.string()}).exitCode, 0);
    EXPECT_TRUE(Bytes(mp3_) == original_);
}

TEST_F(PlayCliTest, OutOfRangeSettingsAreRefusedBeforeAnythingPlays) {
    const fs::path wav = root_ / "never.wav";
    const std::vector<std::vector<std::string>> cases{
        {"--volume", "101"},
        {"--volume", "-1"},
        {"--speed", "2001"},
        {"--speed", "-5"},
        {"--eq", "1,2,3"},
        {"--eq", "0,0,0,0,0,0,0,81"},
        {"--eq", "0,0,0,0,0,0,0,0,0"},
        {"--eq", "1", "2", "3", "4", "5", "6", "7", "8"},
        {"--playlist", (root_ / "absent.txt").string()},
        {},
    };
    for (std::vector<std::string> args : cases) {
        args.insert(args.begin(), {"--out", "wav:" + wav.string()});
        if (args.size() > 2 && args[2] != "--playlist") args.push_back(mp3_.string());
        const CliRun r = Play(args);
        EXPECT_FALSE(r.timedOut);
        EXPECT_EQ(r.exitCode, 2) << args[2] << " " << r.err;
        EXPECT_THAT(r.err, HasSubstr("play: "));
        EXPECT_EQ(r.out, "") << r.out;
        EXPECT_FALSE(fs::exists(wav));
    }
}

TEST_F(PlayCliTest, PlaylistEntriesPlayFirstInOrderAndShuffleKeepsEachOnce) {
    const fs::path b = Tone("b", 550, 0.2);
    const fs::path c = Tone("c", 660, 0.2);
    const fs::path d = Tone("d", 770, 0.2);
    const fs::path list = root_ / "list.txt";
    // Display names that are not the files' names, and an unpaired last line.
    std::ofstream(list, std::ios::binary) << "first\r\n"
                                          << c.string() << "\r\nsecond\r\n"
                                          << b.string() << "\r\ndangling\r\n";
    const std::string out = "wav:" + (root_ / "o.wav").string();
    const CliRun ordered = Play({"--out", out, "--playlist", list.string(), d.string()});
    EXPECT_EQ(ordered.exitCode, 0) << ordered.err;
    EXPECT_EQ(LinesStarting(ordered.out, "Playing "),
              (std::vector<std::string>{c.string(), b.string(), d.string()}));

    const CliRun listOnly = Play({"--out", out, "--playlist", list.string()});
    EXPECT_EQ(listOnly.exitCode, 0) << listOnly.err;
    EXPECT_EQ(LinesStarting(listOnly.out, "Playing ").size(), 2u);

    const CliRun shuffled =
        Play({"--out", out, "--shuffle", "--playlist", list.string(), d.string(), mp3_.string()});
    EXPECT_EQ(shuffled.exitCode, 0) << shuffled.err;
    auto played = LinesStarting(shuffled.out, "Playing ");
    std::sort(played.begin(), played.end());
    std::vector<std::string> all{c.string(), b.string(), d.string(), mp3_.string()};
    std::sort(all.begin(), all.end());
    EXPECT_EQ(played, all);
}

TEST_F(PlayCliTest, VolumeAndEqualizerShapeTheSound) {
    const fs::path tone = Tone("long", 440, 1.0);
    const auto rmsOf = [&](std::vector<std::string> args) {
        const fs::path wav = root_ / "shaped.wav";
        args.insert(args.begin(), {"--out", "wav:" + wav.string()});
        args.push_back(tone.string());
        const CliRun r = Play(args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        const auto sound = test::ReadWav(wav);
        EXPECT_TRUE(sound.has_value());
        // The middle of the tone, away from the encoder's ramps.
        return sound ? sound->Rms(sound->Frames() / 4, sound->Frames() * 3 / 4) : 0.0;
    };
    const double plain = rmsOf({});
    ASSERT_GT(plain, 0.1);
    // Volume 50 is a gain of 0.25; -80 .. 80 is +-12 dB, and 440 Hz lies in
    // band 0 (the first slider).
    EXPECT_NEAR(rmsOf({"--volume", "50"}) / plain, 0.25, 0.03);
    EXPECT_NEAR(rmsOf({"--eq", "80,0,0,0,0,0,0,0"}) / plain, 0.25, 0.05);
    EXPECT_NEAR(rmsOf({"--eq=80,0,0,0,0,0,0,0"}) / plain, 0.25, 0.05);
    EXPECT_NEAR(rmsOf({"--eq", "0,0,0,0,0,0,0,80"}) / plain, 1.0, 0.05);
    EXPECT_NEAR(rmsOf({"--speed", "2000"}) / plain, 1.0, 0.1);
}

// The line that names the file playing is one line, and nothing in a name
// reaches the terminal as a control byte.
TEST_F(PlayCliTest, ThePlayingLineEscapesTheNameLikeARow) {
    const fs::path odd = root_ / "music" / "Odd\x1b[2J\nName\\.mp3";
    fs::copy_file(mp3_, odd);
    const fs::path wav = root_ / "odd.wav";
    const CliRun r = Play({"--out", "wav:" + wav.string(), odd.string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(LinesStarting(r.out, "Playing "),
              std::vector<std::string>{(root_ / "music").string() + "/Odd\\x1B[2J\\nName\\\\.mp3"});
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos);
}

}  // namespace

}  // namespace mv
