#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "cli_runner.h"
#include "cli_tree.h"
#include "platform/text_lines.h"

using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace fs = std::filesystem;

namespace mv {
namespace {

class CliTest : public CliTree {
  protected:
    void List(const std::vector<std::string>& lines) const {
        ASSERT_EQ(WriteLinesAtomically(root_ / "home" / "Mp3List.txt", lines), "");
    }
    CliRun Run(const std::vector<std::string>& args, const std::string& input = "") const {
        return RunCli(args, input, Home());
    }
};

// A name with ESC, BEL and DEL in the tool's messages, written by the
// commands through their error stream and by `play` on std::cerr itself:
// the terminal sees \xHH, never the bytes; a byte from 0x80 up stays.
TEST_F(CliTest, MessagesWriteControlBytesOfNamesAsHex) {
    const std::string odd = File("Esc\x1b]0;owned\x07\x7f\x9b.mp3", 3);
    const std::string shown = Music() + "/Esc\\x1B]0;owned\\x07\\x7F\x9b.mp3";
    const std::vector<std::vector<std::string>> commands{
        {"tag", "show", odd},
        {"play", "--out", "wav:" + odd, odd},
        {"dupes", Music() + "/missing\x1b[2J"},
    };
    for (const auto& args : commands) {
        const CliRun r = Run(args);
        EXPECT_NE(r.exitCode, 0) << args[0];
        for (const char c : r.err) {
            const auto byte = static_cast<unsigned char>(c);
            EXPECT_TRUE(c == '\n' || (byte >= 0x20 && byte != 0x7f))
                << args[0] << ": raw byte " << int{byte} << " in " << r.err;
        }
        EXPECT_THAT(r.err, HasSubstr(args[0] == "dupes" ? "missing\\x1B[2J" : shown)) << args[0];
    }
}

TEST_F(CliTest, MatchNormalisesAndJudgesEachLine) {
    const CliRun r = Run({"match"},
                         "Nightfall - One.mp3\tnightfall_one (live).mp3\t80\r\n"
                         "A Day.mp3\tDay.mp3\t101\n"
                         "A Day.mp3\tDay.mp3\t100\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "Nightfall One.mp3\tnightfall one live .mp3\t1\n"
              "A Day.mp3\tDay.mp3\t1\n"
              "A Day.mp3\tDay.mp3\t0\n");
    // NamesMatch keeps its own rule: wordless `first` at 100 matches.
    EXPECT_EQ(Run({"match"}, ".mp3\tAnything.mp3\t100\n").out, ".mp3\tAnything.mp3\t1\n");
    // The echo is the normalised form, plain ASCII: nothing there to escape.
    EXPECT_EQ(Run({"match"}, "AC\\DC Caf\xe9.mp3\tAC DC Cafe.mp3\t100\n").out,
              "AC DC Cafe.mp3\tAC DC Cafe.mp3\t1\n");
}

TEST_F(CliTest, MatchStopsAtAMalformedLine) {
    const CliRun r = Run({"match"}, "a\tb\t80\na\tb\tx\na\tb\t80\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "a\tb\t0\n");
    EXPECT_THAT(r.err, HasSubstr("Line 2"));
}

TEST_F(CliTest, DupesRecursesAndPrintsRowsThenTheSummary) {
    const auto big = File("a/Song One.mp3", 30);
    const auto small = File("a/sub/song_one.MP3", 3);
    File(".hidden/Song One.mp3");
    File("b/Other.mp3");
    const CliRun r = Run({"dupes", Music() + "/"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, small + "\t" + big + "\n");
    EXPECT_THAT(r.err, StartsWith("1 result in "));
    EXPECT_THAT(r.err, ::testing::EndsWith(" seconds\nComparison finished\n"));

    const CliRun flat = Run({"dupes", "--no-recurse", Music("a")});
    EXPECT_EQ(flat.exitCode, 0);
    EXPECT_EQ(flat.out, "");
    EXPECT_THAT(flat.err, StartsWith("0 result in "));

    EXPECT_EQ(Run({"dupes", "--exhaustive", "--percent", "50", Music()}).out, r.out);
}

TEST_F(CliTest, DupesFailures) {
    File("a/Song.wav");
    CliRun r = Run({"dupes", Music()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "This Directory contains no Mp3s!\n");

    EXPECT_EQ(Run({"dupes", "--ext", "wav", Music()}).exitCode, 0);

    r = Run({"dupes", Music("missing")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_THAT(r.err, HasSubstr("missing"));

    r = Run({"dupes", "--percent", "eighty", Music()});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "The match percentage must be a whole number, for example 80.\n");

    r = Run({"dupes"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_THAT(r.err, HasSubstr("Usage"));
    EXPECT_EQ(Run({"frobnicate"}).exitCode, 2);
}

TEST_F(CliTest, CompareUsesTheListInTheProgramFolderOrTheGivenOne) {
    const auto a = File("Song A.mp3");
    List({"\\Mp3 List", "\\CD1", "/Rock", "Song A.mp3", "..", "Song B.mp3"});
    CliRun r = Run({"compare", Music()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, a + "\t/CD1/Rock/Song A.mp3\n");

    const auto other = (root_ / "other.txt").string();
    ASSERT_EQ(WriteLinesAtomically(other, {"\\Mp3 List", "\\Live", "Song A.mp3"}), "");
    EXPECT_EQ(Run({"compare", "--list", other, Music()}).out, a + "\t/Live/Song A.mp3\n");

    r = Run({"compare", "--list", (root_ / "none.txt").string(), Music()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_THAT(r.err, StartsWith("You don't have any list!!\n0 result in "));
    EXPECT_THAT(r.err, ::testing::EndsWith("Comparison Cancelled\n"));
}

TEST_F(CliTest, SearchFindsTitlesAndShowsNoClosingMessage) {
    List({"\\Mp3 List", "\\CD1", "Artist Song Title.mp3", "Artist Other.mp3"});
    const CliRun r = Run({"search", "artist song"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Search\\\\artist song\t/CD1/Artist Song Title.mp3\n");
    EXPECT_THAT(r.err, StartsWith("1 result in "));
    EXPECT_THAT(r.err, ::testing::Not(HasSubstr("Comparison")));
    EXPECT_EQ(Run({"search", "--"}).out, "");

    // A catalogue copied from Windows keeps its own spelling of the name.
    fs::rename(root_ / "home" / "Mp3List.txt", root_ / "home" / "mp3list.TXT");
    EXPECT_EQ(Run({"search", "artist song"}).out,
              "Search\\\\artist song\t/CD1/Artist Song Title.mp3\n");
}

}  // namespace
}  // namespace mv

namespace mv {
namespace {

TEST_F(CliTest, CtrlCStopsTheRunAndKeepsTheRowsFound) {
    // Enough pair tests to run for seconds; the early titles match.
    std::vector<std::string> lines{"\\Mp3 List", "\\CD"};
    for (int k = 0; k < 50; ++k) lines.push_back("Track Name.mp3");
    for (int k = 0; k < 400000; ++k) lines.push_back("Unrelated Words " + std::to_string(k));
    List(lines);
    for (int k = 0; k < 40; ++k) File("Track Name " + std::string(k + 1, 'x') + ".mp3");

    CliProcess cli({"compare", "--exhaustive", Music()}, "", Home());
    // Rows on stdout show that the comparison is under way.
    for (int wait = 0; wait < 3000 && cli.OutSoFar().empty(); ++wait) usleep(10000);
    kill(cli.Pid(), SIGINT);
    const CliRun r = cli.Finish();
    EXPECT_EQ(r.exitCode, 130) << r.err;
    EXPECT_THAT(r.err, HasSubstr("Comparison Cancelled"));
    const size_t rows = static_cast<size_t>(std::count(r.out.begin(), r.out.end(), '\n'));
    EXPECT_GE(rows, 50u);
    EXPECT_LT(rows, 40u * 50u);
    EXPECT_THAT(r.err, StartsWith(std::to_string(rows) + " results in "));
}

}  // namespace
}  // namespace mv
