#include "media/facts_batch.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "media_fixture.h"
#include "support/core/scoped_env.h"
#include "support/core/temp_tree.h"

namespace mv {
namespace {

class FactsBatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!test::Mp3ToolsAvailable()) GTEST_SKIP() << "sox or lame missing";
        low = test::SweepMp3(tree.Path("work"), "-b 128", 1.0);
        high = test::SweepMp3(tree.Path("work"), "-b 192", 1.0);
        ASSERT_TRUE(low && high);
    }
    std::string Song(const std::string& name, const std::string& bytes) {
        return test::WriteBytes(tree.Path("music/" + name), bytes);
    }
    test::TempTree tree;
    std::optional<std::string> low, high;
};

// Only both files of a pair of audio parts of one length are hashed.
TEST_F(FactsBatchTest, HashesOnlyPairsThatCanBeEqual) {
    const auto a = Song("a.mp3", *low);
    const auto tagged = Song("a tagged.mp3", test::Id3v2Tag("Title") + *low + test::TagBlock("T"));
    const auto b = Song("b.mp3", *high);
    const auto c = Song("c.mp3", *low);
    const auto text = Song("d.mp3", "no audio here");
    FactsBatchParams params;
    params.paths = {a, tagged, a, b, c, tree.Path("gone.mp3"), text, c};
    params.pairs = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {9, 0}};
    params.threads = 2;
    const FactsBatchResult result = GatherFacts(params);
    EXPECT_FALSE(result.stopped);
    ASSERT_EQ(result.facts.size(), 6u);  // each distinct path once
    EXPECT_TRUE(result.facts.at(a).audioHash);
    EXPECT_TRUE(result.facts.at(tagged).audioHash);
    EXPECT_EQ(SameAudio(result.facts.at(a), result.facts.at(tagged)), true);
    EXPECT_FALSE(result.facts.at(b).audioHash);
    EXPECT_FALSE(result.facts.at(c).audioHash);
    EXPECT_EQ(result.facts.at(tree.Path("gone.mp3")).status, FactsStatus::Unreadable);
    EXPECT_EQ(result.facts.at(text).status, FactsStatus::NotMpegAudio);
}

// A warm run takes the stored facts: a file rewritten in place with its old
// size and time keeps its old identity until its time changes.
TEST_F(FactsBatchTest, AWarmRunTrustsTheCacheByKey) {
    const auto song = Song("song.mp3", *low);
    FactsBatchParams params;
    params.paths = {song};
    params.hash = HashWhich::All;
    params.cacheFile = tree.Path("cache/facts.sqlite");
    const auto cold = GatherFacts(params).facts.at(song);
    ASSERT_TRUE(cold.audioHash);
    struct stat before {};
    ASSERT_EQ(::stat(song.c_str(), &before), 0);
    std::string changed = *low;
    changed[changed.size() / 2] ^= 0x55;
    {
        std::fstream out(song, std::ios::in | std::ios::out | std::ios::binary);
        out.write(changed.data(), static_cast<std::streamsize>(changed.size()));
    }
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, song.c_str(), times, 0), 0);
    const FactsBatchResult warm = GatherFacts(params);
    EXPECT_TRUE(warm.cacheProblem.empty()) << warm.cacheProblem;
    EXPECT_EQ(warm.facts.at(song).audioHash, cold.audioHash);
    const timespec later[2] = {before.st_atim, {before.st_mtim.tv_sec + 5, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, song.c_str(), later, 0), 0);
    EXPECT_NE(GatherFacts(params).facts.at(song).audioHash, cold.audioHash);
}

// Progress comes on the calling thread, from the first file to the last;
// false stops the batch with the facts read so far, each of them whole.
TEST_F(FactsBatchTest, ReportsProgressAndStops) {
    FactsBatchParams params;
    for (int i = 0; i < 2000; ++i) {
        params.paths.push_back(Song("many/" + std::to_string(i) + ".mp3", *low));
    }
    params.hash = HashWhich::All;
    const auto caller = std::this_thread::get_id();
    struct Call {
        std::size_t done, total;
        bool onCaller;
    };
    for (const std::size_t stopAt : {std::size_t{1}, std::size_t{2}, std::size_t{0}}) {
        SCOPED_TRACE(stopAt);
        std::vector<Call> calls;
        params.progress = [&](std::size_t done, std::size_t total) {
            calls.push_back({done, total, std::this_thread::get_id() == caller});
            return calls.size() != stopAt;
        };
        const FactsBatchResult result = GatherFacts(params);
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(result.stopped, stopAt != 0);
        for (std::size_t i = 0; i < calls.size(); ++i) {
            EXPECT_TRUE(calls[i].onCaller);
            EXPECT_EQ(calls[i].total, 2000u);
            if (i > 0) {
                EXPECT_GE(calls[i].done, calls[i - 1].done);
            }
        }
        EXPECT_EQ(calls.front().done, 0u);
        if (stopAt == 1) {  // stopped before any read
            EXPECT_TRUE(result.facts.empty());
        }
        if (stopAt == 0) {
            EXPECT_EQ(calls.back().done, 2000u);
            EXPECT_EQ(result.facts.size(), 2000u);
        }
        if (stopAt != 0) {
            EXPECT_EQ(calls.size(), stopAt);
        }
        for (const auto& [path, facts] : result.facts) {
            EXPECT_EQ(facts.status, FactsStatus::Audio) << path;
            EXPECT_TRUE(facts.audioHash) << path;
        }
    }
}

TEST(FactsCachePathTest, FollowsTheCacheHome) {
    const test::ScopedEnv home("HOME", "/home/someone");
    {
        const test::ScopedEnv xdg("XDG_CACHE_HOME", "/var/cache/me");
        EXPECT_EQ(DefaultFactsCachePath(), "/var/cache/me/mp3vandrel/facts.sqlite");
    }
    {
        const test::ScopedEnv xdg("XDG_CACHE_HOME", "relative/cache");
        EXPECT_EQ(DefaultFactsCachePath(), "/home/someone/.cache/mp3vandrel/facts.sqlite");
    }
    const test::ScopedEnv noXdg = test::ScopedEnv::Unset("XDG_CACHE_HOME");
    EXPECT_EQ(DefaultFactsCachePath(), "/home/someone/.cache/mp3vandrel/facts.sqlite");
}

}  // namespace
}  // namespace mv
