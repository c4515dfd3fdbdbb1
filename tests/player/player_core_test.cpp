// The playlist edits, the next-song choice, the tray tip and the equalizer
// record, each against a plain model or the worked examples.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "player/equalizer_record.h"
#include "player/playback_text.h"
#include "player/playlist_edit.h"
#include "player/shuffle_order.h"
#include "support/core/temp_tree.h"

namespace mv {
namespace {

using ::testing::ElementsAre;

Playlist Named(std::initializer_list<const char*> names) {
    Playlist p;
    for (const char* n : names) p.push_back({n, std::string("/m/") + n});
    return p;
}

std::vector<std::string> Names(const Playlist& p) {
    std::vector<std::string> out;
    for (const auto& e : p) out.push_back(e.name);
    return out;
}

TEST(ShuffleOrder, EachPassPlaysEveryEntryOnceAlsoWithTwinNames) {
    std::mt19937 gen(7);
    const RandomBelow random = [&](size_t bound) {
        return std::uniform_int_distribution<size_t>(0, bound - 1)(gen);
    };
    // Entries 0 and 2 share a display name in different folders.
    for (size_t count : {1u, 3u, 5u}) {
        ShuffleOrder order;
        std::vector<std::vector<int>> passes;
        for (int pass = 0; pass < 4; ++pass) {
            std::vector<int> played;
            for (size_t i = 0; i < count; ++i) {
                const auto r = AdvancePlaylist({count, -1, true}, order, random);
                ASSERT_FALSE(r.stop);
                played.push_back(r.next);
            }
            std::vector<int> sorted = played;
            std::sort(sorted.begin(), sorted.end());
            std::vector<int> all(count);
            for (size_t i = 0; i < count; ++i) all[i] = static_cast<int>(i);
            EXPECT_EQ(sorted, all) << "count " << count << " pass " << pass;
            passes.push_back(played);
        }
        if (count == 5) {
            // A new order per pass: four equal permutations of five are
            // out of the question with this seed.
            EXPECT_GT(std::set<std::vector<int>>(passes.begin(), passes.end()).size(), 1u);
        }
    }
}

TEST(ShuffleOrder, GrowingThePlaylistRedrawsAndSequentialModeWraps) {
    int draws = 0;
    const RandomBelow first = [&](size_t) {
        ++draws;
        return size_t{0};
    };
    ShuffleOrder order;
    EXPECT_EQ(AdvancePlaylist({3, -1, true}, order, first).next, 0);
    EXPECT_EQ(draws, 3);
    // One entry added mid-pass: the next advance draws a full new order.
    EXPECT_EQ(AdvancePlaylist({4, 0, true}, order, first).next, 0);
    EXPECT_EQ(draws, 7);
    EXPECT_EQ(order.cursor, 1u);

    struct Case {
        size_t count;
        int current;
        int next;
    };
    for (const Case c : {Case{3, -1, 0}, Case{3, 0, 1}, Case{3, 1, 2}, Case{3, 2, 0}, Case{1, 0, 0},
                         Case{3, 7, 0}}) {
        ShuffleOrder o;
        EXPECT_EQ(AdvancePlaylist({c.count, c.current, false}, o, first).next, c.next)
            << c.count << "/" << c.current;
    }
    ShuffleOrder empty;
    EXPECT_TRUE(AdvancePlaylist({0, 2, true}, empty, first).stop);
}

TEST(PlaylistEdit, DeleteKeyMatchesAPlainModelOfOneByOneRemoval) {
    std::mt19937 gen(3);
    for (int round = 0; round < 200; ++round) {
        const size_t n = gen() % 7;
        Playlist p;
        for (size_t i = 0; i < n; ++i) p.push_back({std::to_string(i), "/p/" + std::to_string(i)});
        std::vector<bool> selected(n);
        for (size_t i = 0; i < n; ++i) selected[i] = gen() % 2 == 0;
        const int current = static_cast<int>(gen() % (n + 1)) - 1;

        // The model walks as the key handler does, removing in place.
        Playlist model = p;
        std::vector<bool> sel = selected;
        int modelCurrent = current;
        for (size_t i = 0; i < model.size();) {
            if (sel[i]) {
                model.erase(model.begin() + static_cast<long>(i));
                sel.erase(sel.begin() + static_cast<long>(i));
                modelCurrent = static_cast<int>(i) - 1;
            } else {
                ++i;
            }
        }
        const RemoveResult r = RemoveSelectedEntries(p, selected, current);
        EXPECT_EQ(p, model);
        EXPECT_EQ(r.current, modelCurrent);
        EXPECT_EQ(r.removed.size() + p.size(), n);
    }
}

TEST(PlaylistEdit, DropsMoveTheEntryToTheRowDroppedOn) {
    struct Case {
        int from, target, landed;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {4, 2, 2, {"a", "b", "e", "c", "d"}},  // dropped on the row at index 2
        {0, 2, 2, {"b", "c", "a", "d", "e"}}, {1, 0, 0, {"b", "a", "c", "d", "e"}},
        {1, 5, 4, {"a", "c", "d", "e", "b"}},  // below the last row: appended
        {2, 2, 2, {"a", "b", "c", "d", "e"}},
    };
    for (const Case& c : cases) {
        Playlist p = Named({"a", "b", "c", "d", "e"});
        EXPECT_EQ(MovePlaylistEntry(p, c.from, c.target), c.landed);
        EXPECT_EQ(Names(p), c.names) << c.from << "->" << c.target;
        EXPECT_EQ(p[static_cast<size_t>(c.landed)].path,
                  "/m/" + p[static_cast<size_t>(c.landed)].name);
    }
    Playlist p = Named({"a"});
    EXPECT_EQ(MovePlaylistEntry(p, -1, 0), -1);
}

TEST(PlaylistEdit, AddingAFolderSkipsKnownPathsIgnoringCaseAndRecursesWhenAsked) {
    const test::TempTree tree;
    tree.File("top/b.mp3");
    tree.File("top/A.MP3");
    tree.File("top/notes.txt");
    tree.File("top/sub/c.mp3");
    tree.File("top/.hidden/d.mp3");
    const std::string top = tree.Path("top");

    Playlist flat{{"a.mp3", top + "/a.mp3"}};  // the same file in other letter case
    EXPECT_EQ(AddFolderToPlaylist({top, "Mp3", false}, flat).added, 1u);
    EXPECT_THAT(Names(flat), ElementsAre("a.mp3", "b.mp3"));

    Playlist deep;
    EXPECT_EQ(AddFolderToPlaylist({top, "mp3", true}, deep).added, 3u);
    EXPECT_THAT(Names(deep), ElementsAre("A.MP3", "b.mp3", "c.mp3"));
    EXPECT_EQ(deep[2].path, top + "/sub/c.mp3");
    EXPECT_EQ(AddFolderToPlaylist({top, "mp3", true}, deep).added, 0u);
    EXPECT_EQ(FindPlaylistPath(deep, top + "/SUB/C.mp3"), 2);
    EXPECT_EQ(FindPlaylistPath(deep, top + "/x.mp3"), -1);
}

TEST(TrayTip, ALongStatusScrollsByOneAndWraps) {
    std::u32string status;
    for (int i = 0; i < 70; ++i) status.push_back(static_cast<char32_t>(U'A' + i % 26));
    size_t offset = 0;
    for (int step = 0; step < 141; ++step) {
        const auto scroll = ScrollTip(status, offset);
        ASSERT_EQ(scroll.tip.size(), 64u);
        std::u32string expected;
        for (size_t i = 0; i < 64; ++i) expected.push_back(status[(step % 70 + i) % 70]);
        EXPECT_EQ(scroll.tip, expected) << step;
        offset = scroll.nextOffset;
        EXPECT_LT(offset, 70u);
    }
    EXPECT_EQ(offset, 1u);  // 141 steps = two full turns and one
}

TEST(TrackPosition, ScalesOntoTheBar) {
    struct Case {
        uint32_t offset, range;
        int bar;
    };
    for (const Case c :
         {Case{0, 400, 0}, Case{123, 400, 123}, Case{400, 400, 400}, Case{50, 100, 200},
          Case{1000, 800, 400}, Case{5, 0, 0}, Case{4000000000u, 4000000000u, 400}}) {
        EXPECT_EQ(TrackPosition(c.offset, c.range), c.bar) << c.offset << "/" << c.range;
    }
}

// Each byte of the record, as the worked examples give them.
TEST(EqualizerRecord, BandsFollowTheSlidersInBothSets) {
    const auto bytesOf = [](const XA_EqualizerInfo& r) {
        std::vector<int> out(r.left, r.left + 32);
        out.insert(out.end(), r.right, r.right + 32);
        return out;
    };
    EXPECT_EQ(bytesOf(BuildEqualizerRecord({})), std::vector<int>(64, 0));

    auto r = bytesOf(BuildEqualizerRecord({0, 0, 0, 0, 0, 0, 0, -80}));
    for (int b = 0; b < 64; ++b) EXPECT_EQ(r[b], (b % 32) >= 20 ? 80 : 0) << b;

    r = bytesOf(BuildEqualizerRecord({0, 0, 40, 0, 0, 0, 0, 0}));
    for (int b = 0; b < 64; ++b) EXPECT_EQ(r[b], (b % 32 == 2 || b % 32 == 3) ? -40 : 0) << b;

    // A stored 500 stands at the bottom end: -80 in bands 6-7.
    r = bytesOf(BuildEqualizerRecord({1, 2, 3, 4, ClampEqualizerBar(500), 6, 7, 8}));
    const int expected[32] = {-1, -2, -3, -3, -4, -4, -80, -80, -6, -6, -6, -6, -6, -6, -7, -7,
                              -7, -7, -7, -7, -8, -8, -8,  -8,  -8, -8, -8, -8, -8, -8, -8, -8};
    for (int b = 0; b < 64; ++b) EXPECT_EQ(r[b], expected[b % 32]) << b;
    EXPECT_EQ(ClampEqualizerBar(-81), -80);
    EXPECT_EQ(ClampEqualizerBar(80), 80);
}

}  // namespace
}  // namespace mv
