#include "player/playlist_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/text_lines.h"
#include "support/core/pipe_unblocker.h"
#include "support/core/temp_tree.h"

namespace mv {
namespace {

TEST(PlaylistFile, RoundTripAppendsAndIgnoresAnOddLine) {
    const test::TempTree tree;
    const std::filesystem::path dir = tree.Root();
    const auto file = dir / "LastList.txt";

    const Playlist saved{{"Song A", "/m/a.mp3"}, {"Song B", "/m/b.mp3"}};
    ASSERT_EQ(SavePlaylist(file, saved), "");
    EXPECT_EQ(*ReadLines(file),
              (std::vector<std::string>{"Song A", "/m/a.mp3", "Song B", "/m/b.mp3"}));

    Playlist loaded{{"Old", "/old.mp3"}};
    ASSERT_TRUE(LoadPlaylist(file, loaded));
    EXPECT_EQ(loaded,
              (Playlist{{"Old", "/old.mp3"}, {"Song A", "/m/a.mp3"}, {"Song B", "/m/b.mp3"}}));

    ASSERT_EQ(WriteLinesAtomically(file, {"X", "/x.mp3", "dangling"}), "");
    Playlist odd;
    ASSERT_TRUE(LoadPlaylist(file, odd));
    EXPECT_EQ(odd, (Playlist{{"X", "/x.mp3"}}));

    Playlist none;
    EXPECT_FALSE(LoadPlaylist(dir / "absent.txt", none));
}

TEST(PlaylistFile, NoEntryWithALineBreakIsWrittenAndTheOthersKeepTheirPairs) {
    const test::TempTree tree;
    const auto file = std::filesystem::path(tree.Root()) / "LastList.txt";
    const Playlist entries{{"A", "/m/a.mp3"},     {"B\nC", "/m/B\nC.mp3"}, {"D", "/m/d\r.mp3"},
                           {"E\r\n", "/m/e.mp3"}, {"F\tG", "/m/f\tg.mp3"}, {"H", "/m/h.mp3"}};
    ASSERT_EQ(SavePlaylist(file, entries), "");
    Playlist loaded;
    ASSERT_TRUE(LoadPlaylist(file, loaded));
    EXPECT_EQ(loaded, (Playlist{{"A", "/m/a.mp3"}, {"F\tG", "/m/f\tg.mp3"}, {"H", "/m/h.mp3"}}));
}

TEST(PlaylistFile, APipeIsRefusedWithoutWaitingAndTheAbsentFileToldApart) {
    const test::TempTree tree;
    const std::filesystem::path dir = tree.Root();
    const auto pipe = dir / "LastList.txt";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    PipeUnblocker unblocker({pipe});

    Playlist kept{{"Old", "/old.mp3"}};
    EXPECT_FALSE(LoadPlaylist(pipe, kept));
    const PlaylistLoadResult refused = LoadPlaylistWithStatus(pipe, kept);
    EXPECT_EQ(refused.status, ReadStatus::Unreadable);
    EXPECT_EQ(refused.message,
              "Cannot read " + pipe.string() + ": it is a named pipe, not a regular file.");
    EXPECT_EQ(LoadPlaylistWithStatus(dir / "absent.txt", kept).status, ReadStatus::Absent);
    EXPECT_EQ(kept, (Playlist{{"Old", "/old.mp3"}}));
}

}  // namespace
}  // namespace mv
