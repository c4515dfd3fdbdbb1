#include "cli/progress_bar.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace mv::cli {
namespace {

constexpr int kWidth = 40;

void Draw(uint64_t done, uint64_t total) {
    const double share = total == 0 ? 0.0 : static_cast<double>(done) / static_cast<double>(total);
    const int filled = static_cast<int>(share * kWidth);
    std::string line = "\r[";
    line.append(static_cast<size_t>(filled), '#');
    line.append(static_cast<size_t>(kWidth - filled), '.');
    line += "] " + std::to_string(static_cast<int>(share * 100)) + "%";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}

}  // namespace

ProgressBar::ProgressBar(const std::atomic<uint64_t>& done, const std::atomic<uint64_t>& total) {
    if (!isatty(STDERR_FILENO)) return;
    drawer_ = std::thread([this, &done, &total] {
        while (!finished_.load()) {
            Draw(done.load(), total.load());
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
    });
}

ProgressBar::~ProgressBar() {
    finished_ = true;
    if (drawer_.joinable()) drawer_.join();
}

}  // namespace mv::cli
