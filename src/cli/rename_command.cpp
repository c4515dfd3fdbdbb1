#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "cli/command.h"
#include "cli/row_output.h"
#include "filetools/naming_model.h"
#include "filetools/rename_journal.h"
#include "filetools/rename_preview.h"
#include "platform/folder_listing.h"
#include "platform/program_folder.h"

// rename: Rename and Rename All without the window, and undoing the last batch.
namespace mv::cli {
namespace {

struct RenameOptions {
    std::string model = kDefaultNamingModel;
    std::string from = "id3v1";  // or id3v2: NamingOptions::fromId3v2
    bool windowsSafe = false;
    bool all = false;
    bool recurse = false;
    bool dryRun = false;
    bool undo = false;
    FormatOptions output;  // -z, --format
    std::string path;
};

std::filesystem::path JournalFile() {
    return ProgramFolder() / kRenameJournalName;
}

// OLD<TAB>NEW for a rename (CSV and JSON add the kind and the reason for
// every row); the reason on the error stream for a file left as it was.
void Report(const RenameOutcome& outcome, RowWriter& writer, bool allRows, CommandIo& io) {
    const std::vector<std::string> fields = {outcome.path, outcome.newPath,
                                             RenameStatusWord(outcome.status), outcome.reason};
    if (outcome.status == RenameStatus::Renamed || allRows) writer.Write(fields);
    if (outcome.status != RenameStatus::Renamed) io.err << KeptNameLine(outcome) << '\n';
}

void ReportJournal(const RenameJournal& journal, CommandIo& io) {
    if (!journal.error().empty()) io.err << journal.error() << " (no undo for this batch)\n";
}

// "Preview: 2 rename, 1 taken." : the table's count of each kind.
// `allRows`: CSV and JSON, which show the table's every row.
int RunOne(const RenameOptions& opts, const NamingOptions& naming, RowWriter& writer, bool allRows,
           CommandIo& io) {
    const RenameOutcome outcome = RenameFromModel(opts.path, opts.model, naming, opts.dryRun);
    RenameJournal journal(JournalFile());
    if (!opts.dryRun && outcome.status == RenameStatus::Renamed)
        journal.Record(outcome.path, outcome.newPath);
    Report(outcome, writer, allRows, io);
    writer.Finish();
    ReportJournal(journal, io);
    const bool done =
        outcome.status == RenameStatus::Renamed || outcome.status == RenameStatus::SameName;
    return done ? kExitOk : kExitFailure;
}

// Rename All as its preview table, then (unless a dry run) that table performed.
int RunAll(const RenameOptions& opts, const NamingOptions& naming, RowWriter& writer, bool allRows,
           CommandIo& io) {
    std::error_code ec;
    if (!std::filesystem::is_directory(opts.path, ec)) {
        io.err << "No such folder: " << opts.path << '\n';
        return kExitFailure;
    }
    RenameJournal journal(JournalFile());
    RenameAllParams params;
    params.root = TrimFolderPath(opts.path);
    params.model = opts.model;
    params.recurse = opts.recurse;
    params.naming = naming;
    params.journal = &journal;
    const RenamePreview preview = PreviewRenameAll(params);
    const RenameAllResult result =
        opts.dryRun ? RenameAllResult{preview.rows, preview.foldersPassedOver,
                                      preview.counts[static_cast<int>(RenameStatus::Renamed)]}
                    : PerformPreview(preview);
    for (const std::string& folder : result.foldersPassedOver) {
        io.err << FolderPassedOverLine(folder) << '\n';
    }
    for (const RenameOutcome& outcome : result.outcomes) Report(outcome, writer, allRows, io);
    writer.Finish();
    ReportJournal(journal, io);
    io.err << (opts.dryRun ? "Preview: " : "Done: ") << CountsText(CountByStatus(result.outcomes))
           << ".\n"
           << result.renamed << " of " << result.outcomes.size() << " files "
           << (opts.dryRun ? "would be renamed" : "renamed") << ".\n";
    return kExitOk;
}

// Undo: CURRENT<TAB>RESTORED for each file given back its old name.
int RunUndo(const RenameOptions& opts, CommandIo& io) {
    const UndoResult undo = UndoLastRenameBatch(JournalFile());
    if (!undo.found) {
        io.err << "Nothing to undo: no batch of renames is left in " << JournalFile().string()
               << ".\n";
        return kExitFailure;
    }
    RowWriter writer(io.out, opts.output.Resolve(), {"from", "to"}, 2);
    for (const UndoRow& row : undo.rows) {
        if (row.status == UndoStatus::Restored) {
            writer.Write(std::vector<std::string>{row.rename.to, row.rename.from});
        } else {
            io.err << UndoLine(row) << '\n';
        }
    }
    writer.Finish();
    if (!undo.error.empty()) io.err << undo.error << '\n';
    io.err << undo.restored << " of " << undo.rows.size() << " files renamed back.\n";
    return undo.restored == undo.rows.size() ? kExitOk : kExitFailure;
}

int RunRename(const RenameOptions& opts, CommandIo& io) {
    if (opts.undo) {
        if (!opts.path.empty() || opts.all || opts.dryRun) {
            io.err << "--undo takes no PATH, --all or --dry-run.\n";
            return kExitUsage;
        }
        return RunUndo(opts, io);
    }
    if (opts.path.empty() || (opts.recurse && !opts.all)) {
        io.err << (opts.path.empty() ? "PATH is required.\n" : "--recurse goes with --all.\n");
        return kExitUsage;
    }
    NamingOptions naming;
    naming.fromId3v2 = opts.from == "id3v2";
    naming.windowsSafe = opts.windowsSafe;
    const RowFormat format = opts.output.Resolve();
    const bool allRows = format == RowFormat::Csv || format == RowFormat::Json;
    RowWriter writer(io.out, format, {"old", "new", "kind", "reason"}, 2);
    return opts.all ? RunAll(opts, naming, writer, allRows, io)
                    : RunOne(opts, naming, writer, allRows, io);
}

}  // namespace

void AddRenameCommand(CLI::App& app, CommandList& commands) {
    auto opts = std::make_shared<RenameOptions>();
    CLI::App* rename = app.add_subcommand(
        "rename",
        "Renames PATH after its tag by a naming model (%1 title, %2 artist, %3 album, "
        "%4 year, %5 comment; with --from id3v2 also %6 track, %7 genre), or with --all every "
        "*.mp3 file of the folder PATH with \".Mp3\" added. Writes OLD<TAB>NEW for each "
        "rename; a file is never replaced, and each file that keeps its name is reported with "
        "the reason. Every batch is journalled; --undo renames the last one back.");
    rename->add_option("--model", opts->model, "The naming model")->capture_default_str();
    rename
        ->add_option("--from", opts->from,
                     "The tag names come from: id3v1, or id3v2 (ID3v2, else APE, else ID3v1)")
        ->check(CLI::IsMember({"id3v1", "id3v2"}))
        ->capture_default_str();
    rename->add_flag("--windows-safe", opts->windowsSafe,
                     "Names Windows takes too: \\ * ? \" < > | become _, : becomes \" -\", "
                     "trailing dots and blanks go");
    rename->add_flag("--all", opts->all, "Rename every MP3 file of the folder PATH");
    rename->add_flag("--recurse", opts->recurse,
                     "With --all: the subfolders too (those holding MP3 files)");
    rename->add_flag("--dry-run", opts->dryRun,
                     "Print the preview table (and its counts); rename nothing");
    rename->add_flag("--undo", opts->undo,
                     "Rename the files of the last batch back (a name taken meanwhile is kept)");
    AddFormatOptions(rename, opts->output);
    rename->add_option("PATH", opts->path, "An MP3 file, or with --all a folder");
    commands.push_back({rename, [opts](CommandIo& io) { return RunRename(*opts, io); }});
}

}  // namespace mv::cli
