#include "cli/interrupt_watch.h"

#include <pthread.h>
#include <signal.h>

#include <cerrno>
#include <cstdlib>

#include "cli/command.h"

namespace mv::cli {
namespace {

// SIGUSR2 only tells the waiter to finish.
sigset_t WatchedSignals(bool terminateToo) {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGUSR2);
    if (terminateToo) sigaddset(&set, SIGTERM);
    return set;
}

int ExitCodeOf(int sig) {
    return sig == SIGTERM ? kExitTerminated : kExitInterrupted;
}

}  // namespace

InterruptWatch::InterruptWatch(std::atomic<bool>& stop, InterruptWatchParams params)
    : stop_(stop), params_(params), exitCode_(kExitInterrupted) {
    const sigset_t set = WatchedSignals(params_.terminateToo);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    waiter_ = std::thread([this] { Watch(); });
}

void InterruptWatch::Watch() {
    const sigset_t set = WatchedSignals(params_.terminateToo);
    for (;;) {
        int sig = 0;
        if (interrupted_ && params_.grace.count() > 0) {
            const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(params_.grace);
            const timespec wait{static_cast<time_t>(seconds.count()),
                                static_cast<long>((params_.grace - seconds).count() * 1000000)};
            sig = sigtimedwait(&set, nullptr, &wait);
            // The command did not finish in time: end here, as it would have.
            if (sig < 0 && errno == EAGAIN) std::_Exit(exitCode_);
            if (sig < 0) continue;
        } else if (sigwait(&set, &sig) != 0) {
            return;
        }
        if (sig == SIGUSR2) return;
        if (interrupted_.exchange(true)) std::_Exit(ExitCodeOf(sig));
        exitCode_ = ExitCodeOf(sig);
        stop_ = true;
    }
}

InterruptWatch::~InterruptWatch() {
    pthread_kill(waiter_.native_handle(), SIGUSR2);
    waiter_.join();
    const sigset_t set = WatchedSignals(params_.terminateToo);
    // A Ctrl+C that arrives from now on ends the tool as usual.
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

}  // namespace mv::cli
