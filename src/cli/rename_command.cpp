#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "cli/command.h"
#include "cli/row_output.h"
#include "filetools/naming_model.h"
#include "platform/folder_listing.h"

// rename: Rename and Rename All without the window.
namespace mv::cli {
namespace {

struct RenameOptions {
    std::string model = kDefaultNamingModel;
    bool all = false;
    bool recurse = false;
    bool dryRun = false;
    FormatOptions output;  // -z, --format
    std::string path;
};

// OLD<TAB>NEW for a rename; the reason on the error stream for a file left as it was.
void Report(const RenameOutcome& outcome, RowWriter& writer, CommandIo& io) {
    if (outcome.status == RenameStatus::Renamed) {
        writer.Write(std::vector<std::string>{outcome.path, outcome.newPath});
    } else {
        io.err << KeptNameLine(outcome) << '\n';
    }
}

int RunRename(const RenameOptions& opts, CommandIo& io) {
    if (opts.recurse && !opts.all) {
        io.err << "--recurse goes with --all.\n";
        return kExitUsage;
    }
    std::error_code ec;
    RowWriter writer(io.out, opts.output.Resolve(), {"old", "new"}, 2);
    if (!opts.all) {
        const RenameOutcome outcome = RenameFromModel(opts.path, opts.model, opts.dryRun);
        Report(outcome, writer, io);
        const bool done =
            outcome.status == RenameStatus::Renamed || outcome.status == RenameStatus::SameName;
        return done ? kExitOk : kExitFailure;
    }
    if (!std::filesystem::is_directory(opts.path, ec)) {
        io.err << "No such folder: " << opts.path << '\n';
        return kExitFailure;
    }
    RenameAllParams params;
    params.root = TrimFolderPath(opts.path);
    params.model = opts.model;
    params.recurse = opts.recurse;
    params.dryRun = opts.dryRun;
    const RenameAllResult result = RenameAll(params);
    for (const std::string& folder : result.foldersPassedOver) {
        io.err << FolderPassedOverLine(folder) << '\n';
    }
    for (const RenameOutcome& outcome : result.outcomes) Report(outcome, writer, io);
    writer.Finish();
    io.err << result.renamed << " of " << result.outcomes.size() << " files "
           << (opts.dryRun ? "would be renamed" : "renamed") << ".\n";
    return kExitOk;
}

}  // namespace

void AddRenameCommand(CLI::App& app, CommandList& commands) {
    auto opts = std::make_shared<RenameOptions>();
    CLI::App* rename = app.add_subcommand(
        "rename",
        "Renames PATH after its ID3v1 tag by a naming model (%1 title, %2 artist, %3 album, "
        "%4 year, %5 comment), or with --all every *.mp3 file of the folder PATH with \".Mp3\" "
        "added. Writes OLD<TAB>NEW for each rename; a file is never replaced, and each file "
        "that keeps its name is reported with the reason.");
    rename->add_option("--model", opts->model, "The naming model")->capture_default_str();
    rename->add_flag("--all", opts->all, "Rename every MP3 file of the folder PATH");
    rename->add_flag("--recurse", opts->recurse,
                     "With --all: the subfolders too (those holding MP3 files)");
    rename->add_flag("--dry-run", opts->dryRun, "Report what would be renamed; rename nothing");
    AddFormatOptions(rename, opts->output);
    rename->add_option("PATH", opts->path, "An MP3 file, or with --all a folder")->required();
    commands.push_back({rename, [opts](CommandIo& io) { return RunRename(*opts, io); }});
}

}  // namespace mv::cli
