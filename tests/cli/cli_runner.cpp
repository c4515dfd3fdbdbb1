#include "cli_runner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>

namespace mv {
namespace {

std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream buf;
    buf << in.rdbuf();
    return buf.str();
}

}  // namespace

CliProcess::CliProcess(const std::vector<std::string>& args, const std::string& input,
                       const std::string& home) {
    static std::atomic<int> serial{0};
    dir_ = std::filesystem::temp_directory_path() /
           ("mv_cli_io_" + std::to_string(getpid()) + "_" + std::to_string(serial++));
    std::filesystem::create_directories(dir_);
    std::ofstream(dir_ / "in", std::ios::binary) << input;

    pid_ = fork();
    if (pid_ == 0) {
        const int in = open((dir_ / "in").c_str(), O_RDONLY);
        const int out = open((dir_ / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open((dir_ / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        setenv("MP3VANDREL_HOME", home.c_str(), 1);
        std::vector<char*> argv{const_cast<char*>(MV_CLI_PATH)};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(MV_CLI_PATH, argv.data());
        _exit(127);
    }
}

CliProcess::~CliProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    std::filesystem::remove_all(dir_);
}

std::string CliProcess::OutSoFar() const {
    return Slurp(dir_ / "out");
}

CliRun CliProcess::Finish() {
    int status = 0;
    waitpid(pid_, &status, 0);
    return Collect(status);
}

CliRun CliProcess::Finish(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            CliRun run = Collect(status);
            run.timedOut = true;
            return run;
        }
        usleep(20000);
    }
    return Collect(status);
}

CliRun CliProcess::Collect(int status) {
    CliRun run;
    pid_ = -1;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = Slurp(dir_ / "out");
    run.err = Slurp(dir_ / "err");
    return run;
}

}  // namespace mv
