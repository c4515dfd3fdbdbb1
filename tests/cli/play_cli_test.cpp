// The built tool's play command on generated MP3s, with a time limit so a
// hang fails the test.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "cli_runner.h"
#include "cli_tree.h"
#include "support/core/mp3_fixture.h"

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using namespace std::chrono_literals;

namespace mv {
namespace {

std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream buf;
    buf << in.rdbuf();
    return buf.str();
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

    CliRun Play(const std::vector<std::string>& args) const {
        std::vector<std::string> all{"play"};
        all.insert(all.end(), args.begin(), args.end());
        return RunCliWithin(20s, all, Home());
    }

    fs::path mp3_;
    std::string original_;
};

TEST_F(PlayCliTest, AFailingSoundOutputEndsThePlayWithOne) {
    const CliRun r = Play({"--out", "wav:/dev/full", mp3_.string()});
    EXPECT_FALSE(r.timedOut) << r.out << r.err;
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_THAT(r.err, HasSubstr("/dev/full"));

    // The next file is still tried after one whose output failed.
    const CliRun two = Play({"--out", "wav:/dev/full", mp3_.string(), mp3_.string()});
    EXPECT_FALSE(two.timedOut);
    EXPECT_EQ(two.exitCode, 1);
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

}  // namespace
}  // namespace mv
