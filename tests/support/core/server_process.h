#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace mv::test {

// mp3vandrel-server started as a real process on a free loopback port (it
// picks one and names it on its first line of output). Its request log goes
// to `logFile`. Stopped with SIGTERM by Stop() or the destructor.
class ServerProcess {
  public:
    ServerProcess(const std::string& binary, const std::string& database, const std::string& docs,
                  const std::string& logFile) {
        int out[2];
        if (pipe(out) != 0) throw std::runtime_error("pipe failed");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, logFile.c_str(),
                                         O_WRONLY | O_CREAT | O_APPEND, 0644);
        std::vector<std::string> args{binary, "serve",  "--database", database, "--docs",
                                      docs,   "--host", "127.0.0.1",  "--port", "0"};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        const int rc = posix_spawn(&pid_, binary.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        if (rc != 0) {
            close(out[0]);
            throw std::runtime_error("cannot start " + binary);
        }
        // "mp3vandrel-server: serving on 127.0.0.1:PORT"
        std::string line;
        char c;
        while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
        close(out[0]);
        const size_t colon = line.rfind(':');
        if (line.find("serving on") == std::string::npos || colon == std::string::npos) {
            Stop();
            throw std::runtime_error("the server did not start: " + line);
        }
        port_ = std::stoi(line.substr(colon + 1));
    }
    ~ServerProcess() { Stop(); }
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    int Port() const { return port_; }
    std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }

    // SIGTERM and wait; the exit status, or -1 when it did not exit normally.
    int Stop() {
        if (pid_ <= 0) return status_;
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = 0;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return status_;
    }

  private:
    pid_t pid_ = 0;
    int port_ = 0;
    int status_ = -1;
};

}  // namespace mv::test
