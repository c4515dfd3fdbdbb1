#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <iosfwd>
#include <vector>

namespace mv::cli {

// The streams a command talks to: results on out, everything else on err.
struct CommandIo {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
};

// Exit codes of the tool.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitInterrupted = 130;  // stopped by Ctrl+C; the rows found are printed

// A subcommand and what runs when the command line chose it. Options are bound
// to state the action owns, so a command registers everything it needs at once.
struct Command {
    CLI::App* app = nullptr;
    std::function<int(CommandIo&)> run;
};

using CommandList = std::vector<Command>;

void AddMatchCommand(CLI::App& app, CommandList& commands);
void AddCompareCommands(CLI::App& app, CommandList& commands);
// `catalogue add|list|show|remove`: the Mp3 list's CDs.
void AddCatalogueCommand(CLI::App& app, CommandList& commands);
// `ban scan [--ban FILE] [--no-recurse] FOLDER`: rows as `compare` prints them.
void AddBanCommand(CLI::App& app, CommandList& commands);
// `play [--out wav:FILE] FILE...`; Ctrl+C (or SIGTERM) stops the playback.
void AddPlayCommand(CLI::App& app, CommandList& commands);
// `tag show|set FILE...`: the ID3v1 tags.
void AddTagCommand(CLI::App& app, CommandList& commands);
// `rename [--model M] [--all] [--recurse] [--dry-run] PATH`: renaming by naming model.
void AddRenameCommand(CLI::App& app, CommandList& commands);

}  // namespace mv::cli
