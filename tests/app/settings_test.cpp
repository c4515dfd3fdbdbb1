#include "app/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/ascii_case.h"
#include "platform/text_lines.h"
#include "support/core/temp_tree.h"

namespace mv {
namespace {

class SettingsFile : public ::testing::Test {
  protected:
    std::filesystem::path Ini() const { return dir_ / kSettingsFileName; }
    void Write(const std::filesystem::path& file, const std::string& bytes) {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    std::string Read(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    test::TempTree tree_;
    const std::filesystem::path dir_{tree_.Root()};
};

TEST_F(SettingsFile, FirstStartGivesDefaultsAndWritesEveryKeyInOrder) {
    const auto r = ReadSettings(Ini());
    EXPECT_FALSE(r.fileFound);
    const Settings& s = r.settings;
    EXPECT_FALSE(s.shuffle);
    EXPECT_TRUE(s.recCompare && s.minimize && s.versionCheck && s.recPlaylist);
    EXPECT_EQ(s.percentage, "80");
    EXPECT_EQ(s.extension, "Mp3");
    EXPECT_EQ(s.displayMode, 0);
    EXPECT_EQ(s.listCount, 0);
    EXPECT_EQ(s.server, "localhost:8080");
    EXPECT_FALSE(s.moveToTrash);
    EXPECT_FALSE(s.eqEnabled);
    EXPECT_EQ(s.bars, (mv::EqualizerBars{}));

    ASSERT_EQ(WriteSettings(Ini(), s), "");
    EXPECT_EQ(Read(Ini()),
              "[MAIN]\r\nShuffle=0\r\nRecCompare=1\r\nMinimize=1\r\nVersionCheck=1\r\n"
              "RecPlaylist=1\r\nPercentage=80\r\nExtension=Mp3\r\nDisplayMode=0\r\n"
              "ListCount=0\r\nServer=localhost:8080\r\nMoveToTrash=0\r\nAlwaysKeepBetterCopy=0\r\n"
              "WriteId3v2=0\r\nNameFromId3v2=0\r\nWindowsSafeNames=0\r\nLastFolder=\r\n\r\n"
              "[EQUALIZER]\r\nEnabled=0\r\nBar01=0\r\nBar02=0\r\nBar03=0\r\nBar04=0\r\n"
              "Bar05=0\r\nBar06=0\r\nBar07=0\r\nBar08=0\r\n");
}

TEST_F(SettingsFile, RoundTripKeepsEveryValue) {
    Settings s;
    s.shuffle = true;
    s.recCompare = false;
    s.minimize = false;
    s.versionCheck = false;
    s.recPlaylist = false;
    s.percentage = "100";
    s.extension = "wma";
    s.displayMode = 1;
    s.listCount = 1234;
    s.server = "music.example:9000";
    s.moveToTrash = true;
    s.writeId3v2 = s.nameFromId3v2 = s.windowsSafeNames = true;
    s.eqEnabled = true;
    s.bars = {-80, -40, 0, 1, 2, 3, 40, 80};
    ASSERT_EQ(WriteSettings(Ini(), s), "");

    const auto r = ReadSettings(Ini());
    ASSERT_TRUE(r.fileFound);
    // Every key differs from its default, so a key lost either way shows here.
    EXPECT_EQ(FormatSettings(r.settings), FormatSettings(s));
}

TEST_F(SettingsFile, ReadsHandWrittenFilesLeniently) {
    Write(Ini(),
          "[main]\nshuffle = 2\nRECCOMPARE=0\nMinimize=yes\nVersionCheck=-1\n"
          "Percentage=100\nExtension= mP3 \nDisplayMode=1.5\nListCount=+12\n"
          "[Equalizer]\nenabled=1\nBar01=-80\nBar02=abc\nBar03=99999999999\nBar08=7\n");
    const Settings s = ReadSettings(Ini()).settings;
    EXPECT_TRUE(s.shuffle);  // any whole number but 0
    EXPECT_FALSE(s.recCompare);
    EXPECT_TRUE(s.minimize);  // not a number: the default
    EXPECT_TRUE(s.versionCheck);
    EXPECT_EQ(s.percentage, "100");  // as it stands, beyond the box's typing limit
    EXPECT_EQ(s.extension, "mP3");
    EXPECT_EQ(s.displayMode, 0);
    EXPECT_EQ(s.listCount, 12);
    EXPECT_TRUE(s.eqEnabled);
    EXPECT_EQ(s.bars, (mv::EqualizerBars{-80, 0, 0, 0, 0, 0, 0, 7}));
}

TEST_F(SettingsFile, KeysOfOtherWindowsAndSectionsSurviveARewrite) {
    Write(Ini(),
          "; written by hand\r\n[MAIN]\r\nshuffle=1\r\nLastFolder=/home/me/Music\r\n"
          "[POLL]\r\nVoted=3\r\n[EQUALIZER]\r\nBar01=5\r\nPreamp=2\r\n");
    Settings s = ReadSettings(Ini()).settings;
    s.shuffle = false;
    ASSERT_EQ(WriteSettings(Ini(), s), "");

    const auto lines = *ReadLines(Ini());
    const auto at = [&](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) - lines.begin();
    };
    EXPECT_EQ(at("; written by hand"), 0);
    EXPECT_EQ(at("Shuffle=0"), at("[MAIN]") + 1);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) {
                                return EqualsIgnoringAsciiCase(l.substr(0, 8), "shuffle=");
                            }),
              1);
    EXPECT_GT(at("LastFolder=/home/me/Music"), at("Server=localhost:8080"));
    EXPECT_LT(at("LastFolder=/home/me/Music"), at("[EQUALIZER]"));
    EXPECT_GT(at("Preamp=2"), at("Bar08=0"));
    EXPECT_EQ(ReadSettings(Ini()).settings.bars[0], 5);
    EXPECT_GT(at("[POLL]"), at("Preamp=2"));
    EXPECT_EQ(at("Voted=3"), at("[POLL]") + 1);
}

TEST_F(SettingsFile, WriteFailureIsReportedAndLeavesNothingBehind) {
    EXPECT_NE(WriteSettings(dir_ / "missing" / kSettingsFileName, Settings{}), "");
    // A folder in the file's place cannot be replaced.
    std::filesystem::create_directory(Ini());
    EXPECT_NE(WriteSettings(Ini(), Settings{}), "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_),
                            std::filesystem::directory_iterator()),
              1);
}

}  // namespace
}  // namespace mv
