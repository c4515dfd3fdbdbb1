#include "media/facts_cache.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "media/facts_batch.h"
#include "media_fixture.h"
#include "support/core/temp_tree.h"

namespace mv {
namespace {

class FactsCacheTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!test::Mp3ToolsAvailable()) GTEST_SKIP() << "sox or lame missing";
        audio = test::SweepMp3(tree.Path("work"), "-b 128", 1.0);
        ASSERT_TRUE(audio);
        song = test::WriteBytes(tree.Path("music/song.mp3"), *audio + test::TagBlock("T"));
    }
    MediaFacts Read(const std::string& path, FileKey* key) {
        return ReadMediaFactsKeyed(path, true, key);
    }
    test::TempTree tree;
    std::optional<std::string> audio;
    std::string song;
};

TEST_F(FactsCacheTest, HitsOnlyWhileInodeSizeAndTimeHold) {
    const auto file = tree.Path("cache/deep/facts.sqlite");
    FileKey key;
    const MediaFacts facts = Read(song, &key);
    {
        FactsCache cache(file);
        ASSERT_TRUE(cache.Usable()) << cache.Problem();
        ASSERT_TRUE(cache.Store({{song, key, facts}}));
    }
    FactsCache cache(file);  // a second opening finds what the first stored
    const auto hit = cache.Lookup(song, key);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->audioHash, facts.audioHash);
    EXPECT_EQ(hit->audioLength, facts.audioLength);
    EXPECT_EQ(hit->durationMs, facts.durationMs);
    EXPECT_EQ(hit->id3v1, true);
    EXPECT_EQ(hit->bitrateKbps, 128);
    FileKey touched = key, grown = key, moved = key;
    touched.mtimeNs += 1;
    grown.size += 1;
    moved.inode += 1;
    EXPECT_FALSE(cache.Lookup(song, touched));
    EXPECT_FALSE(cache.Lookup(song, grown));
    EXPECT_FALSE(cache.Lookup(song, moved));
    EXPECT_FALSE(cache.Lookup(song + "x", key));
    // A path is its bytes: one that is not UTF-8 is kept and found as it is.
    const std::string odd = tree.Path("music/\xff\xfe.mp3");
    ASSERT_TRUE(cache.Store({{odd, key, facts}}));
    EXPECT_TRUE(cache.Lookup(odd, key));
}

TEST_F(FactsCacheTest, AFactWithoutHashIsCompletedLater) {
    const auto file = tree.Path("facts.sqlite");
    FactsBatchParams params;
    params.paths = {song};
    params.hash = HashWhich::None;
    params.cacheFile = file;
    EXPECT_FALSE(GatherFacts(params).facts.at(song).audioHash);
    params.hash = HashWhich::All;
    const auto hashed = GatherFacts(params).facts.at(song);
    ASSERT_TRUE(hashed.audioHash);
    FileKey key;
    ASSERT_TRUE(StatFileKey(song, &key));
    FactsCache cache(file);
    EXPECT_EQ(cache.Lookup(song, key)->audioHash, hashed.audioHash);
}

TEST_F(FactsCacheTest, ADamagedCacheIsMadeAgain) {
    FileKey key;
    const MediaFacts facts = Read(song, &key);
    const std::vector<std::string> damages = {
        std::string("this is no database at all\n"),
        std::string(4096, '\0'),
    };
    for (const std::string& damage : damages) {
        const auto file = tree.Path("facts.sqlite");
        std::ofstream(file, std::ios::binary) << damage;
        FactsCache cache(file);
        ASSERT_TRUE(cache.Usable()) << cache.Problem();
        EXPECT_TRUE(cache.Store({{song, key, facts}}));
        EXPECT_TRUE(cache.Lookup(song, key));
    }
    // Another layout, or this one under another version, is not misread.
    if (std::system("command -v sqlite3 >/dev/null") != 0) GTEST_SKIP() << "no sqlite3 tool";
    const std::vector<std::string> others = {
        "CREATE TABLE facts(path BLOB PRIMARY KEY, size INTEGER);",
        "CREATE TABLE other(x); PRAGMA user_version = 1;",
        "PRAGMA user_version = 7;",
    };
    for (const std::string& sql : others) {
        SCOPED_TRACE(sql);
        const auto file = tree.Path("other.sqlite");
        std::filesystem::remove(file);
        ASSERT_EQ(std::system(("sqlite3 '" + file + "' '" + sql + "'").c_str()), 0);
        FactsCache cache(file);
        ASSERT_TRUE(cache.Usable()) << cache.Problem();
        EXPECT_FALSE(cache.Lookup(song, key));
        EXPECT_TRUE(cache.Store({{song, key, facts}}));
        EXPECT_TRUE(cache.Lookup(song, key));
    }
}

// A place no cache can be kept (a file stands where its folder should be,
// which stops root too): the batch still gives every fact and says why.
TEST_F(FactsCacheTest, AnUnusablePlaceLeavesTheFactsWhole) {
    const auto blocker = tree.File("blocker", "x");
    FactsBatchParams params;
    params.paths = {song, song};
    params.hash = HashWhich::All;
    params.cacheFile = std::filesystem::path(blocker) / "mp3vandrel" / "facts.sqlite";
    const FactsBatchResult result = GatherFacts(params);
    EXPECT_FALSE(result.cacheProblem.empty());
    ASSERT_EQ(result.facts.size(), 1u);
    EXPECT_TRUE(result.facts.at(song).audioHash);
    EXPECT_FALSE(result.stopped);
    // A folder that cannot be written (checked only where permissions bind).
    if (::geteuid() != 0) {
        const auto locked = tree.Folder("locked");
        ::chmod(locked.c_str(), 0500);
        params.cacheFile = std::filesystem::path(locked) / "facts.sqlite";
        const FactsBatchResult again = GatherFacts(params);
        EXPECT_FALSE(again.cacheProblem.empty());
        EXPECT_TRUE(again.facts.at(song).audioHash);
    }
}

}  // namespace
}  // namespace mv
