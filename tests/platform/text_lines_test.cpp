#include "platform/text_lines.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "support/core/temp_tree.h"

namespace mv {
namespace {

using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

// Runs `body` in a child process that is killed after a few seconds and may
// use little memory, so a reader that waits or reads without end fails the
// test instead of stopping the suite. What the child returned; nullopt when
// it did not end by itself.
std::optional<std::string> InChild(const std::function<std::string()>& body) {
    int fds[2];
    if (::pipe(fds) != 0) return std::nullopt;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        ::alarm(5);
        const rlimit memory{size_t{1} << 30, size_t{1} << 30};
        ::setrlimit(RLIMIT_AS, &memory);
        const std::string out = body();
        const bool written = ::write(fds[1], out.data(), out.size()) == ssize_t(out.size());
        ::_exit(written ? 0 : 1);
    }
    ::close(fds[1]);
    std::string out;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0) out.append(buffer, size_t(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return out;
}

TEST(TextLines, SplitsEveryLineEnd) {
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n"), (Lines{"a"}));
    EXPECT_EQ(SplitLines("a\n\nb\n"), (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitLines("\r\r\n"), (Lines{"", ""}));  // lone CR, then CR LF
    EXPECT_EQ(SplitLines(std::string_view("a\nb\0c\nd", 7)),
              (Lines{"a", std::string("b\0c", 3), "d"}));
    EXPECT_EQ(SplitLines(""), Lines{});
    EXPECT_EQ(SplitLines(" x \n"), (Lines{" x "}));
}

class TextLinesFile : public ::testing::Test {
  protected:
    std::string Slurp(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    test::TempTree tree_;
    const std::filesystem::path dir_{tree_.Root()};
};

TEST_F(TextLinesFile, WritesCrLfByteForByteAndLeavesNoTemporary) {
    const auto path = dir_ / "List.txt";
    ASSERT_EQ(WriteLinesAtomically(path, {"\\Mp3 List", "caf\xE9", ""}), "");
    EXPECT_EQ(Slurp(path), "\\Mp3 List\r\ncaf\xE9\r\n\r\n");
    ASSERT_EQ(WriteLinesAtomically(path, {}), "");
    EXPECT_EQ(Slurp(path), "");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_),
                            std::filesystem::directory_iterator()),
              1);
    auto back = ReadLines(path);
    ASSERT_TRUE(back.has_value());
    EXPECT_TRUE(back->empty());
}

TEST_F(TextLinesFile, ReportsFailuresAndKeepsTheOldFile) {
    EXPECT_FALSE(ReadLines(dir_ / "absent.txt").has_value());
    EXPECT_FALSE(ReadLines(dir_).has_value());
    const auto path = dir_ / "List.txt";
    ASSERT_EQ(WriteLinesAtomically(path, {"keep"}), "");
    // A folder that does not exist cannot take the temporary file.
    EXPECT_NE(WriteLinesAtomically(dir_ / "no" / "List.txt", {"x"}), "");
    // A folder in the way of the rename: the old content must survive.
    std::filesystem::create_directories(dir_ / "Dir.txt" / "inside");
    EXPECT_NE(WriteLinesAtomically(dir_ / "Dir.txt", {"x"}), "");
    EXPECT_EQ(Slurp(path), "keep\r\n");
}

TEST_F(TextLinesFile, ReadersNeitherWaitOnAPipeNorRunOnOnADevice) {
    ASSERT_EQ(::mkfifo((dir_ / "Pipe.txt").c_str(), 0644), 0);
    fs::create_symlink("Pipe.txt", dir_ / "PipeLink.txt");
    for (const fs::path& path : {dir_ / "Pipe.txt", dir_ / "PipeLink.txt", fs::path("/dev/zero"),
                                 fs::path("/dev/urandom")}) {
        const auto outcome =
            InChild([&] { return ReadLines(path) ? std::string("read") : std::string("refused"); });
        EXPECT_EQ(outcome, std::optional<std::string>("refused")) << path;
    }
}

TEST_F(TextLinesFile, ReadTellsAbsentFromUnreadableAndSaysWhy) {
    ASSERT_EQ(::mkfifo((dir_ / "Pipe.txt").c_str(), 0644), 0);
    fs::create_directories(dir_ / "Folder.txt");
    fs::create_symlink("Missing.txt", dir_ / "Dangling.txt");
    fs::create_symlink("LoopB.txt", dir_ / "LoopA.txt");
    fs::create_symlink("LoopA.txt", dir_ / "LoopB.txt");
    {
        std::ofstream(dir_ / "Real.txt", std::ios::binary) << "a\r\nb";
        fs::create_symlink("Real.txt", dir_ / "Link.txt");
        // A sparse file: its size alone refuses it, nothing is read.
        std::ofstream(dir_ / "Huge.txt");
        fs::resize_file(dir_ / "Huge.txt", (uintmax_t{1} << 30) + 1);
    }
    struct Case {
        fs::path path;
        ReadStatus status;
        std::string cause;  // in the message; empty: no message
    };
    const Case cases[] = {
        {dir_ / "Link.txt", ReadStatus::Read, ""},
        {dir_ / "Absent.txt", ReadStatus::Absent, "No such file"},
        {dir_ / "Pipe.txt", ReadStatus::Unreadable, "it is a named pipe, not a regular file"},
        {"/dev/null", ReadStatus::Unreadable, "it is a device, not a regular file"},
        {dir_ / "Folder.txt", ReadStatus::Unreadable, "it is a folder, not a regular file"},
        {dir_ / "Dangling.txt", ReadStatus::Unreadable, "it is a dangling link (to Missing.txt)"},
        {dir_ / "LoopA.txt", ReadStatus::Unreadable, "it is a link that leads round in a loop"},
        {dir_ / "Huge.txt", ReadStatus::Unreadable, "larger than 1 GiB"},
    };
    for (const Case& c : cases) {
        const ReadLinesResult r = ReadLinesWithStatus(c.path);
        EXPECT_EQ(r.status, c.status) << c.path;
        if (c.cause.empty()) {
            EXPECT_EQ(r.message, "") << c.path;
            EXPECT_EQ(r.lines, (Lines{"a", "b"}));
        } else {
            EXPECT_EQ(r.message.rfind("Cannot read " + c.path.string() + ": ", 0), 0u) << r.message;
            EXPECT_NE(r.message.find(c.cause), std::string::npos) << r.message;
            EXPECT_TRUE(r.lines.empty());
        }
    }
}

TEST_F(TextLinesFile, WritesThroughLinksKeepingTheTargetsModeAndOwner) {
    fs::create_directories(dir_ / "real");
    const auto target = dir_ / "real" / "List.txt";
    ASSERT_EQ(WriteLinesAtomically(target, {"old"}), "");
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(target.c_str(), 4242, 4343), 0);
    }
    // A chain: a relative link to a link in another folder.
    fs::create_symlink(target, dir_ / "real" / "Inner.txt");
    fs::create_symlink(fs::path("real") / "Inner.txt", dir_ / "List.txt");

    ASSERT_EQ(WriteLinesAtomically(dir_ / "List.txt", {"new"}), "");
    EXPECT_TRUE(fs::is_symlink(dir_ / "List.txt"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "real" / "Inner.txt"));
    EXPECT_EQ(Slurp(target), "new\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(std::make_pair(st.st_uid, st.st_gid), std::make_pair(4242u, 4343u));
    }
    // No temporary left anywhere.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "real"), fs::directory_iterator()), 2);
}

TEST_F(TextLinesFile, RefusesToSaveOverWhatIsNoRegularFile) {
    ASSERT_EQ(::mkfifo((dir_ / "Pipe.txt").c_str(), 0644), 0);
    fs::create_symlink("Missing.txt", dir_ / "Dangling.txt");
    fs::create_symlink("Loop.txt", dir_ / "Loop.txt");
    const std::pair<const char*, const char*> cases[] = {
        {"Pipe.txt", "it is a named pipe, not a regular file"},
        {"Dangling.txt", "it is a dangling link (to Missing.txt)"},
        {"Loop.txt", "it is a link that leads round in a loop"},
    };
    for (const auto& [name, cause] : cases) {
        EXPECT_EQ(WriteLinesAtomically(dir_ / name, {"x"}),
                  "Cannot write " + (dir_ / name).string() + ": " + cause + ".");
    }
    // Everything stayed as it was; no surprise file beside the links.
    EXPECT_TRUE(fs::is_fifo(dir_ / "Pipe.txt"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "Dangling.txt"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "Loop.txt"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 3);
}

}  // namespace
}  // namespace mv
