#include <filesystem>
#include <memory>
#include <new>
#include <ostream>
#include <string>

#include "cli/command.h"
#include "cli/compare_messages.h"
#include "cli/interrupt_watch.h"
#include "cli/progress_bar.h"
#include "cli/row_output.h"
#include "dupes/compare_engine.h"
#include "dupes/result_rows.h"
#include "platform/folder_listing.h"
#include "platform/program_folder.h"
#include "platform/text_lines.h"

// dupes (folders against themselves), compare (folders against the Mp3 list)
// and search (one text against the list).
namespace mv::cli {
namespace {

struct CompareOptions {
    int mode = kModeFolderVsItself;
    std::string percent = "80";
    std::string ext = "Mp3";
    bool noRecurse = false;
    bool exhaustive = false;
    std::string list;  // empty: Mp3List.txt in the program folder
    std::string folder;
    std::string text;
    FormatOptions output;  // -z, --format
};

int RunCompareCommand(const CompareOptions& opts, CommandIo& io) {
    if (!ParsePercent(opts.percent)) {
        io.err << mv::kPercentNotWholeMessage << "\n";
        return kExitUsage;
    }
    // Ctrl+C is heard from here on: a walk of a whole disk takes seconds too.
    CompareControl control;
    InterruptWatch interrupt(control.stopRequested);
    CompareParams params;
    params.mode = opts.mode;
    params.ext = opts.ext;
    params.percentText = opts.percent;
    params.exhaustive = opts.exhaustive;

    if (opts.mode != kModeSearchList) {
        const std::string folder = TrimFolderPath(opts.folder);
        std::error_code ec;
        if (!std::filesystem::is_directory(folder, ec)) {
            io.err << "No such folder: " << folder << '\n';
            return kExitFailure;
        }
        if (opts.noRecurse) {
            params.folders = {folder};
        } else {
            // One walk reads each folder once: its subfolders and its files.
            FolderWalkHooks hooks;
            hooks.stop = &control.stopRequested;
            FolderFilesCollection collected = CollectFolderFiles(folder, opts.ext, hooks);
            params.listedFolders = std::move(collected.folders);
            params.foldersPassedOver = std::move(collected.passedOver);
        }
    } else {
        params.searchText = opts.text;
        params.percentText = "101";
    }
    bool listMissing = false;
    if (opts.mode != kModeFolderVsItself) {
        const std::filesystem::path list = opts.list.empty()
                                               ? FindProgramFile(ProgramFolder(), kMp3ListFileName)
                                               : std::filesystem::path(opts.list);
        try {
            auto read = ReadLinesWithStatus(list);
            if (read.status == ReadStatus::Unreadable) {
                io.err << read.message << '\n';
                return kExitFailure;
            }
            if (read.status == ReadStatus::Read) params.listLines = std::move(read.lines);
        } catch (const std::bad_alloc&) {
            io.err << kOutOfMemoryMessage << '\n';
            return kExitFailure;
        }
        listMissing = !params.listLines || params.listLines->empty();
    }

    RowWriter writer(io.out, opts.output.Resolve(), ResultRowColumns(), 2);
    params.onRows = [&io, &opts, &writer](std::vector<CompareRow>&& rows) {
        for (const auto& row : RowsFromCompare(opts.mode, std::move(rows))) writer.Write(row);
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
    writer.Finish();
    PrintCompareMessages(result, opts.mode, io.err);

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
    return sub;
}

}  // namespace

void AddCompareCommands(CLI::App& app, CommandList& commands) {
    auto dupes = std::make_shared<CompareOptions>();
    dupes->mode = kModeFolderVsItself;
    CLI::App* dupesApp = AddCommonOptions(
        app.add_subcommand("dupes", "Finds duplicates among the files below FOLDER"), *dupes);
    dupesApp->add_flag("--exhaustive", dupes->exhaustive, "Test every pair with the plain loop");
    commands.push_back(
        {dupesApp, [dupes](CommandIo& io) { return RunCompareCommand(*dupes, io); }});

    auto compare = std::make_shared<CompareOptions>();
    compare->mode = kModeFolderVsList;
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
    search->mode = kModeSearchList;
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
