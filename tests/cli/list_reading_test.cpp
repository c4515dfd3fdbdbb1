#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "cli_runner.h"
#include "support/core/temp_tree.h"

namespace fs = std::filesystem;

namespace mv {
namespace {

// The tool, killed when it has not ended after a few seconds: a hang fails
// the test instead of stopping the suite.
CliRun RunWithDeadline(const std::vector<std::string>& args, const std::string& home) {
    CliProcess tool(args, "", home);
    std::atomic<bool> done{false};
    std::thread watchdog([&] {
        for (int k = 0; k < 500 && !done; ++k)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!done) ::kill(tool.Pid(), SIGKILL);
    });
    CliRun r = tool.Finish();
    done = true;
    watchdog.join();
    return r;
}

TEST(CliListReading, WhatIsNoRegularFileIsRefusedWithItsName) {
    const test::TempTree tree;
    const fs::path root = tree.Root();
    tree.Folder("home");
    tree.Folder("music");
    const fs::path pipe = root / "List.pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo((root / "home" / "Mp3List.txt").c_str(), 0644), 0);

    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::string pipeRefused = ": it is a named pipe, not a regular file.\n";
    const Case cases[] = {
        {{"compare", "--list", pipe.string(), (root / "music").string()},
         "Cannot read " + pipe.string() + pipeRefused},
        {{"search", "--list", "/dev/zero", "Song"},
         "Cannot read /dev/zero: it is a device, not a regular file.\n"},
        {{"search", "Song"},
         "Cannot read " + (root / "home" / "Mp3List.txt").string() + pipeRefused},
    };
    for (const Case& c : cases) {
        const CliRun r = RunWithDeadline(c.args, (root / "home").string());
        EXPECT_EQ(r.exitCode, 1) << c.args[0];
        EXPECT_EQ(r.err, c.message);
        EXPECT_EQ(r.out, "");
    }
}

}  // namespace
}  // namespace mv
