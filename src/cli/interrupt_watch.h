#pragma once

#include <atomic>
#include <thread>

namespace mv::cli {

// Turns Ctrl+C into a stop request while it lives: the first SIGINT sets
// `stop`, a second one ends the tool at once. Create it before any other
// thread, so every thread inherits the blocked signal and only this one takes it.
class InterruptWatch {
  public:
    explicit InterruptWatch(std::atomic<bool>& stop);
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    bool Interrupted() const { return interrupted_.load(); }

  private:
    std::atomic<bool>& stop_;
    std::atomic<bool> interrupted_{false};
    std::thread waiter_;
};

}  // namespace mv::cli
