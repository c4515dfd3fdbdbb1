#pragma once

#include <string>
#include <vector>

namespace mv {

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the built tool with `args`, feeding `input` on stdin, with
// MP3VANDREL_HOME set to `home`, and waits for it.
CliRun RunCli(const std::vector<std::string>& args, const std::string& input,
              const std::string& home);

}  // namespace mv
