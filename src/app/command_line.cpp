#include "app/command_line.h"

#include "mv_version.h"

namespace mv {

namespace {

constexpr const char* kUsage =
    "Usage: mp3vandrel [--help] [--version] [Qt options, e.g. -platform NAME]\n"
    "Finds duplicate MP3 files by their names, keeps a catalogue of burned CDs and\n"
    "plays MP3s. It keeps its files in its program folder; MP3VANDREL_HOME names\n"
    "another. One program runs per program folder: a second start shows the\n"
    "first one's window and ends.\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "      --version  show the version and exit\n";

}  // namespace

CommandLineAnswer AnswerInfoOptions(const std::vector<std::string>& args) {
    // --version wins over --help, whatever their order, as in most tools.
    for (const std::string& arg : args) {
        if (arg == "--version")
            return {true, 0, std::string("mp3vandrel ") + MV_VERSION + "\n", {}};
    }
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") return {true, 0, kUsage, {}};
    }
    return {};
}

CommandLineAnswer RefuseLeftOverArguments(const std::vector<std::string>& args) {
    if (args.empty()) return {};
    const std::string& first = args.front();
    const std::string what = first.starts_with('-') ? "unknown option" : "unexpected argument";
    return {true, 2, {}, "mp3vandrel: " + what + " '" + first + "'\nTry 'mp3vandrel --help'.\n"};
}

}  // namespace mv
