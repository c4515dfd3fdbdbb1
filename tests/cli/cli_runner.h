#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace mv {

struct CliRun {
    int exitCode = -1;      // -1 when the tool did not exit normally
    bool timedOut = false;  // killed after the time limit
    std::string out;
    std::string err;
};

// The built tool running in the background, its output going to files.
class CliProcess {
  public:
    // Starts the tool with `args`, feeding `input` on stdin, with
    // MP3VANDREL_HOME set to `home`.
    CliProcess(const std::vector<std::string>& args, const std::string& input,
               const std::string& home);
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    pid_t Pid() const { return pid_; }
    // What the tool has written to stdout so far.
    std::string OutSoFar() const;
    // Waits for the tool to end.
    CliRun Finish();
    // Waits at most `limit`, then kills the tool, so a hang fails the test
    // instead of stalling the suite.
    CliRun Finish(std::chrono::milliseconds limit);

  private:
    CliRun Collect(int status);

    std::filesystem::path dir_;
    pid_t pid_ = -1;
};

inline CliRun RunCli(const std::vector<std::string>& args, const std::string& input,
                     const std::string& home) {
    return CliProcess(args, input, home).Finish();
}

inline CliRun RunCliWithin(std::chrono::milliseconds limit, const std::vector<std::string>& args,
                           const std::string& home) {
    return CliProcess(args, "", home).Finish(limit);
}

}  // namespace mv
