#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_runner.h"
#include "cli_tree.h"
#include "support/core/tag_fixture.h"

using ::testing::HasSubstr;

namespace mv {
namespace {

namespace fs = std::filesystem;
using test::FileBytes;
using test::TagBlock;

class TagCli : public CliTree {
  protected:
    void SetUp() override {
        if (!test::ToneAudio()) GTEST_SKIP() << "lame or sox missing: no MP3 to tag";
        audio = *test::ToneAudio();
    }
    std::string Mp3(const std::string& rel, const std::optional<std::string>& tag) const {
        EXPECT_TRUE(test::WriteMp3(Music(rel), tag));
        return Music(rel);
    }
    CliRun Run(const std::vector<std::string>& args) const { return RunCli(args, "", Home()); }

    std::string audio;
};

TEST_F(TagCli, ShowWritesTheFiveFieldsAndTheFileAsUtf8) {
    const std::string tagged =
        Mp3("a.mp3", TagBlock("Caf\xE9", "Tab\there", "Album ", "1999", "Note"));
    const std::string plain = Mp3("b.mp3", std::nullopt);
    const std::string missing = Music("gone.mp3");
    const CliRun r = Run({"tag", "show", tagged, missing, plain});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "Caf\xC3\xA9\tTab\\there\tAlbum \t1999\tNote\t" + tagged + "\n\t\t\t\t\t" +
                         plain + "\n");
    EXPECT_THAT(r.err, HasSubstr("Unable to open file " + missing));
}

TEST_F(TagCli, SetChangesTheFieldsGivenAndKeepsTheOthers) {
    const std::string tagged = Mp3("a.mp3", TagBlock("Old", "Band", "LP", "1980", "keep", ' ', 17));
    const std::string plain = Mp3("b.mp3", std::nullopt);
    fs::permissions(tagged, fs::perms::owner_read);
    const CliRun r =
        Run({"tag", "set", "--title", "Caf\xC3\xA9 \xE2\x82\xAC", "--year", "", tagged, plain});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_THAT(r.err, HasSubstr(plain + " had no ID3v1 tag"));
    std::string expected = TagBlock("Caf\xE9 \x80", "Band", "LP", "", "keep", ' ');
    expected.replace(3, 30, "Caf\xE9 \x80" + std::string(24, '\0'));  // the new text's padding
    expected.replace(93, 4, std::string(4, '\0'));
    EXPECT_EQ(FileBytes(tagged), audio + expected);
    EXPECT_NE(fs::status(tagged).permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_EQ(FileBytes(plain), audio + TagBlock("Caf\xE9 \x80"));
}

// A text the tag cannot hold stops the command before any file is written.
TEST_F(TagCli, SetRefusesTextsTheTagCannotHold) {
    const std::string first = Mp3("a.mp3", TagBlock("Old"));
    const std::string second = Mp3("b.mp3", std::nullopt);
    struct Case {
        std::vector<std::string> options;
        const char* message;
    };
    const Case cases[] = {
        {{"--title", "\xE6\x97\xA5\xE6\x9C\xAC"}, "U+65E5"},
        {{"--artist", "ok", "--comment", "\xF0\x9F\x8E\xB5"}, "--comment"},
        {{"--year", "19999"}, "at most 4"},
        {{"--album", std::string(31, 'a')}, "at most 30"},
        {{"--title", "caf\xE9"}, "U+FFFD"},  // not UTF-8
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"tag", "set"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(first);
        args.push_back(second);
        const CliRun r = Run(args);
        EXPECT_EQ(r.exitCode, 2) << c.message;
        EXPECT_THAT(r.err, HasSubstr(c.message));
        EXPECT_THAT(r.err, HasSubstr("Nothing was written"));
    }
    EXPECT_EQ(FileBytes(first), audio + TagBlock("Old"));
    EXPECT_EQ(FileBytes(second), audio);
}

TEST_F(TagCli, RenameOneFileByTheDefaultModel) {
    const std::string file = Mp3("a.mp3", TagBlock("Title", "Artist"));
    const CliRun r = Run({"rename", file});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, file + "\t" + Music("Artist - Title") + "\n");
    EXPECT_TRUE(fs::exists(Music("Artist - Title")));

    const std::string slash = Mp3("b.mp3", TagBlock("Song", "AC/DC"));
    const CliRun refused = Run({"rename", "--model", "%2 - %1.mp3", slash});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_THAT(refused.err, HasSubstr(slash + ": keeps its name: the name \"AC/DC - Song.mp3\" "
                                               "holds a \"/\""));
    EXPECT_EQ(Run({"rename", "--recurse", file}).exitCode, 2);
}

// Rename All: a dry run prints what the real run then does and changes nothing.
TEST_F(TagCli, RenameAllPrintsEachRenameAndWhyOthersKeepTheirNames) {
    Mp3("a.mp3", TagBlock("One", "X"));
    Mp3("b.mp3", TagBlock("One", "X"));
    Mp3("c.mp3", std::nullopt);
    Mp3("sub/d.MP3", TagBlock("Two", "Y"));
    const std::vector<std::string> args = {"rename", "--all", "--recurse", Music() + "/"};

    std::vector<std::string> dryArgs = args;
    dryArgs.insert(dryArgs.begin() + 1, "--dry-run");
    const CliRun dry = Run(dryArgs);
    EXPECT_EQ(dry.exitCode, 0) << dry.err;
    EXPECT_TRUE(fs::exists(Music("a.mp3")) && fs::exists(Music("sub/d.MP3")));
    EXPECT_THAT(dry.err, HasSubstr("2 of 4 files would be renamed"));

    const CliRun real = Run(args);
    EXPECT_EQ(real.exitCode, 0) << real.err;
    EXPECT_EQ(real.out, Music("a.mp3") + "\t" + Music("X - One.Mp3") + "\n" + Music("sub/d.MP3") +
                            "\t" + Music("sub/Y - Two.Mp3") + "\n");
    EXPECT_EQ(dry.out, real.out);
    EXPECT_THAT(real.err, HasSubstr(Music("b.mp3") + ": keeps its name: a file named "
                                                     "\"X - One.Mp3\" already exists"));
    EXPECT_THAT(real.err, HasSubstr(Music("c.mp3") + ": keeps its name: it has no ID3v1 tag"));
    EXPECT_TRUE(fs::exists(Music("b.mp3")) && fs::exists(Music("c.mp3")));

    EXPECT_EQ(Run({"rename", "--all", Music("nowhere")}).exitCode, 1);
}

// A name with a control byte or a leading "." is refused alike by the dry
// run and the real run, and the reason names the byte instead of printing it.
TEST_F(TagCli, RenameAllRefusesControlBytesAndHiddenNamesInBothRuns) {
    Mp3("a.mp3", TagBlock("Song\r\nFake", "X"));
    Mp3("b.mp3", TagBlock());
    Mp3("c.mp3", TagBlock("Fine\x7f"));
    Mp3("d.mp3", TagBlock("Fine"));
    const std::vector<std::string> args = {"rename", "--all", "--model", "%1", Music()};
    std::vector<std::string> dryArgs = args;
    dryArgs.insert(dryArgs.begin() + 1, "--dry-run");
    const CliRun dry = Run(dryArgs);
    const CliRun real = Run(args);
    EXPECT_EQ(real.exitCode, 0) << real.err;
    EXPECT_EQ(real.out, Music("d.mp3") + "\t" + Music("Fine.Mp3") + "\n");
    EXPECT_EQ(dry.out, real.out);
    const std::string kept =
        Music("a.mp3") + ": keeps its name: the name holds the control character CR (byte 0x0D)";
    EXPECT_THAT(real.err, HasSubstr(kept));
    EXPECT_THAT(dry.err, HasSubstr(kept));
    EXPECT_THAT(real.err, HasSubstr(Music("b.mp3") + ": keeps its name: the name \".Mp3\" starts "
                                                     "with \".\""));
    EXPECT_THAT(real.err, HasSubstr(Music("c.mp3") + ": keeps its name: the name holds the "
                                                     "control character (byte 0x7F)"));
    EXPECT_THAT(real.err, HasSubstr("1 of 4 files renamed."));
    EXPECT_THAT(dry.err, HasSubstr("1 of 4 files would be renamed."));
    EXPECT_TRUE(fs::exists(Music("a.mp3")) && fs::exists(Music("b.mp3")) &&
                fs::exists(Music("c.mp3")));
}

}  // namespace
}  // namespace mv
