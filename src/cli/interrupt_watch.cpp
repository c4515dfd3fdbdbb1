#include "cli/interrupt_watch.h"

#include <pthread.h>
#include <signal.h>

#include <cstdlib>

#include "cli/command.h"

namespace mv::cli {
namespace {

// SIGUSR2 only tells the waiter to finish.
sigset_t WatchedSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGUSR2);
    return set;
}

}  // namespace

InterruptWatch::InterruptWatch(std::atomic<bool>& stop) : stop_(stop) {
    const sigset_t set = WatchedSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    waiter_ = std::thread([this, set] {
        for (;;) {
            int sig = 0;
            if (sigwait(&set, &sig) != 0 || sig != SIGINT) return;
            if (interrupted_.exchange(true)) std::_Exit(kExitInterrupted);
            stop_ = true;
        }
    });
}

InterruptWatch::~InterruptWatch() {
    pthread_kill(waiter_.native_handle(), SIGUSR2);
    waiter_.join();
    const sigset_t set = WatchedSignals();
    // A Ctrl+C that arrives from now on ends the tool as usual.
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

}  // namespace mv::cli
