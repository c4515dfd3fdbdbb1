#pragma once

#include "cli/command.h"

namespace mv::cli {

// `facts [--format tsv|csv|json] FILE...`: size, length, bitrate, tags and
// the audio hash of each file, one row a file.
void AddFactsCommand(CLI::App& app, CommandList& commands);

}  // namespace mv::cli
