#include "media/media_facts.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "media/file_key.h"
#include "media_fixture.h"
#include "support/core/temp_tree.h"

namespace mv {
namespace {

using test::ApeTag;
using test::Id3v2Tag;
using test::Lyrics3Tag;
using test::TagBlock;
using test::WriteBytes;

std::string RunText(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        while (const size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

// What mpg123 decodes, in milliseconds (16-bit samples of every channel).
long DecodedMs(const std::string& path, int channels) {
    const std::string bytes = RunText("mpg123 -q -s '" + path + "' | wc -c");
    return std::stol(bytes) / (2 * channels) * 1000 / 44100;
}

class MediaFactsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!test::Mp3ToolsAvailable()) GTEST_SKIP() << "sox or lame missing";
    }
    test::TempTree tree;
};

// One audio dressed in every kind of tag: one identity, and each tag seen.
TEST_F(MediaFactsTest, TagVariantsShareOneIdentity) {
    const auto audio = test::SweepMp3(tree.Path("work"), "-b 128", 1.0);
    ASSERT_TRUE(audio);
    struct Variant {
        const char* name;
        std::string front, back;
        bool id3v1, id3v2, ape;
    };
    const std::string v1 = TagBlock("Title", "Artist");
    const std::vector<Variant> variants = {
        {"plain", "", "", false, false, false},
        {"id3v1", "", v1, true, false, false},
        {"id3v2", Id3v2Tag("Title"), "", false, true, false},
        {"padded", Id3v2Tag("Other title", 4000), "", false, true, false},
        {"both", Id3v2Tag("Title"), v1, true, true, false},
        {"ape", "", ApeTag("Title"), false, false, true},
        {"ape_v1", "", ApeTag("Title") + v1, true, false, true},
        {"lyrics_v1", "", Lyrics3Tag("la la") + v1, true, false, false},
        {"ape_lyrics_v1", "", ApeTag("T") + Lyrics3Tag("la") + v1, true, false, false},
    };
    std::optional<MediaFacts> plain;
    for (const Variant& v : variants) {
        SCOPED_TRACE(v.name);
        const auto path =
            WriteBytes(tree.Path(std::string(v.name) + ".mp3"), v.front + *audio + v.back);
        const MediaFacts f = ReadMediaFacts(path, true);
        ASSERT_EQ(f.status, FactsStatus::Audio) << f.problem;
        EXPECT_EQ(f.size, v.front.size() + audio->size() + v.back.size());
        EXPECT_EQ(f.audioOffset, v.front.size());
        EXPECT_EQ(f.audioLength, audio->size());
        EXPECT_EQ(f.id3v1, v.id3v1);
        EXPECT_EQ(f.id3v2, v.id3v2);
        // TagLib finds an APE tag only directly before ID3v1 or at the end.
        if (std::string(v.name) != "ape_lyrics_v1") {
            EXPECT_EQ(f.ape, v.ape);
        }
        ASSERT_TRUE(f.audioHash);
        if (!plain) plain = f;
        EXPECT_EQ(f.audioHash, plain->audioHash);
        EXPECT_EQ(SameAudio(f, *plain), true);
        EXPECT_EQ(f.durationMs, plain->durationMs);
    }
    // The identity is the XXH3-128 of those bytes as xxhsum gives it.
    const auto bare = WriteBytes(tree.Path("bare.bin"), *audio);
    if (std::system("command -v xxhsum >/dev/null") == 0) {
        EXPECT_EQ(RunText("xxhsum -H2 '" + bare + "'").substr(0, 32), plain->audioHash->Hex());
    }
}

TEST_F(MediaFactsTest, AnotherEncodingIsAnotherIdentity) {
    const auto low = test::SweepMp3(tree.Path("a"), "-b 128", 1.0);
    const auto high = test::SweepMp3(tree.Path("b"), "-b 192", 1.0);
    const auto vbr = test::SweepMp3(tree.Path("c"), "-V 4", 1.0);
    ASSERT_TRUE(low && high && vbr);
    const MediaFacts a = ReadMediaFacts(WriteBytes(tree.Path("low.mp3"), *low), true);
    const MediaFacts b = ReadMediaFacts(WriteBytes(tree.Path("high.mp3"), *high), true);
    const MediaFacts c = ReadMediaFacts(WriteBytes(tree.Path("vbr.mp3"), *vbr), true);
    EXPECT_EQ(SameAudio(a, b), false);
    EXPECT_EQ(SameAudio(a, c), false);
    EXPECT_NE(a.audioHash, b.audioHash);
    // Without hashes, equal lengths leave it open; different lengths do not.
    MediaFacts unhashed = a;
    unhashed.audioHash.reset();
    EXPECT_EQ(SameAudio(a, unhashed), std::nullopt);
    EXPECT_EQ(SameAudio(b, unhashed), false);
}

// CBR and VBR, with and without the Xing/Info header (-t): the length is
// within 50 ms of what mpg123 decodes.
TEST_F(MediaFactsTest, LengthAndRateMatchTheDecoder) {
    struct Case {
        const char* options;
        bool vbr;
        int kbps;  // 0: not fixed
    };
    const std::vector<Case> cases = {
        {"-b 128", false, 128}, {"-b 128 -t", false, 128}, {"-b 64 -m m", false, 64},
        {"-V 4", true, 0},      {"-V 4 -t", true, 0},      {"-V 0 -t", true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        const auto bytes = test::SweepMp3(tree.Path("work"), c.options, 6.0);
        ASSERT_TRUE(bytes);
        const auto path = WriteBytes(tree.Path("song.mp3"), *bytes);
        const MediaFacts f = ReadMediaFacts(path, false);
        ASSERT_EQ(f.status, FactsStatus::Audio) << f.problem;
        EXPECT_EQ(f.vbr, c.vbr);
        EXPECT_EQ(f.sampleRate, 44100);
        EXPECT_NEAR(f.durationMs, DecodedMs(path, f.channels), 50);
        if (c.kbps != 0) {
            EXPECT_EQ(f.bitrateKbps, c.kbps);
        }
        // The average rate agrees with the audio's size over its length.
        EXPECT_NEAR(f.bitrateKbps, static_cast<double>(f.audioLength) * 8 / f.durationMs, 8);
        EXPECT_FALSE(f.audioHash);
    }
}

// What is not MPEG audio, or not a file, is told apart without blocking.
TEST_F(MediaFactsTest, RefusesWhatIsNotAudio) {
    const auto audio = test::SweepMp3(tree.Path("work"), "-b 128", 1.0);
    ASSERT_TRUE(audio);
    const auto song = WriteBytes(tree.Path("song.mp3"), *audio);
    ASSERT_EQ(::mkfifo(tree.Path("fifo.mp3").c_str(), 0600), 0);
    std::filesystem::create_symlink(song, tree.Path("link.mp3"));
    struct Case {
        std::string path;
        FactsStatus status;
        std::uint64_t size;
    };
    const std::string tagged = Id3v2Tag("Title", 300) + *audio;
    const std::vector<Case> cases = {
        {tree.File("text.mp3", "just some words\nof text\n"), FactsStatus::NotMpegAudio, 24},
        {tree.File("empty.mp3", ""), FactsStatus::NotMpegAudio, 0},
        {WriteBytes(tree.Path("cut_tag.mp3"), tagged.substr(0, 100)), FactsStatus::NotMpegAudio,
         100},
        {tree.Path("fifo.mp3"), FactsStatus::Unreadable, 0},
        {tree.Folder("folder.mp3"), FactsStatus::Unreadable, 0},
        {tree.Path("missing.mp3"), FactsStatus::Unreadable, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const auto start = std::chrono::steady_clock::now();
        const MediaFacts f = ReadMediaFacts(c.path, true);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_EQ(f.status, c.status);
        EXPECT_EQ(f.size, c.size);
        EXPECT_FALSE(f.audioHash);
        if (c.status == FactsStatus::NotMpegAudio) {
            EXPECT_EQ(f.problem, "not MPEG audio");
        }
        if (c.status == FactsStatus::Unreadable) {
            EXPECT_FALSE(f.problem.empty());
        }
    }
    // A link reads its target; a file cut in its audio is the audio it still holds.
    const MediaFacts direct = ReadMediaFacts(song, true);
    const MediaFacts linked = ReadMediaFacts(tree.Path("link.mp3"), true);
    EXPECT_EQ(linked.status, FactsStatus::Audio);
    EXPECT_EQ(linked.audioHash, direct.audioHash);
    const MediaFacts cut =
        ReadMediaFacts(WriteBytes(tree.Path("cut.mp3"), audio->substr(0, audio->size() / 2)), true);
    EXPECT_EQ(cut.status, FactsStatus::Audio);
    EXPECT_EQ(cut.audioLength, audio->size() / 2);
    EXPECT_EQ(SameAudio(cut, direct), false);
}

// Completing a hash reads the known range only while the file is the one read.
TEST_F(MediaFactsTest, AHashIsAddedOnlyToTheFileItWasReadFrom) {
    const auto audio = test::SweepMp3(tree.Path("work"), "-b 128", 1.0);
    ASSERT_TRUE(audio);
    const auto song = WriteBytes(tree.Path("song.mp3"), test::Id3v2Tag("T") + *audio);
    FileKey key;
    MediaFacts facts = ReadMediaFactsKeyed(song, false, &key);
    ASSERT_FALSE(facts.audioHash);
    ASSERT_TRUE(HashKnownAudio(song, key, facts));
    EXPECT_EQ(facts.audioHash, ReadMediaFacts(song, true).audioHash);
    facts.audioHash.reset();
    FileKey other = key;
    other.mtimeNs -= 1;
    EXPECT_FALSE(HashKnownAudio(song, other, facts));
    EXPECT_FALSE(HashKnownAudio(tree.Path("gone.mp3"), key, facts));
    EXPECT_FALSE(facts.audioHash);
}

TEST(AudioHashTest, HexIsHighHalfFirstInLowerCase) {
    EXPECT_EQ((AudioHash{0, 0}.Hex()), std::string(32, '0'));
    EXPECT_EQ((AudioHash{0x0123456789abcdefULL, 0xfedcba9876543210ULL}.Hex()),
              "0123456789abcdeffedcba9876543210");
    EXPECT_EQ((AudioHash{0, 1}.Hex()), std::string(31, '0') + "1");
}

}  // namespace
}  // namespace mv
