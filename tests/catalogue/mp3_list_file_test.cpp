#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "catalogue/mp3_list.h"
#include "example_list.h"
#include "support/core/temp_tree.h"

namespace mv {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class Mp3ListFile : public ::testing::Test {
  protected:
    void Write(std::string_view bytes) { std::ofstream(path_, std::ios::binary) << bytes; }
    std::string Slurp() const {
        std::ostringstream s;
        s << std::ifstream(path_, std::ios::binary).rdbuf();
        return s.str();
    }
    long FilesInDir() const {
        return std::distance(fs::directory_iterator(dir_), fs::directory_iterator());
    }
    test::TempTree tree_;
    const fs::path dir_{tree_.Root()};
    const fs::path path_{dir_ / "Mp3List.txt"};
};

TEST_F(Mp3ListFile, ReadsEveryLineEndAndWritesCrLf) {
    TMp3List list;
    const char bytes[] = "\\Mp3 List\r\n\\CD\r /Rock \nSong.mp3\n\n  \r\nlast\n\0After.mp3\n";
    Write(std::string_view(bytes, sizeof bytes - 1));
    ASSERT_TRUE(list.Load(path_));
    const std::string nulLine("\0After.mp3", 10);  // a NUL is a byte of its line
    EXPECT_EQ(list.Lines(),
              (Lines{"\\Mp3 List", "\\CD", " /Rock ", "Song.mp3", "", "  ", "last", nulLine}));
    ASSERT_EQ(list.Save(path_), "");
    EXPECT_EQ(Slurp(),
              "\\Mp3 List\r\n\\CD\r\n /Rock \r\nSong.mp3\r\n\r\n  \r\nlast\r\n" + nulLine + "\r\n");

    list.SetLines({});
    ASSERT_EQ(list.Save(path_), "");
    EXPECT_EQ(Slurp(), "");
    EXPECT_EQ(FilesInDir(), 1);  // no temporary file left behind
}

TEST_F(Mp3ListFile, AbsentAndUnreadableFilesLoadEmptyButAreToldApart) {
    TMp3List list;
    list.SetLines({"held"});
    EXPECT_FALSE(list.Load(path_));
    EXPECT_EQ(list.LineCount(), 0u);
    EXPECT_EQ(list.LoadWithStatus(path_), ListLoadStatus::Absent);
    fs::create_directories(path_);  // something there, but no list to read
    list.SetLines({"held"});
    EXPECT_EQ(list.LoadWithStatus(path_), ListLoadStatus::Unreadable);
    EXPECT_EQ(list.LineCount(), 0u);
    EXPECT_EQ(list.LoadReporting(path_).message,
              "Cannot read " + path_.string() + ": it is a folder, not a regular file.");
}

TEST_F(Mp3ListFile, Windows1252FileRoundTripsUnchanged) {
    const std::string bytes =
        "\\Mp3 List\r\n\\Caf\xE9 \xC9t\xE9\r\n/Chansons fran\xE7"
        "aises\r\nNa\xEFve \x8A\x9F.mp3\r\n..\r\n";
    Write(bytes);
    TMp3List list;
    ASSERT_TRUE(list.Load(path_));
    EXPECT_EQ(list.LineCount(), 5u);
    ASSERT_EQ(list.Save(path_), "");
    EXPECT_EQ(Slurp(), bytes);
}

TEST_F(Mp3ListFile, FailedSaveReportsAndKeepsTheOldFile) {
    TMp3List list;
    list.SetLines(testing::kExampleList);
    ASSERT_EQ(list.Save(path_), "");
    const std::string before = Slurp();
    EXPECT_NE(list.Save(dir_ / "missing" / "Mp3List.txt"), "");

    // A file-size limit makes the write fail as a full disk would, even for a
    // user whom permissions cannot stop.
    list.SetLines(Lines(1000, "A title long enough to pass the limit.mp3"));
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string error = list.Save(path_);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_NE(error.find("Mp3List.txt"), std::string::npos) << error;
    EXPECT_EQ(Slurp(), before);
    EXPECT_EQ(FilesInDir(), 1);
}

}  // namespace
}  // namespace mv
