#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

// Keeps opening the given named pipes for writing, and closes them at once,
// until it goes out of scope. Code that wrongly opens one of them as a file
// then reads an empty file instead of waiting for ever, so the test fails on
// what that code does next rather than hang the suite. Code that never opens
// the pipes is not affected (an open for writing with no reader fails).
class PipeUnblocker {
  public:
    explicit PipeUnblocker(std::vector<std::filesystem::path> pipes)
        : pipes_(std::move(pipes)), thread_([this] { Run(); }) {}
    ~PipeUnblocker() {
        stop_ = true;
        thread_.join();
    }
    PipeUnblocker(const PipeUnblocker&) = delete;
    PipeUnblocker& operator=(const PipeUnblocker&) = delete;

  private:
    void Run() {
        while (!stop_) {
            for (const auto& pipe : pipes_) {
                const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (fd >= 0) ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    std::vector<std::filesystem::path> pipes_;  // set before the thread starts
    std::atomic<bool> stop_{false};
    std::thread thread_;  // declared last: starts once the members above exist
};
