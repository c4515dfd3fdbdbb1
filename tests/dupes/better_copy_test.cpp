// The better copy of a pair, the same-audio filter and the bytes "Delete all"
// frees, on hand-made facts (the files' own facts come from the media core).
#include "dupes/better_copy.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <tuple>

#include "support/core/temp_tree.h"

namespace mv {
namespace {

MediaFacts Audio(int kbps, std::int64_t ms, bool tagged, std::uint64_t size) {
    MediaFacts f;
    f.status = FactsStatus::Audio;
    f.bitrateKbps = kbps;
    f.durationMs = ms;
    f.id3v2 = tagged;
    f.size = size;
    return f;
}

MediaFacts NotAudio(std::uint64_t size) {
    MediaFacts f;
    f.status = FactsStatus::NotMpegAudio;
    f.problem = "not MPEG audio";
    f.size = size;
    return f;
}

TEST(BetterCopy, EachCriterionInTurn) {
    MediaFacts id3v1 = Audio(128, 1000, false, 10);
    id3v1.id3v1 = true;
    MediaFacts ape = Audio(128, 1000, false, 10);
    ape.ape = true;
    struct Case {
        const char* what;
        MediaFacts a, b;
        bool aBetter, bBetter;
    };
    const Case cases[] = {
        {"bitrate", Audio(320, 1000, false, 1), Audio(128, 9000, true, 99), true, false},
        {"duration", Audio(128, 2000, false, 1), Audio(128, 1000, true, 99), true, false},
        {"ID3v2", Audio(128, 1000, true, 1), Audio(128, 1000, false, 99), true, false},
        {"ID3v1", id3v1, Audio(128, 1000, false, 99), true, false},
        {"APE", ape, Audio(128, 1000, false, 99), true, false},
        {"one tag is as good as another", id3v1, ape, false, false},
        {"size", Audio(128, 1000, true, 11), Audio(128, 1000, true, 10), true, false},
        {"equal on all", Audio(128, 1000, true, 10), Audio(128, 1000, true, 10), false, false},
        {"audio over not audio", Audio(8, 1, false, 1), NotAudio(99), true, false},
        {"neither is audio", NotAudio(99), NotAudio(1), false, false},
        {"unreadable", MediaFacts{}, Audio(8, 1, false, 1), false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(IsBetterCopy(c.a, c.b), c.aBetter);
        EXPECT_EQ(IsBetterCopy(c.b, c.a), c.bBetter);
    }
}

// Against the plain ranking on a grid of facts: audio first, then the tuple.
TEST(BetterCopy, MatchesThePlainRankingOnAGrid) {
    std::vector<MediaFacts> grid;
    for (int kbps : {128, 320})
        for (std::int64_t ms : {1000, 2000})
            for (bool tagged : {false, true})
                for (std::uint64_t size : {10u, 20u}) grid.push_back(Audio(kbps, ms, tagged, size));
    grid.push_back(NotAudio(10));
    grid.push_back(MediaFacts{});
    const auto rank = [](const MediaFacts& f) {
        const bool tagged = f.id3v1 || f.id3v2 || f.ape;
        return std::make_tuple(f.bitrateKbps, f.durationMs, tagged, f.size);
    };
    for (const MediaFacts& a : grid) {
        for (const MediaFacts& b : grid) {
            const bool aAudio = a.status == FactsStatus::Audio;
            const bool bAudio = b.status == FactsStatus::Audio;
            const bool want = aAudio && (!bAudio || rank(a) > rank(b));
            EXPECT_EQ(IsBetterCopy(a, b), want);
        }
    }
}

TEST(BetterCopy, SwapsOnlyPairsOfFilesWhoseLeftIsBetter) {
    const FactsByPath facts = {{"/lo", Audio(128, 1000, false, 10)},
                               {"/hi", Audio(320, 1000, false, 10)},
                               {"/hi2", Audio(320, 1000, false, 10)}};
    std::vector<ResultRow> rows = {
        {"/hi", "/lo"},                                                  // swapped
        {"/lo", "/hi"},                                                  // already right
        {"/hi", "/hi2"},                                                 // a tie
        {"/hi", "/gone"},                                                // no facts
        {"/hi", "/CD1/lo", RowKind::FileOnDisk, RowKind::ListLocation},  // a location
        {"/hi", "Search\\lo", RowKind::FileOnDisk, RowKind::SearchRow},  // a search row
    };
    const std::vector<ResultRow> before = rows;
    EXPECT_EQ(KeepBetterCopy(rows, facts), 1u);
    EXPECT_EQ(rows[0].left, "/lo");
    EXPECT_EQ(rows[0].right, "/hi");
    for (size_t i = 1; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].left, before[i].left) << i;
        EXPECT_EQ(rows[i].right, before[i].right) << i;
        EXPECT_EQ(rows[i].rightKind, before[i].rightKind) << i;
    }
    EXPECT_EQ(KeepBetterCopy(rows, facts), 0u) << "a second pass finds nothing to swap";
}

MediaFacts Hashed(std::uint64_t length, std::uint64_t hash) {
    MediaFacts f = Audio(128, 1000, false, length + 128);
    f.audioLength = length;
    f.audioHash = AudioHash{0, hash};
    return f;
}

TEST(BetterCopy, KeepsOnlyRowsOfTheSameAudio) {
    MediaFacts unhashed = Hashed(100, 1);
    unhashed.audioHash.reset();
    const FactsByPath facts = {{"/a", Hashed(100, 1)},  {"/a-tagged", Hashed(100, 1)},
                               {"/b", Hashed(100, 2)},  {"/long", Hashed(200, 1)},
                               {"/unhashed", unhashed}, {"/text", NotAudio(5)}};
    std::vector<ResultRow> rows = {
        {"/a", "/a-tagged"},
        {"/a", "/b"},
        {"/a", "/long"},
        {"/a", "/unhashed"},
        {"/a", "/text"},
        {"/a", "/missing"},
        {"/a", "/CD1/a", RowKind::FileOnDisk, RowKind::ListLocation},
        {"/b", "/a"},
    };
    EXPECT_EQ(KeepOnlySameAudio(rows, facts), 7u);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].right, "/a-tagged");
}

TEST(BetterCopy, LeftListBytesCountsWhatDeletingWouldFree) {
    test::TempTree tree;
    const std::string a = tree.File("a.mp3", 1000);
    const std::string b = tree.File("b.mp3", 300);
    const std::string linked = tree.Path("a-hard.mp3");
    ASSERT_EQ(::link(a.c_str(), linked.c_str()), 0);
    const std::string symlinked = tree.Path("b-sym.mp3");
    std::filesystem::create_symlink(b, symlinked);
    const std::string keep = tree.File("keep.mp3", 7000);
    // A left file whose other name stays on the right frees nothing.
    const std::string c = tree.File("c.mp3", 20000);
    const std::string cKept = tree.Path("c-kept.mp3");
    ASSERT_EQ(::link(c.c_str(), cKept.c_str()), 0);
    // Removing a link leaves the file it names.
    const std::string keepLink = tree.Path("keep-sym.mp3");
    std::filesystem::create_symlink(keep, keepLink);
    const std::vector<ResultRow> rows = {
        {a, keep},
        {a, b},          // the same file again
        {linked, keep},  // its second name: both go, so its bytes come free
        {b, keep},
        {symlinked, keep},
        {c, cKept},
        {keepLink, keep},
        {tree.Path("gone.mp3"), keep},
        {"/CD1/x.mp3", keep, RowKind::ListLocation, RowKind::FileOnDisk},
    };
    const std::vector<std::string> lefts = LeftFiles(rows);
    EXPECT_EQ(lefts.size(), 8u);  // the catalogue's side is no file to delete
    EXPECT_EQ(LeftListBytes(lefts), 1300u);
    EXPECT_EQ(LeftListBytes({}), 0u);
}

}  // namespace
}  // namespace mv
