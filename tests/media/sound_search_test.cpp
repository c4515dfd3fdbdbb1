#include "media/sound_search.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "media/facts_cache.h"
#include "media/sound_index.h"
#include "media_fixture.h"
#include "support/core/temp_tree.h"

namespace mv {
namespace {

namespace fs = std::filesystem;
using Pairs = std::vector<std::pair<std::size_t, std::size_t>>;

// The plain model: the distinct buckets every two prints share, counted pair
// by pair, leaving out the buckets held by too many prints.
Pairs PlainCandidates(const std::vector<std::vector<std::uint32_t>>& prints,
                      const SoundIndexParams& p) {
    std::vector<std::set<std::uint32_t>> buckets(prints.size());
    std::map<std::uint32_t, std::size_t> holders;
    for (std::size_t i = 0; i < prints.size(); ++i) {
        for (const auto item : prints[i]) buckets[i].insert(item >> p.droppedBits);
        for (const auto bucket : buckets[i]) ++holders[bucket];
    }
    Pairs pairs;
    for (std::size_t i = 0; i < prints.size(); ++i) {
        for (std::size_t j = i + 1; j < prints.size(); ++j) {
            std::size_t shared = 0;
            for (const auto bucket : buckets[i]) {
                shared += buckets[j].count(bucket) != 0 && holders[bucket] <= p.maxBucketPrints;
            }
            if (shared >= p.minShared && shared > 0) pairs.emplace_back(i, j);
        }
    }
    return pairs;
}

TEST(SoundIndexTest, GivesThePairsThePlainModelGives) {
    std::mt19937 rng(5);
    // Few distinct values, so prints share buckets by chance, some often.
    for (const std::uint32_t range : {64u, 4096u, 1u << 20}) {
        std::vector<std::vector<std::uint32_t>> prints(40);
        for (auto& items : prints) {
            items.resize(rng() % 60);
            for (auto& item : items) item = (rng() % range) << 4 | (rng() & 15);
        }
        std::vector<const std::vector<std::uint32_t>*> refs;
        for (const auto& items : prints) refs.push_back(&items);
        for (const SoundIndexParams p :
             {SoundIndexParams{4, 200, 4}, SoundIndexParams{2, 6, 0}, SoundIndexParams{1, 3, 8}}) {
            SCOPED_TRACE(testing::Message() << "range " << range << " shared " << p.minShared
                                            << " max " << p.maxBucketPrints);
            EXPECT_EQ(SoundCandidates(refs, p), PlainCandidates(prints, p));
        }
    }
}

class SoundSearchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!test::Mp3ToolsAvailable()) GTEST_SKIP() << "sox or lame missing";
        const auto low = test::SweepMp3(tree.Path("work"), "-b 96", 10.0);
        const auto high = test::SweepMp3(tree.Path("work"), "-b 256", 10.0);
        ASSERT_TRUE(low && high);
        lowPath = test::WriteBytes(tree.Path("music/sweep low.mp3"), *low);
        highPath = test::WriteBytes(tree.Path("music/other name.mp3"), *high);
        const auto tone = test::MakeToneMp3(tree.Path("music"), 440, 10.0);
        ASSERT_TRUE(tone);
        tonePath = tone->string();
        textPath = tree.File("music/notes.mp3", "no audio here");
    }
    SoundSearchResult Find(std::vector<std::string> paths) {
        SoundSearchParams params;
        params.paths = std::move(paths);
        params.cacheFile = cacheFile;
        return FindSameSound(params);
    }
    test::TempTree tree;
    std::string lowPath, highPath, tonePath, textPath, cacheFile;
};

// One pair whatever the order met: the smaller file on the left; two paths
// of one file (a hard link, a symbolic link) are that file once, never its
// own duplicate; of two copies of one size the later met goes left.
TEST_F(SoundSearchTest, PairsEachRecordingOnceWithTheSmallerLeft) {
    const auto hard = tree.Path("music/hard.mp3");
    const auto soft = tree.Path("music/soft.mp3");
    ASSERT_EQ(::link(highPath.c_str(), hard.c_str()), 0);
    fs::create_symlink(lowPath, soft);
    for (const auto& paths : std::vector<std::vector<std::string>>{
             {lowPath, tonePath, highPath, textPath, hard, soft, lowPath},
             {highPath, soft, textPath, lowPath, tonePath}}) {
        const SoundSearchResult r = Find(paths);
        ASSERT_EQ(r.pairs.size(), 1u);
        EXPECT_EQ(r.pairs[0].left, paths[0] == lowPath ? lowPath : soft);
        EXPECT_EQ(r.pairs[0].right, highPath);
        EXPECT_GE(r.pairs[0].similarity, kSameRecording);
        ASSERT_EQ(r.passedOver.size(), 1u);
        EXPECT_EQ(r.passedOver[0].path, textPath);
        EXPECT_EQ(r.passedOver[0].problem, "not MPEG audio");
    }
    const auto copy = tree.Path("music/copy.mp3");
    fs::copy_file(lowPath, copy);
    EXPECT_EQ(Find({lowPath, copy}).pairs.at(0).left, copy);
    EXPECT_EQ(Find({copy, lowPath}).pairs.at(0).left, lowPath);
}

TEST_F(SoundSearchTest, StopsWhenAsked) {
    std::atomic<bool> stop{true};
    SoundSearchParams params;
    params.paths = {lowPath, highPath};
    params.stop = &stop;
    EXPECT_TRUE(FindSameSound(params).stopped);
    params.stop = nullptr;
    std::size_t calls = 0;
    params.progress = [&](std::size_t, std::size_t total) {
        EXPECT_EQ(total, 2u);
        return ++calls < 2;
    };
    const SoundSearchResult r = FindSameSound(params);
    EXPECT_TRUE(r.stopped);
    EXPECT_TRUE(r.pairs.empty());
}

// A print is taken from the cache while the file's key holds, even when the
// bytes changed under it (the point of the key), and made anew once not.
TEST_F(SoundSearchTest, TheCacheServesPrintsWhileTheKeyHolds) {
    cacheFile = tree.Path("cache/facts.sqlite");
    ASSERT_EQ(Find({lowPath, highPath}).pairs.size(), 1u);
    struct stat before {};
    ASSERT_EQ(::stat(highPath.c_str(), &before), 0);
    const std::string toneBytes = test::FileBytes(tonePath);
    std::string same = toneBytes;
    same.resize(static_cast<std::size_t>(before.st_size), '\0');
    {
        std::ofstream out(highPath, std::ios::binary | std::ios::in | std::ios::out);
        out.write(same.data(), static_cast<std::streamsize>(same.size()));
    }
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, highPath.c_str(), times, 0), 0);
    EXPECT_EQ(Find({lowPath, highPath}).pairs.size(), 1u);  // the stored print
    const timespec later[2] = {before.st_atim, {before.st_mtim.tv_sec + 5, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, highPath.c_str(), later, 0), 0);
    EXPECT_TRUE(Find({lowPath, highPath}).pairs.empty());  // read again: now a tone
    EXPECT_TRUE(Find({lowPath, highPath}).cacheProblem.empty());
}

// A cache of the layout before prints is made anew, never misread.
TEST_F(SoundSearchTest, ACacheWithoutPrintsIsMadeAgain) {
    if (std::system("command -v sqlite3 >/dev/null") != 0) GTEST_SKIP() << "no sqlite3 tool";
    cacheFile = tree.Path("old.sqlite");
    const std::string old =
        "CREATE TABLE facts(path BLOB PRIMARY KEY NOT NULL, inode INTEGER NOT NULL,"
        " size INTEGER NOT NULL, mtime_ns INTEGER NOT NULL, status INTEGER NOT NULL,"
        " problem TEXT NOT NULL, duration_ms INTEGER NOT NULL, bitrate INTEGER NOT NULL,"
        " vbr INTEGER NOT NULL, sample_rate INTEGER NOT NULL, channels INTEGER NOT NULL,"
        " tags INTEGER NOT NULL, audio_offset INTEGER NOT NULL, audio_length INTEGER NOT NULL,"
        " hash BLOB) WITHOUT ROWID; PRAGMA user_version = 1;";
    ASSERT_EQ(std::system(("sqlite3 '" + cacheFile + "' '" + old + "'").c_str()), 0);
    const SoundPrintResult read = ReadSoundPrint({lowPath});
    FactsCache cache(cacheFile);
    ASSERT_TRUE(cache.Usable()) << cache.Problem();
    EXPECT_TRUE(cache.StorePrints({{lowPath, read.key, read.print}}));
    EXPECT_EQ(cache.LookupPrint(lowPath, read.key), read.print);
    FileKey other = read.key;
    other.size += 1;
    EXPECT_FALSE(cache.LookupPrint(lowPath, other));
}

}  // namespace
}  // namespace mv
