// dupes --by sound on MP3 files lame makes at test time: one recording at
// two bitrates under unrelated names pairs, nothing else does, in the rows
// the search by names prints.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "cli_runner.h"
#include "cli_tree.h"
#include "media/media_fixture.h"
#include "platform/text_lines.h"
#include "support/core/scoped_env.h"

using ::testing::HasSubstr;

namespace mv {
namespace {

class SoundDupesCliTest : public CliTree {
  protected:
    SoundDupesCliTest() : cacheHome_("XDG_CACHE_HOME", tree_.Path("cache")) {}
    test::ScopedEnv cacheHome_;

    void SetUp() override {
        if (!test::Mp3ToolsAvailable()) GTEST_SKIP() << "sox or lame missing";
        const auto low = test::SweepMp3(tree_.Path("work"), "-b 96", 10.0);
        const auto high = test::SweepMp3(tree_.Path("work"), "-b 256", 10.0);
        ASSERT_TRUE(low && high);
        low_ = test::WriteBytes(Music("a/first\ttake.mp3"), *low);
        high_ = test::WriteBytes(Music("b/other name.mp3"), *high);
        test::WriteBytes(Music(".hidden/copy.mp3"), *high);  // left out, as by names
        File("c/notes.mp3", 300);
        ASSERT_TRUE(test::MakeToneMp3(Music("c"), 440, 10.0));
    }
    CliRun Run(std::vector<std::string> args) const {
        args.insert(args.begin(), {"dupes", "--by", "sound"});
        return RunCli(args, "", Home());
    }
    std::string low_, high_;
};

TEST_F(SoundDupesCliTest, PairsOneRecordingUnderAnyName) {
    const std::string lowField = Music("a/first\\ttake.mp3");
    const CliRun plain = Run({Music()});
    EXPECT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_EQ(plain.out, lowField + "\t" + high_ + "\n");
    EXPECT_THAT(plain.err, HasSubstr("No sound print of " + Music("c/notes.mp3")));
    EXPECT_THAT(plain.err, HasSubstr("1 result in "));

    // Again from the cache, with both files' facts as by names (23 columns)
    // and the similarity last.
    const CliRun details = Run({"--details", Music()});
    const std::vector<std::string> lines = SplitLines(details.out);
    ASSERT_EQ(lines.size(), 1u) << details.out;
    const std::string prefix = lowField + "\t" + high_ + "\t";
    ASSERT_EQ(lines[0].rfind(prefix, 0), 0u) << lines[0];
    EXPECT_EQ(std::count(lines[0].begin(), lines[0].end(), '\t'), 23) << lines[0];
    EXPECT_THAT(lines[0], HasSubstr("\t96\tno\t")) << "the low copy's bitrate";
    EXPECT_THAT(lines[0], HasSubstr("\t256\tno\t44100\t"));
    const std::size_t last = lines[0].rfind('\t');
    const std::size_t sameAt = lines[0].rfind('\t', last - 1) + 1;
    EXPECT_EQ(lines[0].substr(sameAt, last - sameAt), "no") << "same_audio before the similarity";
    const double similarity = std::stod(lines[0].substr(last + 1));
    EXPECT_GE(similarity, 0.85);
    EXPECT_LE(similarity, 1.0);

    const CliRun json = Run({"--details", "--format", "json", Music()});
    const std::string file = tree_.Path("rows.json");
    std::ofstream(file, std::ios::binary) << json.out;
    const std::string check =
        "python3 -c 'import json,sys; r=json.load(open(sys.argv[1])); assert len(r) == 1; "
        "assert list(r[0]) == [\"left\", \"right\", \"left kind\", \"right kind\", "
        "\"left_facts\", \"right_facts\", \"same_audio\", \"sound_similarity\"], r; "
        "assert r[0][\"left_facts\"][\"bitrate_kbps\"] == 96, r; "
        "assert type(r[0][\"sound_similarity\"]) is float' " +
        file;
    EXPECT_EQ(std::system(check.c_str()), 0) << json.out;

    // Only the folder itself: its subfolders hold the pair.
    const CliRun flat = Run({"--no-recurse", Music()});
    EXPECT_EQ(flat.exitCode, 1);
    EXPECT_EQ(flat.out, "");
    EXPECT_EQ(RunCli({"dupes", "--by", "colour", Music()}, "", Home()).exitCode, 2);
}

}  // namespace
}  // namespace mv
