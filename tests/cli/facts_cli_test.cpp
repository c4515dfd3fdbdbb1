// The facts command and the --details and --keep better options of dupes and
// compare, on MP3 files lame makes at test time. JSON is read back by
// Python's own parser and checked against the TSV the same run prints.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "cli_runner.h"
#include "cli_tree.h"
#include "platform/text_lines.h"
#include "support/core/scoped_env.h"
#include "support/core/tag_fixture.h"

using ::testing::HasSubstr;

namespace mv {
namespace {

// The JSON rows flattened as the TSV writes them: yes / no for booleans,
// nothing for null, each facts object as its ten columns (without its path,
// which must be the side's own). Fails on any key out of place.
const char* const kFlatten = R"(import json, sys
FACTS = ["size", "duration_ms", "bitrate_kbps", "vbr", "sample_rate", "channels",
         "id3v1", "id3v2", "ape", "audio_hash"]
def text(v):
    if v is None: return ""
    if isinstance(v, bool): return "yes" if v else "no"
    assert isinstance(v, (int, str)), v
    return str(v)
def facts(side, path):
    if side is None: return [""] * len(FACTS)
    assert list(side) == ["path"] + FACTS, list(side)
    assert side["path"] == path, side
    for k in ("size", "duration_ms", "bitrate_kbps", "sample_rate", "channels"):
        assert side[k] is None or type(side[k]) is int, (k, side[k])
    h = side["audio_hash"]
    assert h is None or (len(h) == 32 and int(h, 16) >= 0), h
    return [text(side[k]) for k in FACTS]
out = open(sys.argv[2], "w")
for r in json.load(open(sys.argv[1], encoding="utf-8")):
    if "left_facts" in r:
        assert list(r) == ["left", "right", "left kind", "right kind", "left_facts",
                           "right_facts", "same_audio"], list(r)
        assert r["same_audio"] in (True, False, None)
        same = {True: "yes", False: "no", None: "-"}[r["same_audio"]]
        f = [r["left"], r["right"]] + facts(r["left_facts"], r["left"]) + \
            facts(r["right_facts"], r["right"]) + [same]
    else:
        f = [r["path"]] + facts(r, r["path"])
    out.write("\t".join(f) + "\n")
)";

class FactsCliTest : public CliTree {
  protected:
    // The tool keeps its facts cache under the test's tree, never the user's.
    FactsCliTest() : cacheHome_("XDG_CACHE_HOME", tree_.Path("cache")) {}
    test::ScopedEnv cacheHome_;

    void SetUp() override {
        if (!test::ToneAudio() || std::system("python3 -c 'import json' 2>/dev/null") != 0) {
            GTEST_SKIP() << "sox, lame or python3 is missing";
        }
    }
    CliRun Run(const std::vector<std::string>& args) const { return RunCli(args, "", Home()); }

    // The tone at another bitrate (lame re-encoding it), at music/rel.
    std::string Reencoded(const std::string& rel, int kbps, const std::string& from) const {
        const std::string to = Music(rel);
        std::filesystem::create_directories(std::filesystem::path(to).parent_path());
        const std::string command =
            "lame --quiet --mp3input -b " + std::to_string(kbps) + " '" + from + "' '" + to + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return to;
    }
    std::string Tone(const std::string& rel, const std::optional<std::string>& tag = {}) const {
        EXPECT_TRUE(test::WriteMp3(Music(rel), tag));
        return Music(rel);
    }
    std::string Flattened(const std::string& json) const {
        const std::string in = tree_.Path("flat.in"), out = tree_.Path("flat.out");
        std::ofstream(in, std::ios::binary) << json;
        const std::string command = "python3 -c '" + std::string(kFlatten) + "' " + in + " " + out;
        EXPECT_EQ(std::system(command.c_str()), 0) << json;
        return test::FileBytes(out);
    }
    static std::vector<std::string> Fields(const std::string& line) {
        std::vector<std::string> fields;
        std::stringstream in(line);
        for (std::string f; std::getline(in, f, '\t');) fields.push_back(f);
        if (!line.empty() && line.back() == '\t') fields.push_back("");
        return fields;
    }
};

TEST_F(FactsCliTest, FactsOfAudioTaggedAudioAndOtherFiles) {
    const std::string plain = Tone("plain.mp3");
    const std::string tagged = Tone("tagged.mp3", test::TagBlock("Title", "Artist"));
    const std::string fast = Reencoded("fast.mp3", 320, plain);
    const std::string text = File("notes.mp3", 300);
    const std::string gone = Music("gone.mp3");
    const std::vector<std::string> files = {plain, tagged, fast, text, gone};

    std::vector<std::string> args = {"facts"};
    args.insert(args.end(), files.begin(), files.end());
    const CliRun tsv = Run(args);
    EXPECT_EQ(tsv.exitCode, 1) << "a file that cannot be read";
    EXPECT_THAT(tsv.err, HasSubstr("Unable to read file " + gone + ": "));
    const std::vector<std::string> lines = SplitLines(tsv.out);
    ASSERT_EQ(lines.size(), 4u) << tsv.out;
    std::vector<std::vector<std::string>> rows;
    for (const std::string& line : lines) rows.push_back(Fields(line));
    for (const auto& row : rows) ASSERT_EQ(row.size(), 11u) << row[0];

    // path size duration_ms bitrate_kbps vbr sample_rate channels id3v1 id3v2 ape audio_hash
    EXPECT_EQ(rows[0][0], plain);
    EXPECT_EQ(rows[0][3], "128");
    EXPECT_EQ(rows[0][5], "44100");
    EXPECT_EQ(rows[0][6], "2");
    EXPECT_EQ(rows[0][7], "no");
    EXPECT_EQ(rows[1][7], "yes") << "the ID3v1 tag";
    EXPECT_EQ(std::stoull(rows[1][1]), std::stoull(rows[0][1]) + 128);
    EXPECT_EQ(rows[1][10], rows[0][10]) << "the tag is not audio";
    EXPECT_EQ(rows[2][3], "320");
    EXPECT_NE(rows[2][10], rows[0][10]);
    EXPECT_EQ(rows[0][10].size(), 32u);
    EXPECT_EQ(rows[3], (std::vector<std::string>{text, "300", "", "", "", "", "", "", "", "", ""}))
        << "not audio: its size alone";

    args.insert(args.begin() + 1, {"--format", "json"});
    const CliRun json = Run(args);
    EXPECT_EQ(json.exitCode, 1);
    EXPECT_EQ(Flattened(json.out), tsv.out);
}

TEST_F(FactsCliTest, DetailsInEveryFormat) {
    const std::string plain = Tone("a/Song.mp3");
    const std::string tagged = Tone("b/Song.mp3", test::TagBlock("Song"));
    const std::string fast = Reencoded("c/Song.mp3", 320, plain);
    const CliRun tsv = Run({"dupes", "--details", "--percent", "100", Music()});
    ASSERT_EQ(tsv.exitCode, 0) << tsv.err;
    std::map<std::pair<std::string, std::string>, std::string> same;
    for (const std::string& line : SplitLines(tsv.out)) {
        const auto f = Fields(line);
        ASSERT_EQ(f.size(), 23u) << line;
        same[{f[0], f[1]}] = f[22];
    }
    const std::map<std::pair<std::string, std::string>, std::string> want = {
        {{plain, tagged}, "yes"}, {{plain, fast}, "no"}, {{tagged, fast}, "no"}};
    EXPECT_EQ(same, want) << "same audio for the copies that differ only in their tag";

    const CliRun json =
        Run({"dupes", "--details", "--format", "json", "--percent", "100", Music()});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    EXPECT_EQ(Flattened(json.out), tsv.out);

    const CliRun csv = Run({"dupes", "--details", "--format", "csv", "--percent", "100", Music()});
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    const std::vector<std::string> csvLines = SplitLines(csv.out);
    ASSERT_EQ(csvLines.size(), 4u);
    EXPECT_THAT(csvLines[0], ::testing::StartsWith("left,right,left kind,right kind,left size,"));
    EXPECT_THAT(csvLines[0], ::testing::EndsWith(",right audio_hash,same_audio"));
    EXPECT_THAT(csv.out, HasSubstr("," + tagged + ",file,file,"));

    const CliRun nul = Run({"dupes", "--details", "-z", "--percent", "100", Music()});
    EXPECT_EQ(std::count(nul.out.begin(), nul.out.end(), '\0'), 3 * 23);
}

TEST_F(FactsCliTest, DetailsOfACatalogueRowHaveNoRightFile) {
    const std::string song = Tone("Song A.mp3");
    ASSERT_EQ(
        WriteLinesAtomically(root_ / "home" / "Mp3List.txt", {"\\Mp3 List", "\\CD1", "Song A.mp3"}),
        "");
    const CliRun tsv = Run({"compare", "--details", Music()});
    ASSERT_EQ(tsv.exitCode, 0) << tsv.err;
    const auto f = Fields(SplitLines(tsv.out).at(0));
    ASSERT_EQ(f.size(), 23u);
    EXPECT_EQ(f[1], "/CD1/Song A.mp3");
    EXPECT_EQ(f[4], "128");
    EXPECT_EQ(std::vector<std::string>(f.begin() + 12, f.end() - 1),
              std::vector<std::string>(10, ""));
    EXPECT_EQ(f[22], "-");
    const CliRun json = Run({"compare", "--details", "--format", "json", Music()});
    EXPECT_EQ(Flattened(json.out), tsv.out);
    EXPECT_THAT(json.out, HasSubstr("\"right_facts\": null, \"same_audio\": null}"));
}

// The comparison puts the smaller file on the left; a short 320 kbps copy is
// smaller than a long 128 kbps one yet the better copy, so it moves right.
TEST_F(FactsCliTest, KeepBetterPutsTheBetterCopyOnTheRight) {
    const auto longTone = test::MakeToneMp3(tree_.Folder("tones"), 440, 2.0);
    ASSERT_TRUE(longTone);
    std::filesystem::copy_file(*longTone, Music("Song.mp3"));
    const std::string worse = Music("Song.mp3");
    const std::string better = Reencoded("b/Song.mp3", 320, Tone("a/Short.mp3"));
    ASSERT_LT(std::filesystem::file_size(better), std::filesystem::file_size(worse));

    const CliRun plain = Run({"dupes", "--percent", "100", Music()});
    EXPECT_EQ(plain.out, better + "\t" + worse + "\n") << plain.err;
    const CliRun kept = Run({"dupes", "--keep", "better", "--percent", "100", Music()});
    EXPECT_EQ(kept.exitCode, 0) << kept.err;
    EXPECT_EQ(kept.out, worse + "\t" + better + "\n");
    EXPECT_EQ(Run({"dupes", "--keep", "worse", Music()}).exitCode, 2);
}

}  // namespace
}  // namespace mv
