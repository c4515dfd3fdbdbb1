// The real program, started as separate processes on one program folder:
// the command line, and one running program per folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/core/temp_tree.h"

namespace mv {

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string Slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Every file below `folder` with its size and time of change.
std::map<std::string, std::pair<uintmax_t, fs::file_time_type>> Snapshot(const fs::path& folder) {
    std::map<std::string, std::pair<uintmax_t, fs::file_time_type>> files;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        files[e.path().string()] = {e.is_regular_file() ? e.file_size() : 0, e.last_write_time()};
    }
    return files;
}

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::error_code ec;
        program_ = fs::read_symlink("/proc/self/exe", ec).parent_path() / "mp3vandrel";
        if (!fs::exists(program_)) GTEST_SKIP() << program_ << " is not built";
        home_ = tree_.Path("home");
        // Not a first run (no question), and no network.
        tree_.File("home/Mp3Vandrel.ini", "[MAIN]\r\nVersionCheck=0\r\n");
        tree_.Folder("drive");
        // A short runtime folder: a socket's path is short.
        char run[] = "/tmp/mvrun.XXXXXX";
        ASSERT_NE(::mkdtemp(run), nullptr);
        run_ = run;
    }
    void TearDown() override {
        std::error_code ec;
        if (!run_.empty()) fs::remove_all(run_, ec);
        for (pid_t pid : running_) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
    // Starts the program with the test's folders; its output goes to
    // `name`.out and `name`.err beside them.
    pid_t Start(const std::string& name, std::vector<std::string> args = {}) {
        std::vector<std::string> env = {"MP3VANDREL_HOME=" + home_.string(),
                                        "MP3VANDREL_DRIVES=fixed=" + tree_.Path("drive"),
                                        "QT_QPA_PLATFORM=offscreen",
                                        "XDG_RUNTIME_DIR=" + run_.string(),
                                        "HOME=" + tree_.Path("user"),
                                        "DBUS_SESSION_BUS_ADDRESS=disabled:",
                                        "PATH=/usr/bin:/bin"};
        args.insert(args.begin(), program_.string());
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, tree_.Path(name + ".out").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, tree_.Path(name + ".err").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<char*> argv, envp;
        for (auto& a : args) argv.push_back(a.data());
        for (auto& e : env) envp.push_back(e.data());
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        pid_t pid = 0;
        EXPECT_EQ(posix_spawn(&pid, program_.c_str(), &actions, nullptr, argv.data(), envp.data()),
                  0);
        posix_spawn_file_actions_destroy(&actions);
        running_.push_back(pid);
        return pid;
    }
    // The exit status, or -1 when it still runs after `limit`.
    int Wait(pid_t pid, std::chrono::milliseconds limit = 10s) {
        for (auto end = std::chrono::steady_clock::now() + limit;
             std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(20ms)) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid) {
                std::erase(running_, pid);
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
        }
        return -1;
    }
    // Waits until `pid` notes itself in the folder's lock as its holder.
    bool Holds(pid_t pid) {
        const std::string prefix = std::to_string(pid) + "\n";
        for (int i = 0; i < 500; ++i, std::this_thread::sleep_for(20ms)) {
            if (Slurp(home_ / "Mp3Vandrel.lock").starts_with(prefix)) return true;
        }
        return false;
    }
    std::string Err(const std::string& name) { return Slurp(tree_.Path(name + ".err")); }

    mv::test::TempTree tree_;
    fs::path program_, home_, run_;
    std::vector<pid_t> running_;
};

TEST_F(ProgramTest, HelpVersionAndUnknownArgumentsEndAtOnceAndTouchNoFile) {
    home_ = tree_.Path("never");  // the folder is not even made
    const struct {
        std::vector<std::string> args;
        int code;
        const char* out;  // in standard output, or else in standard error
    } cases[] = {
        {{"--version"}, 0, "mp3vandrel 1.52\n"},
        {{"-platform", "offscreen", "--version"}, 0, "mp3vandrel 1.52\n"},
        {{"--help"}, 0, "Usage: mp3vandrel"},
        {{"--bogus"}, 2, "unknown option '--bogus'"},
        {{"-platform", "offscreen", "song.mp3"}, 2, "unexpected argument 'song.mp3'"},
    };
    for (const auto& c : cases) {
        const pid_t pid = Start("info", c.args);
        EXPECT_EQ(Wait(pid), c.code) << c.args.back();
        const std::string text = c.code == 0 ? Slurp(tree_.Path("info.out")) : Err("info");
        EXPECT_NE(text.find(c.out), std::string::npos) << c.args.back() << ": " << text;
    }
    EXPECT_FALSE(fs::exists(home_));
}

TEST_F(ProgramTest, ASecondStartShowsTheFirstAndAKilledOneDoesNotBlock) {
    const pid_t first = Start("first");
    ASSERT_TRUE(Holds(first)) << Err("first");
    const auto before = Snapshot(home_);
    EXPECT_EQ(Wait(Start("second")), 0) << Err("second");
    EXPECT_NE(Err("second").find("its window is shown"), std::string::npos) << Err("second");
    // The first was asked to show its window (the test platform says it cannot).
    EXPECT_NE(Err("first").find("raise"), std::string::npos) << Err("first");
    EXPECT_EQ(Snapshot(home_), before);

    // A crash leaves the lock's file; the next start takes the folder.
    ::kill(first, SIGKILL);
    EXPECT_EQ(Wait(first), 128 + SIGKILL);
    const pid_t third = Start("third");
    ASSERT_TRUE(Holds(third)) << Err("third");
    EXPECT_EQ(Wait(Start("fourth")), 0) << Err("fourth");
    EXPECT_NE(Err("fourth").find("process " + std::to_string(third)), std::string::npos)
        << Err("fourth");
}

}  // namespace

}  // namespace mv
