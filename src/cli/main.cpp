#include <iostream>

#include "cli/command.h"
#include "cli/facts_command.h"
#include "cli/terminal_text.h"
#include "mv_version.h"
#include "platform/heap_pages.h"

int main(int argc, char** argv) {
    mv::PreferHugeHeapPages(argv);
    // Messages name files and tags; none of their control bytes reaches the terminal.
    const mv::cli::ScopedControlByteFilter messageFilter(std::cerr);
    CLI::App app{
        "Finds duplicate music files by their names, within folders or against the Mp3 list,\n"
        "keeps the Mp3 list of CDs, plays MP3 files, and shows, sets and renames by ID3v1 tags.",
        "mp3vandrel-cli"};
    app.require_subcommand(1);
    app.failure_message(CLI::FailureMessage::help);
    app.set_version_flag("--version", "mp3vandrel-cli " MV_VERSION);

    mv::cli::CommandList commands;
    mv::cli::AddMatchCommand(app, commands);
    mv::cli::AddCompareCommands(app, commands);
    mv::cli::AddCatalogueCommand(app, commands);
    mv::cli::AddPlayCommand(app, commands);
    mv::cli::AddBanCommand(app, commands);
    mv::cli::AddTagCommand(app, commands);
    mv::cli::AddRenameCommand(app, commands);
    mv::cli::AddFactsCommand(app, commands);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e, std::cout, std::cerr);
        return code == 0 ? mv::cli::kExitOk : mv::cli::kExitUsage;
    }

    mv::cli::CommandIo io{std::cin, std::cout, std::cerr};
    for (auto& command : commands) {
        if (command.app->parsed()) return command.run(io);
    }
    return mv::cli::kExitUsage;
}
