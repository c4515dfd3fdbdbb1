#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

namespace mv::cli {

// Draws the comparison's progress on stderr a few times a second while it
// lives, when stderr is a terminal; otherwise does nothing. The line is
// cleared again at the end.
class ProgressBar {
  public:
    ProgressBar(const std::atomic<uint64_t>& done, const std::atomic<uint64_t>& total);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

  private:
    std::atomic<bool> finished_{false};
    std::thread drawer_;
};

}  // namespace mv::cli
