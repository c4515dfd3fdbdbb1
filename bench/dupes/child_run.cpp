#include "child_run.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace mv {

ChildOutcome RunInChild(const std::function<std::string()>& work) {
    ChildOutcome outcome;
    int fds[2];
    if (pipe(fds) != 0) return outcome;
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return outcome;
    }
    if (pid == 0) {
        close(fds[0]);
        const std::string text = work();
        size_t sent = 0;
        while (sent < text.size()) {
            const ssize_t n = write(fds[1], text.data() + sent, text.size() - sent);
            if (n <= 0) _exit(1);
            sent += static_cast<size_t>(n);
        }
        close(fds[1]);
        std::fflush(nullptr);
        _exit(0);
    }
    close(fds[1]);
    char buf[4096];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;)
        outcome.output.append(buf, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    struct rusage usage {};
    if (wait4(pid, &status, 0, &usage) == pid) {
        outcome.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        outcome.peakRssKiB = usage.ru_maxrss;
        outcome.cpuSeconds =
            static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
            static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    return outcome;
}

}  // namespace mv
