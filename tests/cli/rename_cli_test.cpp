// The tool's rename from the richer tags, its preview, its journal and undo,
// and tag show --all-tags.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "cli_tree.h"
#include "support/core/tag_fixture.h"

using ::testing::HasSubstr;

namespace mv {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using test::TagBlock;

std::string SyncSafe(std::size_t n) {
    return {static_cast<char>((n >> 21) & 0x7F), static_cast<char>((n >> 14) & 0x7F),
            static_cast<char>((n >> 7) & 0x7F), static_cast<char>(n & 0x7F)};
}

// An ID3v2.4 tag of UTF-8 text frames, laid out by hand.
std::string Id3v24(const std::vector<std::pair<std::string, std::string>>& frames) {
    std::string body;
    for (const auto& [id, text] : frames) body += id + SyncSafe(text.size() + 1) + "\0\0\3"s + text;
    return "ID3\4\0\0"s + SyncSafe(body.size()) + body;
}

class RenameCli : public CliTree {
  protected:
    void SetUp() override {
        if (!test::ToneAudio()) GTEST_SKIP() << "lame or sox missing";
    }
    std::string Mp3(const std::string& rel, const std::string& front, const std::string& back) {
        const std::string path = Music(rel);
        std::ofstream(path, std::ios::binary) << front << *test::ToneAudio() << back;
        return path;
    }
    CliRun Run(const std::vector<std::string>& args) const { return RunCli(args, "", Home()); }
};

TEST_F(RenameCli, NamesFromId3v2PreviewedThenDoneThenUndone) {
    const std::string title = "Caf\xC3\xA9: Live?";
    const std::string a = Mp3("a.mp3", Id3v24({{"TIT2", title}, {"TPE1", "Band"}, {"TRCK", "3/9"}}),
                              TagBlock("V1", "Old"));
    const std::string b = Mp3("b.mp3", "", TagBlock("Only", "V1"));
    const std::string c = Mp3("c.mp3", "", "");
    const std::string taken = Mp3("03 Band - Only.Mp3", "", "");  // an existing name
    const std::string d =
        Mp3("d.mp3", Id3v24({{"TIT2", "Only"}, {"TPE1", "Band"}, {"TRCK", "3"}}), "");
    const std::vector<std::string> args = {"rename",  "--all",      "--from",         "id3v2",
                                           "--model", "%6 %2 - %1", "--windows-safe", Music()};
    std::vector<std::string> dryArgs = args;
    dryArgs.insert(dryArgs.begin() + 1, "--dry-run");
    const CliRun dry = Run(dryArgs);
    EXPECT_EQ(dry.exitCode, 0) << dry.err;
    const std::string renamedA = Music("03 Band - Caf\xC3\xA9 - Live_.Mp3");
    EXPECT_EQ(dry.out, a + "\t" + renamedA + "\n" + b + "\t" + Music(" V1 - Only.Mp3") + "\n");
    EXPECT_THAT(dry.err, HasSubstr("Preview: 2 rename, 2 no-tag, 1 taken."));
    EXPECT_TRUE(fs::exists(a));

    dryArgs.insert(dryArgs.begin() + 2, "--format=json");
    const CliRun json = Run(dryArgs);
    EXPECT_THAT(json.out, HasSubstr("\"kind\": \"no-tag\""));
    EXPECT_THAT(json.out, HasSubstr("\"kind\": \"taken\""));
    EXPECT_THAT(json.out, HasSubstr("\"old\": \"" + c + "\""));

    const CliRun real = Run(args);
    EXPECT_EQ(real.out, dry.out);
    EXPECT_THAT(real.err, HasSubstr("Done: 2 rename, 2 no-tag, 1 taken."));
    EXPECT_TRUE(fs::exists(renamedA) && fs::exists(d) && fs::exists(taken));

    fs::rename(c, b);  // b's old name is taken meanwhile
    const CliRun undo = Run({"rename", "--undo"});
    EXPECT_EQ(undo.exitCode, 1);
    EXPECT_EQ(undo.out, renamedA + "\t" + a + "\n");
    EXPECT_THAT(undo.err, HasSubstr(Music(" V1 - Only.Mp3") + ": stays: a file has its old name"));
    EXPECT_THAT(undo.err, HasSubstr("1 of 2 files renamed back."));
    const CliRun again = Run({"rename", "--undo"});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_THAT(again.err, HasSubstr("Nothing to undo"));
    EXPECT_EQ(Run({"rename", "--undo", a}).exitCode, 2);
    EXPECT_EQ(Run({"rename", "--from", "id3v3", a}).exitCode, 2);
}

// Rename of one file is a batch too; without the options nothing changes.
TEST_F(RenameCli, OneFileIsJournalledAndTheOptionsOffKeepTheId3v1Name) {
    const std::string a =
        Mp3("a.mp3", Id3v24({{"TIT2", "New"}, {"TPE1", "X"}}), TagBlock("T", "A"));
    const CliRun r = Run({"rename", "--model", "%2: %1%6%7", a});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, a + "\t" + Music("A: T") + "\n");
    EXPECT_EQ(Run({"rename", "--undo"}).out, Music("A: T") + "\t" + a + "\n");
    EXPECT_TRUE(fs::exists(a));
}

TEST_F(RenameCli, TagShowAllTagsAddsTheRicherFields) {
    const std::string a =
        Mp3("a.mp3", Id3v24({{"TIT2", "T\xC3\xADtulo"}, {"TRCK", "2/5"}, {"TCON", "Jazz"}}),
            TagBlock("V1"));
    const std::string plain = Mp3("b.mp3", "", "");
    const CliRun tsv = Run({"tag", "show", "--all-tags", a, plain});
    EXPECT_EQ(tsv.exitCode, 0) << tsv.err;
    EXPECT_EQ(tsv.out, "V1\t\t\t\t\t" + a + "\tT\xC3\xADtulo\t\t\t\t2/5\tJazz\n" + "\t\t\t\t\t" +
                           plain + "\t\t\t\t\t\t\n");
    const CliRun json = Run({"tag", "show", "--all-tags", "--format=json", a, plain});
    EXPECT_THAT(json.out, HasSubstr("\"id3v2\": {\"title\": \"T\xC3\xADtulo\", \"artist\": \"\", "
                                    "\"album\": \"\", \"year\": \"\", \"track\": \"2/5\", "
                                    "\"genre\": \"Jazz\", \"from\": \"id3v2\"}"));
    EXPECT_THAT(json.out, HasSubstr("\"id3v2\": null"));
}

}  // namespace
}  // namespace mv
