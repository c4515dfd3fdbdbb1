#include <istream>
#include <ostream>
#include <string>

#include "cli/command.h"
#include "dupes/compare_engine.h"
#include "dupes/name_matcher.h"

namespace mv::cli {
namespace {

int RunMatch(CommandIo& io) {
    std::string line;
    for (size_t number = 1; std::getline(io.in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t tab1 = line.find('\t');
        const size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
        const auto percent =
            tab2 == std::string::npos ? std::nullopt : ParsePercent(line.substr(tab2 + 1));
        if (!percent) {
            io.err << "Line " << number
                   << ": expected FIRST<TAB>SECOND<TAB>PERCENT with a whole number\n";
            return kExitFailure;
        }
        const std::string first = NormalizeName(line.substr(0, tab1));
        const std::string second = NormalizeName(line.substr(tab1 + 1, tab2 - tab1 - 1));
        io.out << first << '\t' << second << '\t' << (NamesMatch(first, second, *percent) ? 1 : 0)
               << '\n';
    }
    return kExitOk;
}

}  // namespace

void AddMatchCommand(CLI::App& app, CommandList& commands) {
    CLI::App* sub = app.add_subcommand(
        "match",
        "Reads FIRST<TAB>SECOND<TAB>PERCENT lines from stdin and writes the two normalised "
        "names and 1 or 0 for whether they match");
    commands.push_back({sub, RunMatch});
}

}  // namespace mv::cli
