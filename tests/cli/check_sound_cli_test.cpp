// --check-sound on dupes and compare --details, on MP3 files lame makes at
// test time: the rows of --details stay as they are with the similarity of
// the two files' prints after them, in TSV and in JSON (read back by
// Python's own parser), and "-" or null for a side with no print.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>

#include "cli_runner.h"
#include "cli_tree.h"
#include "media/media_fixture.h"
#include "platform/text_lines.h"
#include "support/core/scoped_env.h"

using ::testing::HasSubstr;

namespace mv {
namespace {

// The JSON rows as LEFT<TAB>RIGHT<TAB>sound_similarity, the number in three
// decimals and null as "-"; fails on keys out of place, on facts that are not
// their side's and on a similarity that is not a number.
const char* const kSimilarities = R"(import json, sys
KEYS = ["left", "right", "left kind", "right kind", "left_facts", "right_facts",
        "same_audio", "sound_similarity"]
out = open(sys.argv[2], "w")
for r in json.load(open(sys.argv[1], encoding="utf-8")):
    assert list(r) == KEYS, list(r)
    for side in ("left", "right"):
        assert r[side + "_facts"] is None or r[side + "_facts"]["path"] == r[side], r
    s = r["sound_similarity"]
    assert s is None or type(s) is float, s
    out.write("%s\t%s\t%s\n" % (r["left"], r["right"], "-" if s is None else "%.3f" % s))
)";

// Where the search by sound takes two files for one recording.
constexpr double kSameRecording = 0.85;

class CheckSoundCliTest : public CliTree {
  protected:
    CheckSoundCliTest() : cacheHome_("XDG_CACHE_HOME", tree_.Path("cache")) {}
    test::ScopedEnv cacheHome_;

    void SetUp() override {
        if (!test::Mp3ToolsAvailable() || std::system("python3 -c 'import json'") != 0) {
            GTEST_SKIP() << "sox, lame or python3 missing";
        }
        const auto low = test::SweepMp3(tree_.Path("work"), "-b 96", 10.0);
        const auto high = test::SweepMp3(tree_.Path("work"), "-b 256", 10.0);
        ASSERT_TRUE(low && high);
        low_ = test::WriteBytes(Music("a/Song.mp3"), *low);
        high_ = test::WriteBytes(Music("b/Song.mp3"), *high);
        const auto tone = test::MakeToneMp3(tree_.Folder("tone"), 440, 10.0);
        ASSERT_TRUE(tone);
        tone_ = Music("c/Song.mp3");
        std::filesystem::create_directories(Music("c"));
        std::filesystem::copy_file(*tone, tone_);
        text_ = File("d/Song.mp3", 300);
    }
    CliRun Run(const std::vector<std::string>& args) const { return RunCli(args, "", Home()); }

    // LEFT<TAB>RIGHT -> the last field of each line.
    static std::map<std::string, std::string> LastFields(const std::string& out) {
        std::map<std::string, std::string> last;
        for (const std::string& line : SplitLines(out)) {
            const auto second = line.find('\t', line.find('\t') + 1);
            last[line.substr(0, second)] = line.substr(line.rfind('\t') + 1);
        }
        return last;
    }
    std::string FromJson(const std::string& json) const {
        const std::string in = tree_.Path("rows.json"), out = tree_.Path("rows.tsv");
        std::ofstream(in, std::ios::binary) << json;
        const std::string command =
            "python3 -c '" + std::string(kSimilarities) + "' " + in + " " + out;
        EXPECT_EQ(std::system(command.c_str()), 0) << json;
        return test::FileBytes(out);
    }
    std::string low_, high_, tone_, text_;
};

TEST_F(CheckSoundCliTest, DupesDetailsGainTheSimilarityAfterTheirColumns) {
    const std::vector<std::string> base = {"dupes", "--details", "--percent", "100", Music()};
    const CliRun plain = Run(base);
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    std::vector<std::string> args = base;
    args.insert(args.begin() + 2, "--check-sound");
    const CliRun checked = Run(args);
    ASSERT_EQ(checked.exitCode, 0) << checked.err;
    EXPECT_THAT(checked.err, HasSubstr("No sound print of " + text_ + ": not MPEG audio"));

    // Every row of --details as it was, the similarity one more column.
    const std::vector<std::string> before = SplitLines(plain.out);
    const std::vector<std::string> after = SplitLines(checked.out);
    ASSERT_EQ(before.size(), 6u) << plain.out;
    ASSERT_EQ(after.size(), before.size()) << checked.out;
    for (std::size_t i = 0; i < before.size(); ++i) {
        ASSERT_EQ(after[i].rfind(before[i] + "\t", 0), 0u) << after[i];
        EXPECT_EQ(after[i].find('\t', before[i].size() + 1), std::string::npos) << after[i];
    }
    // The two encodings of the sweep are one recording, the tone another; a
    // text file has no print, whichever side it is on.
    for (const auto& [pair, similarity] : LastFields(checked.out)) {
        if (pair.find(text_) != std::string::npos) {
            EXPECT_EQ(similarity, "-") << pair;
        } else if (pair.find(tone_) != std::string::npos) {
            EXPECT_LT(std::stod(similarity), kSameRecording) << pair;
        } else {
            EXPECT_EQ(pair, low_ + "\t" + high_);
            EXPECT_GE(std::stod(similarity), kSameRecording);
            EXPECT_LE(std::stod(similarity), 1.0);
        }
    }

    args.insert(args.begin() + 1, {"--format", "json"});
    const CliRun json = Run(args);
    ASSERT_EQ(json.exitCode, 0) << json.err;
    std::string want;
    for (const auto& [pair, similarity] : LastFields(checked.out)) {
        want += pair + "\t" + similarity + "\n";
    }
    std::map<std::string, std::string> got = LastFields(FromJson(json.out));
    std::string gotText;
    for (const auto& [pair, similarity] : got) gotText += pair + "\t" + similarity + "\n";
    EXPECT_EQ(gotText, want);

    // It says something only beside --details.
    EXPECT_EQ(Run({"dupes", "--check-sound", Music()}).exitCode, 2);
}

TEST_F(CheckSoundCliTest, ACatalogueSideHasNoSimilarity) {
    ASSERT_EQ(
        WriteLinesAtomically(root_ / "home" / "Mp3List.txt", {"\\Mp3 List", "\\CD1", "Song.mp3"}),
        "");
    const CliRun plain = Run({"compare", "--details", Music()});
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    const CliRun tsv = Run({"compare", "--details", "--check-sound", Music()});
    ASSERT_EQ(tsv.exitCode, 0) << tsv.err;
    std::string want;
    for (const std::string& line : SplitLines(plain.out)) want += line + "\t-\n";
    EXPECT_EQ(tsv.out, want);
    EXPECT_EQ(SplitLines(tsv.out).size(), 4u);
    EXPECT_THAT(tsv.err, ::testing::Not(HasSubstr("No sound print")))
        << "no file is printed for rows that cannot have a similarity";

    const CliRun json = Run({"compare", "--details", "--check-sound", "--format", "json", Music()});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    EXPECT_THAT(json.out, HasSubstr("\"same_audio\": null, \"sound_similarity\": null}"));
    const CliRun csv = Run({"compare", "--details", "--check-sound", "--format", "csv", Music()});
    EXPECT_THAT(SplitLines(csv.out).at(0), ::testing::EndsWith(",same_audio,sound_similarity"));
    EXPECT_THAT(SplitLines(csv.out).at(1), ::testing::EndsWith(",-,-"));
}

}  // namespace
}  // namespace mv
