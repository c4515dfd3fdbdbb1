#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/compare_messages.h"
#include "cli/facts_fields.h"
#include "cli/interrupt_watch.h"
#include "cli/pair_details.h"
#include "cli/progress_bar.h"
#include "cli/row_output.h"
#include "cli/sound_details.h"
#include "cli/sound_dupes_command.h"
#include "dupes/better_copy.h"
#include "dupes/compare_engine.h"
#include "dupes/compare_request.h"
#include "dupes/pair_facts.h"
#include "dupes/result_rows.h"
#include "platform/folder_listing.h"
#include "platform/program_folder.h"

// dupes (folders against themselves), compare (folders against the Mp3 list)
// and search (one text against the list).
namespace mv::cli {
namespace {

struct CompareOptions {
    CompareCommand command = CompareCommand::FolderVsItself;
    std::string percent = "80";
    std::string ext = "Mp3";
    bool noRecurse = false;
    bool exhaustive = false;
    std::string list;  // empty: Mp3List.txt in the program folder
    std::string folder;
    std::string text;
    FormatOptions output;      // -z, --format
    bool details = false;      // both files' facts and whether their audio is the same
    bool checkSound = false;   // with details: the similarity of the two files' prints
    std::string keep;          // "better": the better copy of each pair on the right
    std::string by = "names";  // dupes: "sound" finds the same recording under any name
};

// The Mp3 list into params; false when it is there but cannot be read.
bool ReadList(const CompareOptions& opts, CompareParams& params, CommandIo& io) {
    ListForRun list =
        ReadListForRun(opts.list.empty() ? FindProgramFile(ProgramFolder(), kMp3ListFileName)
                                         : std::filesystem::path(opts.list));
    if (list.refused) io.err << list.message << '\n';
    params.listLines = std::move(list.lines);
    return !list.refused;
}

// Rows that wait for the files' facts: --details prints them, --keep better
// turns the pairs by them. Only what asks for them reads the files.
void WriteWithFacts(const CompareOptions& opts, std::vector<ResultRow>& rows, RowWriter& writer,
                    const std::atomic<bool>& stop, CommandIo& io) {
    // The hash is for same_audio; the better copy needs the properties alone.
    FactsBatchParams params =
        FactsParamsForRows(rows, opts.details ? HashWhich::PairsOfEqualLength : HashWhich::None);
    const FactsBatchResult gathered = GatherToolFacts(std::move(params), stop, io.err);
    if (opts.keep == "better") KeepBetterCopy(rows, gathered.facts);
    const RowFormat format = opts.output.Resolve();
    const bool withSound = opts.details && opts.checkSound;
    const std::vector<std::optional<double>> similarity =
        withSound ? RowSoundSimilarities(rows, stop, io.err) : std::vector<std::optional<double>>{};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (opts.details) {
            const auto sound = withSound ? std::optional(SoundColumn{similarity[i]}) : std::nullopt;
            WriteDetailsRow(writer, format, rows[i], gathered.facts, sound);
        } else {
            writer.Write(rows[i]);
        }
    }
}

std::vector<std::string> Columns(const CompareOptions& opts, RowFormat format) {
    return opts.details ? DetailsColumns(format, opts.checkSound) : ResultRowColumns();
}

CompareRequest RequestFor(const CompareOptions& opts) {
    CompareChoice choice;
    choice.command = opts.command;
    choice.folder = TrimFolderPath(opts.folder);
    choice.withSubfolders = !opts.noRecurse;
    choice.percentText = opts.percent;
    choice.searchText = opts.text;
    return BuildCompareRequest(std::move(choice));
}

// The folder a run compares exists (a search has none); else says so.
bool FolderThere(const CompareRequest& request, CommandIo& io) {
    if (request.mode == kModeSearchList) return true;
    const std::string& folder = request.walkRoot ? *request.walkRoot : request.folders.front();
    std::error_code ec;
    if (std::filesystem::is_directory(folder, ec)) return true;
    io.err << "No such folder: " << folder << '\n';
    return false;
}

int RunCompareCommand(const CompareOptions& opts, CommandIo& io) {
    if (opts.by == "sound") {
        return RunSoundDupes(
            {opts.folder, opts.ext, opts.noRecurse, opts.output, opts.details, opts.keep}, io);
    }
    if (!ParsePercent(opts.percent)) {
        io.err << mv::kPercentNotWholeMessage << "\n";
        return kExitUsage;
    }
    CompareRequest request = RequestFor(opts);
    const CompareMode mode = request.mode;
    if (!FolderThere(request, io)) return kExitFailure;
    const bool readsList = request.ReadsMp3List();
    // Ctrl+C is heard from here on: a walk of a whole disk takes seconds too.
    CompareControl control;
    InterruptWatch interrupt(control.stopRequested);
    FolderWalkHooks walk;
    walk.stop = &control.stopRequested;
    CompareParams params = ParamsForRequest(std::move(request), opts.ext, walk);
    params.exhaustive = opts.exhaustive;
    if (readsList && !ReadList(opts, params, io)) return kExitFailure;
    const bool listMissing = readsList && (!params.listLines || params.listLines->empty());

    const RowFormat format = opts.output.Resolve();
    const std::vector<std::string> columns = Columns(opts, format);
    RowWriter writer(io.out, format, columns, opts.details ? columns.size() : 2);
    const bool waitForFacts = opts.details || !opts.keep.empty();
    std::vector<ResultRow> waiting;
    params.onRows = [&, mode](std::vector<CompareRow>&& rows) {
        for (auto& row : RowsFromCompare(mode, std::move(rows))) {
            if (waitForFacts) {
                waiting.push_back(std::move(row));
            } else {
                writer.Write(row);
            }
        }
        io.out.flush();
    };
    CompareResult result;
    {
        ProgressBar bar(control.pairsDone, control.pairsTotal);
        result = RunCompare(params, control);
    }
    for (const auto& folder : result.foldersPassedOver) {
        io.err << "Passed over a folder that cannot be read: " << folder << '\n';
    }
    if (waitForFacts) WriteWithFacts(opts, waiting, writer, control.stopRequested, io);
    writer.Finish();
    PrintCompareMessages(result, mode, io.err);

    // No files, no list, or memory ran out.
    if (result.resultText.empty() || listMissing || result.outOfMemory) return kExitFailure;
    if (interrupt.Interrupted()) return kExitInterrupted;
    return kExitOk;
}

CLI::App* AddCommonOptions(CLI::App* sub, CompareOptions& opts) {
    AddFormatOptions(sub, opts.output);
    sub->add_option("--percent", opts.percent, "Match percentage, a whole number")
        ->capture_default_str();
    sub->add_option("--ext", opts.ext, "Extension of the files to compare")->capture_default_str();
    sub->add_flag("--no-recurse", opts.noRecurse, "Only the files of FOLDER itself");
    sub->add_option("FOLDER", opts.folder, "The folder to compare")->required();
    CLI::Option* details =
        sub->add_flag("--details", opts.details,
                      "Add both files' size, length, bitrate, tags and audio hash, and whether "
                      "their audio is the same");
    sub->add_flag("--check-sound", opts.checkSound,
                  "With --details: add sound_similarity, how alike the two files' acoustic "
                  "prints are (0 to 1; - or null when a side is no file or has no print)")
        ->needs(details);
    sub->add_option("--keep", opts.keep,
                    "better: put the better copy of each pair of files on the right (higher "
                    "bitrate, then longer, then tagged, then larger), so the left is the one "
                    "to delete")
        ->check(CLI::IsMember({"better"}));
    return sub;
}

}  // namespace

void AddCompareCommands(CLI::App& app, CommandList& commands) {
    auto dupes = std::make_shared<CompareOptions>();
    dupes->command = CompareCommand::FolderVsItself;
    CLI::App* dupesApp = AddCommonOptions(
        app.add_subcommand("dupes", "Finds duplicates among the files below FOLDER"), *dupes);
    dupesApp->add_flag("--exhaustive", dupes->exhaustive, "Test every pair with the plain loop");
    dupesApp
        ->add_option("--by", dupes->by,
                     "names: pairs of similar file names; sound: pairs of files holding the "
                     "same recording by their acoustic prints, whatever their names (--details "
                     "then adds sound_similarity after the facts)")
        ->check(CLI::IsMember({"names", "sound"}))
        ->capture_default_str();
    commands.push_back(
        {dupesApp, [dupes](CommandIo& io) { return RunCompareCommand(*dupes, io); }});

    auto compare = std::make_shared<CompareOptions>();
    compare->command = CompareCommand::FolderVsList;
    CLI::App* compareApp = AddCommonOptions(
        app.add_subcommand("compare",
                           "Finds the files below FOLDER that are already in the Mp3 list"),
        *compare);
    compareApp->add_option("--list", compare->list,
                           "The Mp3 list (default: Mp3List.txt in the program folder)");
    compareApp->add_flag("--exhaustive", compare->exhaustive,
                         "Test every pair with the plain loop");
    commands.push_back(
        {compareApp, [compare](CommandIo& io) { return RunCompareCommand(*compare, io); }});

    auto search = std::make_shared<CompareOptions>();
    search->command = CompareCommand::SearchList;
    CLI::App* searchApp = app.add_subcommand(
        "search", "Finds the titles of the Mp3 list that hold every word of TEXT");
    searchApp->add_option("--list", search->list,
                          "The Mp3 list (default: Mp3List.txt in the program folder)");
    searchApp->add_flag("--exhaustive", search->exhaustive, "Test every pair with the plain loop");
    AddFormatOptions(searchApp, search->output);
    searchApp->add_option("TEXT", search->text, "The text to search for")->required();
    commands.push_back(
        {searchApp, [search](CommandIo& io) { return RunCompareCommand(*search, io); }});
}

}  // namespace mv::cli
