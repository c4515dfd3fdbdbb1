#pragma once

#include <atomic>
#include <chrono>
#include <thread>

namespace mv::cli {

constexpr int kExitTerminated = 143;  // stopped by SIGTERM (128 + its number)

struct InterruptWatchParams {
    // SIGTERM stops as Ctrl+C does, its exit code being kExitTerminated.
    bool terminateToo = false;
    // Above zero: a stop request not honoured within this time ends the tool
    // itself, so nothing the command waits on can keep it alive.
    std::chrono::milliseconds grace{0};
};

// Turns Ctrl+C (and SIGTERM when asked) into a stop request while it lives:
// the first signal sets `stop`, a second one ends the tool at once. Create it before any other
// thread, so every thread inherits the blocked signal and only this one takes it.
class InterruptWatch {
  public:
    explicit InterruptWatch(std::atomic<bool>& stop, InterruptWatchParams params = {});
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    bool Interrupted() const { return interrupted_.load(); }
    // The exit code the first stop signal calls for (130 before any).
    int ExitCode() const { return exitCode_.load(); }

  private:
    void Watch();

    std::atomic<bool>& stop_;
    InterruptWatchParams params_;
    std::atomic<bool> interrupted_{false};
    std::atomic<int> exitCode_;
    std::thread waiter_;
};

}  // namespace mv::cli
