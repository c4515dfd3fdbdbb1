#include "cli/sound_dupes_command.h"

#include <chrono>
#include <filesystem>
#include <ostream>
#include <vector>

#include "cli/facts_fields.h"
#include "cli/interrupt_watch.h"
#include "cli/pair_details.h"
#include "dupes/better_copy.h"
#include "dupes/compare_engine.h"
#include "dupes/pair_facts.h"
#include "dupes/result_export.h"
#include "dupes/sound_dupes.h"
#include "media/facts_batch.h"
#include "media/sound_search.h"
#include "platform/folder_listing.h"

namespace mv::cli {

namespace {

struct Listed {
    std::vector<std::string> files;
    std::vector<std::string> passedOver;
};

// The files as the search by names takes them: hidden ones and hidden
// folders left out, each folder's files in its listing order.
Listed ListFiles(const SoundDupesOptions& opts, const std::string& folder,
                 const std::atomic<bool>& stop) {
    CompareParams params;
    params.ext = opts.ext;
    if (opts.noRecurse) {
        params.folders = {folder};
    } else {
        FolderWalkHooks hooks;
        hooks.stop = &stop;
        FolderFilesCollection collected = CollectFolderFiles(folder, opts.ext, hooks);
        params.listedFolders = std::move(collected.folders);
        params.foldersPassedOver = std::move(collected.passedOver);
    }
    Listed listed;
    listed.files = SoundSearchFiles(params, listed.passedOver);
    return listed;
}

// With --details, the rows of dupes --details by names and their
// similarity last; --keep better turns the pairs by the same facts.
void WriteRows(const SoundDupesOptions& opts, std::vector<ResultRow>& rows,
               const std::vector<double>& similarity, const std::atomic<bool>& stop,
               RowWriter& writer, CommandIo& io) {
    FactsBatchResult gathered;
    if (opts.details || opts.keep == "better") {
        const HashWhich hash = opts.details ? HashWhich::PairsOfEqualLength : HashWhich::None;
        gathered = GatherToolFacts(FactsParamsForRows(rows, hash), stop, io.err);
    }
    // Swapping sides keeps each row where it is, so the similarities stay in step.
    if (opts.keep == "better") KeepBetterCopy(rows, gathered.facts);
    const RowFormat format = opts.output.Resolve();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (opts.details) {
            WriteDetailsRow(writer, format, rows[i], gathered.facts, SoundColumn{similarity[i]});
        } else {
            writer.Write(rows[i]);
        }
    }
}

std::vector<std::string> Columns(const SoundDupesOptions& opts, RowFormat format) {
    if (opts.details) return DetailsColumns(format, true);
    if (format == RowFormat::Csv) return ResultRowColumns();
    return {"left", "right"};
}

}  // namespace

int RunSoundDupes(const SoundDupesOptions& opts, CommandIo& io) {
    const std::string folder = TrimFolderPath(opts.folder);
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        io.err << "No such folder: " << folder << '\n';
        return kExitFailure;
    }
    std::atomic<bool> stop{false};
    InterruptWatch interrupt(stop);
    const auto started = std::chrono::steady_clock::now();
    const Listed listed = ListFiles(opts, folder, stop);
    for (const auto& passed : listed.passedOver) {
        io.err << "Passed over a folder that cannot be read: " << passed << '\n';
    }
    if (listed.files.empty()) {
        io.err << "This Directory contains no Mp3s!\n";
        return kExitFailure;
    }
    SoundSearchParams params;
    params.paths = listed.files;
    params.cacheFile = DefaultFactsCachePath();
    params.stop = &stop;
    const SoundSearchResult found = FindSameSound(params);
    if (!found.cacheProblem.empty()) {
        io.err << "The facts cache cannot be used: " << found.cacheProblem << '\n';
    }
    for (const PrintProblem& p : found.passedOver) {
        io.err << "No sound print of " << p.path << ": " << p.problem << '\n';
    }
    std::vector<ResultRow> rows;
    std::vector<double> similarity;
    for (const SoundPair& pair : found.pairs) {
        rows.push_back(ResultRow{pair.left, pair.right, RowKind::FileOnDisk, RowKind::FileOnDisk});
        similarity.push_back(pair.similarity);
    }
    const RowFormat format = opts.output.Resolve();
    const std::vector<std::string> columns = Columns(opts, format);
    RowWriter writer(io.out, format, columns, opts.details ? columns.size() : 2);
    WriteRows(opts, rows, similarity, stop, writer, io);
    writer.Finish();
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    io.err << FormatResultText(rows.size(), static_cast<std::uint64_t>(elapsed.count())) << '\n';
    if (interrupt.Interrupted() || found.stopped) return kExitInterrupted;
    return kExitOk;
}

}  // namespace mv::cli
