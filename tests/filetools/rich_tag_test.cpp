// The ID3v2/APE fields against a second reader and writer (python3-mutagen):
// files tagged by mutagen are read here, written here and read back there.
#include "filetools/rich_tag.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>

#include "media/media_facts.h"
#include "mutagen_files.h"
#include "support/core/tag_fixture.h"
#include "support/core/temp_tree.h"

namespace mv {
namespace {

namespace fs = std::filesystem;
using Dump = std::map<std::string, std::string>;

std::string Get(const Dump& dump, const std::string& key) {
    const auto it = dump.find(key);
    return it == dump.end() ? "" : it->second;
}

class RichTagFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!test::MutagenPresent()) GTEST_SKIP() << "sox, lame or python3-mutagen missing";
    }
    std::string Tagged(const std::string& kind) {
        const std::string path = tree.Path(kind + ".mp3");
        EXPECT_TRUE(test::WriteTaggedMp3(path, kind));
        return path;
    }
    test::TempTree tree;
};

RichTag NewFields() {
    return {"\xCE\x9D\xCE\xAD\xCE\xBF\xCF\x82 title",
            "\xC3\x84rtist \xE2\x9C\x93",
            "Album 2",
            "2001",
            "4/9",
            "Jazz",
            ""};
}

TEST_F(RichTagFiles, ReadAndWrittenAsASecondReaderSeesThem) {
    for (const char* kind : {"v23", "v24utf8", "v24utf16", "ape", "v1v2", "picture"}) {
        SCOPED_TRACE(kind);
        const std::string path = Tagged(kind);
        const Dump before = test::MutagenDump(path);
        const bool ape = std::string(kind) == "ape";
        const std::string year = std::string(kind) == "v23" ? "TYER" : "TDRC";
        const RichTagRead read = ReadRichTag(path);
        ASSERT_TRUE(read.ok) << read.reason;
        EXPECT_EQ(read.source, ape ? RichTagSource::Ape : RichTagSource::Id3v2);
        const RichTag& t = read.tag;
        const std::pair<std::string, std::string> expected[] = {
            {t.title, Get(before, ape ? "ape:Title" : "text:TIT2")},
            {t.artist, Get(before, ape ? "ape:Artist" : "text:TPE1")},
            {t.album, Get(before, ape ? "ape:Album" : "text:TALB")},
            {t.year, Get(before, ape ? "ape:Year" : "text:" + year)},
            {t.track, Get(before, ape ? "ape:Track" : "text:TRCK")},
            {t.genre, Get(before, ape ? "ape:Genre" : "text:TCON")}};
        for (const auto& [ours, theirs] : expected) EXPECT_EQ(ours, theirs);

        const MediaFacts oldFacts = ReadMediaFacts(path, true);
        const std::string oldEnd = test::FileBytes(path).substr(fs::file_size(path) - 300);
        const RichTagWriteResult written = WriteRichTag(path, NewFields());
        ASSERT_TRUE(written.ok) << written.reason;
        const Dump after = test::MutagenDump(path);
        const RichTag n = NewFields();
        EXPECT_EQ(Get(after, "text:TIT2"), n.title);
        EXPECT_EQ(Get(after, "text:TPE1"), n.artist);
        EXPECT_EQ(Get(after, "text:TALB"), n.album);
        EXPECT_EQ(Get(after, "text:" + year), n.year);
        EXPECT_EQ(Get(after, "text:TRCK"), n.track);
        EXPECT_EQ(Get(after, "text:TCON"), n.genre);
        EXPECT_EQ(Get(after, "version"), ape ? "2.4" : Get(before, "version"));
        // Every other frame and every APE item is as mutagen wrote it.
        const std::string written6[] = {"TIT2", "TPE1", "TALB", year, "TRCK", "TCON"};
        for (const auto& [key, value] : before) {
            bool rewritten = key == "version";
            for (const std::string& id : written6) rewritten |= key.ends_with(":" + id);
            if (!rewritten) {
                EXPECT_EQ(Get(after, key), value) << key;
            }
        }
        const MediaFacts newFacts = ReadMediaFacts(path, true);
        ASSERT_TRUE(oldFacts.audioHash && newFacts.audioHash);
        EXPECT_EQ(*oldFacts.audioHash, *newFacts.audioHash);
        EXPECT_EQ(test::FileBytes(path).substr(fs::file_size(path) - 300), oldEnd);
        EXPECT_EQ(ReadRichTag(path).tag.title, n.title);
    }
}

TEST_F(RichTagFiles, AWriteReachesEveryNameOfTheFileAndKeepsItsMode) {
    const std::string single = Tagged("v24utf8");
    fs::permissions(single, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const std::string linked = Tagged("v23");
    const std::string second = tree.Path("second.mp3");
    fs::create_hard_link(linked, second);
    const std::string link = tree.Path("link.mp3");
    fs::create_symlink(single, link);

    ASSERT_TRUE(WriteRichTag(link, NewFields()).ok);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Get(test::MutagenDump(single), "text:TIT2"), NewFields().title);
    EXPECT_EQ(fs::status(single).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    ASSERT_TRUE(WriteRichTag(linked, NewFields()).ok);
    EXPECT_TRUE(fs::equivalent(linked, second));
    EXPECT_EQ(Get(test::MutagenDump(second), "text:TPE1"), NewFields().artist);

    // Writing what the file holds changes no byte.
    const std::string bytes = test::FileBytes(single);
    ASSERT_TRUE(WriteRichTag(single, ReadRichTag(single).tag).ok);
    EXPECT_EQ(test::FileBytes(single), bytes);
    // No temporary file is left beside them.
    EXPECT_EQ(std::distance(fs::directory_iterator(tree.Root()), fs::directory_iterator()), 4);
}

TEST_F(RichTagFiles, WhatIsNotAnMp3FileIsLeftAlone) {
    const std::string fifo = tree.Path("pipe.mp3");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(ReadRichTag(fifo).ok);
    EXPECT_FALSE(WriteRichTag(fifo, NewFields()).ok);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_FALSE(ReadRichTag(tree.Path("missing.mp3")).ok);
    const std::string text = tree.File("notes.mp3", std::string(4000, 'n'));
    EXPECT_FALSE(WriteRichTag(text, NewFields()).ok);
    EXPECT_EQ(test::FileBytes(text), std::string(4000, 'n'));
    const RichTagRead plain = ReadRichTag(Tagged("none"));  // mutagen: no kind, no frames
    EXPECT_TRUE(plain.ok);
}

TEST(Id3v1Copy, CutsToTheFieldsAndRefusesWhatWindows1252Lacks) {
    TagTexts current = {"t", "a", "b", "y", "kept comment"};
    RichTag tag{"Caf\xC3\xA9 " + std::string(40, 'x'),
                "\xE2\x82\xAC",
                "Album",
                "1999-05-01",
                "3",
                "Rock",
                "long comment"};
    const Id3v1Copy copy = Id3v1FromRichTag(tag, current);
    ASSERT_TRUE(copy.texts);
    EXPECT_EQ((*copy.texts)[kTitle], "Caf\xE9 " + std::string(25, 'x'));
    EXPECT_EQ((*copy.texts)[kArtist], "\x80");
    EXPECT_EQ((*copy.texts)[kYear], "1999");
    EXPECT_EQ((*copy.texts)[kComment], "kept comment");
    tag.album = "ok \xE2\x9C\x93";
    const Id3v1Copy refused = Id3v1FromRichTag(tag, current);
    EXPECT_FALSE(refused.texts);
    EXPECT_EQ(refused.field, kAlbum);
    EXPECT_EQ(refused.bad, U'\u2713');
}

}  // namespace
}  // namespace mv
