#include "filetools/id3v1_tag.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <random>

#include "support/core/pipe_unblocker.h"
#include "support/core/tag_fixture.h"
#include "support/core/temp_tree.h"

using ::testing::HasSubstr;

namespace mv {
namespace {

namespace fs = std::filesystem;
using test::FileBytes;
using test::TagBlock;

TagTexts Texts(std::string title, std::string artist, std::string album, std::string year,
               std::string comment) {
    return {std::move(title), std::move(artist), std::move(album), std::move(year),
            std::move(comment)};
}

// How each field of a stored block reads.
TEST(TagBlock, FieldsReadUpToTheirFirstZeroByteWithBlanksKept) {
    const std::string thirty = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";
    struct Case {
        const char* what;
        std::string block;
        TagTexts read;
    };
    const Case cases[] = {
        {"a full-width title has no zero byte and reads whole",
         TagBlock(thirty, "Artist", "", "1999", "c"), Texts(thirty, "Artist", "", "1999", "c")},
        {"zero padding is not shown", TagBlock("Song"), Texts("Song", "", "", "", "")},
        {"blank padding is kept", TagBlock("Song", "B", "", "", "", ' '),
         Texts(std::string("Song").append(26, ' '), std::string("B").append(29, ' '),
               std::string(30, ' '), "    ", std::string(30, ' '))},
        {"bytes after a zero byte are not shown",
         TagBlock(std::string("ab\0cd", 5), std::string("\0xyz", 4), "",
                  std::string("1\0"
                              "9",
                              3)),
         Texts("ab", "", "", "1", "")},
        {"a full year does not run into the comment", TagBlock("", "", "", "2024", "Comment"),
         Texts("", "", "", "2024", "Comment")},
        {"Windows-1252 bytes come as they are", TagBlock("Caf\xE9 \x80"),
         Texts("Caf\xE9 \x80", "", "", "", "")},
    };
    for (const Case& c : cases) {
        const std::string& block = c.block;
        EXPECT_EQ(ReadTagFields(block), c.read) << c.what;
        // The genre byte is not part of any field: 127 bytes read the same.
        EXPECT_EQ(ReadTagFields(block.substr(0, 127)), c.read) << c.what;
    }
}

// Building a block against the hand-laid one, for random texts of every
// length up to past their width.
TEST(TagBlock, BuiltBlocksMatchTheFieldTable) {
    std::mt19937 rng(7);
    const TagFieldSlice widths[] = {{3, 30}, {33, 30}, {63, 30}, {93, 4}, {97, 30}};
    for (int round = 0; round < 300; ++round) {
        TagTexts texts;
        for (int f = 0; f < kTagFieldCount; ++f) {
            const size_t length = rng() % (widths[f].width + 6);
            for (size_t k = 0; k < length; ++k) texts[f] += static_cast<char>(1 + rng() % 255);
        }
        const std::string block = BuildTagBlock(texts);
        ASSERT_EQ(block, TagBlock(texts[0], texts[1], texts[2], texts[3], texts[4]))
            << "round " << round;
        TagTexts cut = texts;
        for (int f = 0; f < kTagFieldCount; ++f) cut[f] = cut[f].substr(0, widths[f].width);
        ASSERT_EQ(ReadTagFields(block), cut) << "round " << round;
    }
}

class TagFile : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!test::ToneAudio()) GTEST_SKIP() << "lame or sox missing: no MP3 to tag";
        audio = *test::ToneAudio();
        ASSERT_NE(audio.substr(audio.size() - 128, 3), "TAG");
    }
    std::string Mp3(const std::string& name, const std::optional<std::string>& tag) {
        const std::string path = tree.Path(name);
        EXPECT_TRUE(test::WriteMp3(path, tag));
        return path;
    }

    test::TempTree tree;
    std::string audio;
};

// Saving over an existing tag: only the last 128 bytes change, the genre
// becomes 0, and an unchanged zero-padded tag comes back byte for byte.
TEST_F(TagFile, WritingReplacesTheTagInPlace) {
    const std::string stored = TagBlock("Same", "Old", std::string("x\0junk", 6), "", "", 0, 17);
    const std::string path = Mp3("a.mp3", stored);
    const TagReadResult before = ReadFileTag(path);
    ASSERT_EQ(before.status, TagReadStatus::Tagged);
    EXPECT_EQ(before.block, stored);

    EXPECT_EQ(WriteFileTag(path, before.fields).status, TagWriteStatus::Replaced);
    std::string expected = stored;
    expected.replace(63, 30, std::string("x") + std::string(29, '\0'));  // junk after the zero goes
    expected.back() = '\0';                                              // genre 17 -> 0
    EXPECT_EQ(FileBytes(path), audio + expected);

    const TagTexts edited = Texts("New title", "Artist", "", "2024", "");
    EXPECT_EQ(WriteFileTag(path, edited).status, TagWriteStatus::Replaced);
    EXPECT_EQ(FileBytes(path), audio + TagBlock("New title", "Artist", "", "2024", ""));
    EXPECT_EQ(ReadFileTag(path).fields, edited);
}

TEST_F(TagFile, BlankPaddedTagsAreWrittenBackWithTheirBlanks) {
    const std::string stored = TagBlock("Song", "Band", "LP", "99", "", ' ', 0);
    const std::string path = Mp3("a.mp3", stored);
    ASSERT_EQ(WriteFileTag(path, ReadFileTag(path).fields).status, TagWriteStatus::Replaced);
    EXPECT_EQ(FileBytes(path), audio + stored);
}

// A file without a tag shows five empty fields and gets a tag appended: its
// audio is never written over.
TEST_F(TagFile, AFileWithoutATagGetsOneAppended) {
    const std::string path = Mp3("plain.mp3", std::nullopt);
    const TagReadResult read = ReadFileTag(path);
    EXPECT_EQ(read.status, TagReadStatus::Untagged);
    EXPECT_EQ(read.fields, TagTexts{});

    const TagWriteResult w = WriteFileTag(path, Texts("T", "A", "", "", ""));
    EXPECT_EQ(w.status, TagWriteStatus::Appended) << w.reason;
    EXPECT_EQ(FileBytes(path), audio + TagBlock("T", "A", "", "", ""));
    // Now it has one, and the next save replaces it.
    EXPECT_EQ(WriteFileTag(path, Texts("T2", "", "", "", "")).status, TagWriteStatus::Replaced);
    EXPECT_EQ(fs::file_size(path), audio.size() + 128);
}

TEST_F(TagFile, SavingMakesAReadOnlyFileWritable) {
    const std::string path = Mp3("ro.mp3", TagBlock("x", "", "", "", ""));
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(WriteFileTag(path, Texts("y", "", "", "", "")).status, TagWriteStatus::Replaced);
    EXPECT_NE(fs::status(path).permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_EQ(ReadFileTag(path).fields[kTitle], "y");
}

TEST_F(TagFile, ALinkIsWrittenThroughAndStaysALink) {
    const std::string target = Mp3("real.mp3", TagBlock("x", "", "", "", ""));
    const std::string link = tree.Path("link.mp3");
    fs::create_symlink(target, link);
    EXPECT_EQ(WriteFileTag(link, Texts("via link", "", "", "", "")).status,
              TagWriteStatus::Replaced);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFileTag(target).fields[kTitle], "via link");
}

// What is not an MP3 file with room for a tag is neither read nor touched,
// and nothing waits on a pipe.
TEST_F(TagFile, WhatIsNotARegularFileOfATagsLengthIsLeftAlone) {
    const std::string shortFile = tree.File("short.mp3", std::string(127, 'x'));
    fs::permissions(shortFile, fs::perms::owner_read);
    const std::string folder = tree.Folder("folder.mp3");
    const std::string pipe = tree.Path("pipe.mp3");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    PipeUnblocker unblocker({pipe});
    struct Case {
        std::string path;
        const char* reason;
    };
    const Case cases[] = {{shortFile, "128 bytes"},
                          {tree.Path("missing.mp3"), "No such file"},
                          {folder, "folder"},
                          {pipe, "regular"}};
    for (const Case& c : cases) {
        const TagReadResult r = ReadFileTag(c.path);
        EXPECT_EQ(r.status, TagReadStatus::Failed) << c.path;
        EXPECT_THAT(r.reason, HasSubstr(c.reason)) << c.path;
        const TagWriteResult w = WriteFileTag(c.path, Texts("t", "", "", "", ""));
        EXPECT_EQ(w.status, TagWriteStatus::NotOpened) << c.path;
        EXPECT_THAT(w.reason, HasSubstr(c.reason)) << c.path;
    }
    EXPECT_EQ(FileBytes(shortFile), std::string(127, 'x'));
    EXPECT_EQ(fs::status(shortFile).permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_FALSE(fs::exists(tree.Path("missing.mp3")));
}

}  // namespace
}  // namespace mv
