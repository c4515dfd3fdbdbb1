#pragma once

#include <string>
#include <vector>

namespace mv {

// The window's command line. The program has no arguments of its own but
// --help and --version; Qt's options (-platform, -display, -style ...) are
// Qt's, taken by the application object.
struct CommandLineAnswer {
    bool exit = false;  // answered: the program ends at once with `code`
    int code = 0;
    std::string out;  // for standard output
    std::string err;  // for standard error
};

// --help (or -h) and --version anywhere among `args` (argv without the
// program's name) are answered before Qt starts, so they need no display
// and touch no file.
CommandLineAnswer AnswerInfoOptions(const std::vector<std::string>& args);

// What Qt left of the arguments once it took its own: any is refused with
// exit status 2, as a mistyped option must not start the program unnoticed.
CommandLineAnswer RefuseLeftOverArguments(const std::vector<std::string>& args);

}  // namespace mv
