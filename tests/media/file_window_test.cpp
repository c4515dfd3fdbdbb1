// The window of head, tail and moving block against the plain model of one
// pread per read: whatever is asked, in whatever order, the bytes are the
// same; and the facts read through windows of any size equal those read
// with every read going to the file, on files whose tags cross the windows.
#include "media/file_window.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "media/file_bytes.h"
#include "media_fixture.h"
#include "platform/owned_fd.h"
#include "support/core/temp_tree.h"

namespace mv {
namespace {

using test::ApeTag;
using test::Id3v2Tag;
using test::Lyrics3Tag;
using test::TagBlock;

TEST(FileWindowTest, ServesWhatOnePreadPerReadWould) {
    test::TempTree tree;
    std::mt19937 random(21);
    const std::vector<WindowSizes> windows = {{16, 8, 12}, {16, 0, 0}, {0, 8, 0}, {}};
    for (const std::size_t size : {0, 1, 15, 16, 17, 23, 24, 25, 100, 1000, 20000}) {
        std::string bytes(size, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        const auto path = test::WriteBytes(tree.Path(std::to_string(size)), bytes);
        const OwnedFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        ASSERT_GE(fd.get(), 0);
        for (const WindowSizes& sizes : windows) {
            FileWindow window(fd.get(), size, sizes);
            for (int i = 0; i < 400; ++i) {
                const std::uint64_t offset = random() % (size + 30);
                // Mostly small reads, as TagLib makes them; now and then
                // one larger than any block.
                const std::size_t length = i % 10 == 0 ? random() % 9000 : random() % 40;
                SCOPED_TRACE(testing::Message() << "size " << size << " head " << sizes.head
                                                << " at " << offset << " for " << length);
                ASSERT_EQ(window.Bytes(offset, length), ReadBytesAt(fd.get(), offset, length));
            }
        }
    }
}

auto FieldsOf(const MediaFacts& f) {
    return std::tuple(f.status, f.problem, f.size, f.durationMs, f.bitrateKbps, f.vbr, f.sampleRate,
                      f.channels, f.id3v1, f.id3v2, f.ape, f.audioOffset, f.audioLength,
                      f.audioHash);
}

TEST(FileWindowTest, FactsDoNotDependOnTheWindow) {
    if (!test::Mp3ToolsAvailable()) GTEST_SKIP() << "sox or lame missing";
    test::TempTree tree;
    const auto cbr = test::SweepMp3(tree.Path("a"), "-b 128", 1.0);
    const auto bare = test::SweepMp3(tree.Path("b"), "-V 4 -t", 1.0);  // VBR, no Xing
    ASSERT_TRUE(cbr && bare);
    const std::string v1 = TagBlock("Title", "Artist");
    const std::vector<std::pair<std::string, std::string>> files = {
        {"short", cbr->substr(0, 3000)},
        {"plain", *cbr},
        {"big_front", Id3v2Tag(std::string(30000, 't'), 100) + *cbr + v1},
        {"junk_front", Id3v2Tag("T") + std::string(5000, '\0') + *cbr},
        {"big_ape", *cbr + ApeTag(std::string(5000, 'x')) + v1},
        {"big_lyrics", *cbr + ApeTag("A") + Lyrics3Tag(std::string(3000, 'l')) + v1},
        {"junk_back", *cbr + std::string(3000, '\0')},
        {"no_xing", Id3v2Tag("T", 2000) + *bare + v1},
    };
    const std::vector<WindowSizes> windows = {{}, {64, 32, 48}, {4096, 64, 0}};
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        const auto path = test::WriteBytes(tree.Path(name + ".mp3"), bytes);
        const MediaFacts plain = ReadMediaFactsWindowed(path, true, {0, 0, 0}, nullptr);
        ASSERT_EQ(plain.status, FactsStatus::Audio) << plain.problem;
        for (const WindowSizes& sizes : windows) {
            SCOPED_TRACE(testing::Message() << "head " << sizes.head << " tail " << sizes.tail);
            EXPECT_EQ(FieldsOf(ReadMediaFactsWindowed(path, true, sizes, nullptr)),
                      FieldsOf(plain));
        }
    }
}

}  // namespace
}  // namespace mv
