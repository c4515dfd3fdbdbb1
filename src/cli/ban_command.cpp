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
#include "dupes/result_rows.h"
#include "filetools/ban_list.h"
#include "platform/folder_listing.h"
#include "platform/program_folder.h"

// ban scan: the files below a folder that the ban list names.
namespace mv::cli {
namespace {

struct BanOptions {
    std::string ban;  // empty: BanList.txt in the program folder
    std::string ext = "Mp3";
    bool noRecurse = false;
    FormatOptions output;  // -z, --format
    std::string folder;
};

int RunBanScanCommand(const BanOptions& opts, CommandIo& io) {
    BanScanParams params;
    params.banFile =
        opts.ban.empty() ? BanListFile(ProgramFolder()) : std::filesystem::path(opts.ban);
    params.folder = TrimFolderPath(opts.folder);
    params.recurse = !opts.noRecurse;
    params.ext = opts.ext;
    std::error_code ec;
    if (!std::filesystem::is_directory(params.folder, ec)) {
        io.err << "No such folder: " << params.folder << '\n';
        return kExitFailure;
    }

    CompareControl control;
    InterruptWatch interrupt(control.stopRequested);
    RowWriter writer(io.out, opts.output.Resolve(), ResultRowColumns(), 2);
    params.onRows = [&io, &writer](std::vector<CompareRow>&& rows) {
        for (const auto& row : RowsFromCompare(kModeFolderVsList, std::move(rows))) {
            writer.Write(row);
        }
        io.out.flush();
    };
    BanScanResult scan;
    try {
        ProgressBar bar(control.pairsDone, control.pairsTotal);
        scan = RunBanScan(params, control);
    } catch (const std::bad_alloc&) {
        io.err << kOutOfMemoryMessage << '\n';
        return kExitFailure;
    }
    if (!scan.banListRead) {
        io.err << scan.message << '\n';
        return kExitFailure;
    }
    const CompareResult& result = scan.compare;
    for (const auto& folder : result.foldersPassedOver) {
        io.err << "Passed over a folder that cannot be read: " << folder << '\n';
    }
    writer.Finish();
    PrintCompareMessages(result, kModeFolderVsList, io.err);

    // No files, or memory ran out.
    if (result.resultText.empty() || result.outOfMemory) return kExitFailure;
    if (interrupt.Interrupted()) return kExitInterrupted;
    return kExitOk;
}

}  // namespace

void AddBanCommand(CLI::App& app, CommandList& commands) {
    CLI::App* ban = app.add_subcommand("ban", "The ban list: words of files you do not want");
    ban->require_subcommand(1);
    auto opts = std::make_shared<BanOptions>();
    CLI::App* scan = ban->add_subcommand(
        "scan", "Lists the files below FOLDER whose names hold every word of a ban entry");
    scan->add_option("--ban", opts->ban,
                     "The ban list (default: BanList.txt in the program folder)");
    scan->add_option("--ext", opts->ext, "Extension of the files to scan")->capture_default_str();
    scan->add_flag("--no-recurse", opts->noRecurse, "Only the files of FOLDER itself");
    AddFormatOptions(scan, opts->output);
    scan->add_option("FOLDER", opts->folder, "The folder to scan")->required();
    commands.push_back({scan, [opts](CommandIo& io) { return RunBanScanCommand(*opts, io); }});
}

}  // namespace mv::cli
