#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli_runner.h"
#include "cli_tree.h"
#include "platform/text_lines.h"

using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace fs = std::filesystem;

namespace mv {
namespace {

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class BanCliTest : public CliTree {
  protected:
    void SetUp() override {
        File("Song (Remix).mp3");
        File("Hit (Karaoke Version).mp3");
        File("Clean Song.mp3");
        File("sub/Live Remix.mp3");
        File("sub/deeper/Oliver Tune.mp3");
        File("sub/Remix.txt");
    }
    CliRun Run(const std::vector<std::string>& args) const { return RunCli(args, "", Home()); }
    fs::path Mp3List() const { return root_ / "home" / "Mp3List.txt"; }
};

// The scan is a comparison against the ban list at 100: its rows are exactly
// those of `compare` given the ban list as the Mp3 list, with and without
// recursion, and the Mp3 list itself is never created.
TEST_F(BanCliTest, RowsAreThoseOfCompareAgainstTheBanListAt100) {
    const fs::path ban = root_ / "bans.txt";
    ASSERT_EQ(WriteLinesAtomically(
                  ban, {"\\BANLIST", "remix", "", "--", "/x", "live", "..", "karaoke version"}),
              "");
    for (const bool recurse : {true, false}) {
        std::vector<std::string> scanArgs{"ban", "scan", "--ban", ban.string()};
        std::vector<std::string> compareArgs{"compare", "--percent", "100", "--list", ban.string()};
        if (!recurse) {
            scanArgs.push_back("--no-recurse");
            compareArgs.push_back("--no-recurse");
        }
        scanArgs.push_back(Music());
        compareArgs.push_back(Music());
        const CliRun scan = Run(scanArgs);
        const CliRun compare = Run(compareArgs);
        EXPECT_EQ(scan.exitCode, 0) << scan.err;
        EXPECT_EQ(scan.out, compare.out);
        EXPECT_THAT(scan.err, ::testing::EndsWith("Comparison finished\n"));
        EXPECT_THAT(scan.out, HasSubstr(Music("Song (Remix).mp3") + "\t/BANLIST/remix\n"));
        EXPECT_EQ(scan.out.find("sub/"), recurse ? scan.out.find("sub/") : std::string::npos);
        if (recurse) {
            EXPECT_THAT(scan.out, HasSubstr(Music("sub/Live Remix.mp3") + "\t/BANLIST/x/live\n"));
            EXPECT_THAT(scan.out,
                        HasSubstr(Music("sub/deeper/Oliver Tune.mp3") + "\t/BANLIST/x/live\n"));
        }
    }
    EXPECT_FALSE(fs::exists(Mp3List()));
}

TEST_F(BanCliTest, DefaultsToTheProgramsBanListAndLeavesTheMp3ListAsItWas) {
    // A catalogue in the Windows form, with titles the scan would find if it
    // read the catalogue instead of the ban list.
    const std::string catalogue = "\\Mp3 List\n\\CD1\nClean Song.mp3\nOliver Tune.mp3\n";
    std::ofstream(Mp3List(), std::ios::binary) << catalogue;
    ASSERT_EQ(WriteLinesAtomically(root_ / "home" / "banlist.TXT", {"\\BANLIST", "clean"}), "");
    const CliRun r = Run({"ban", "scan", Music()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, Music("Clean Song.mp3") + "\t/BANLIST/clean\n");
    EXPECT_THAT(r.err, StartsWith("1 result in "));
    EXPECT_EQ(Slurp(Mp3List()), catalogue);
}

TEST_F(BanCliTest, FailuresExitWithOneAndSayWhy) {
    // No ban list.
    CliRun r = Run({"ban", "scan", Music()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "You do not have any banlist!\n");
    EXPECT_EQ(r.out, "");

    // A folder in its place: the message and the cause.
    fs::create_directory(root_ / "home" / "BanList.txt");
    r = Run({"ban", "scan", Music()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_THAT(r.err, StartsWith("You do not have any banlist!\n"));
    EXPECT_THAT(r.err, HasSubstr("BanList.txt"));

    // A 0-byte ban list is no ban list, in the ban list's words; nothing runs.
    const fs::path empty = root_ / "empty.txt";
    std::ofstream(empty, std::ios::binary).flush();
    r = Run({"ban", "scan", "--ban", empty.string(), Music()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "You do not have any banlist!\n" + empty.string() + " is empty.\n");

    // One NUL line is a line: the scan runs and bans nothing.
    const fs::path nul = root_ / "nul.txt";
    std::ofstream(nul, std::ios::binary) << std::string("\0\r\n", 3);
    r = Run({"ban", "scan", "--ban", nul.string(), Music()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_THAT(r.err, ::testing::EndsWith("Comparison finished\n"));

    // A header alone finds nothing, which is no failure.
    const fs::path header = root_ / "header.txt";
    ASSERT_EQ(WriteLinesAtomically(header, {"\\BANLIST"}), "");
    r = Run({"ban", "scan", "--ban", header.string(), Music()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");

    // No such folder; `ban` alone is a usage error.
    r = Run({"ban", "scan", "--ban", header.string(), Music("none")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_THAT(r.err, HasSubstr("No such folder"));
    EXPECT_EQ(Run({"ban"}).exitCode, 2);
    EXPECT_FALSE(fs::exists(Mp3List()));
}

}  // namespace
}  // namespace mv
