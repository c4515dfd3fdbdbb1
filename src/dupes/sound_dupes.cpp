#include "dupes/sound_dupes.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <unordered_map>

#include "media/facts_cache.h"
#include "media/print_similarity.h"

namespace mv {

std::vector<std::string> SoundSearchFiles(const CompareParams& params,
                                          std::vector<std::string>& passedOver) {
    std::vector<std::string> files;
    passedOver = params.foldersPassedOver;
    const auto add = [&files](const FolderWithFiles& f) {
        for (const std::string& name : f.files) files.push_back(JoinPath(f.folder, name));
    };
    if (params.listedFolders) {
        for (const FolderWithFiles& f : *params.listedFolders) add(f);
        return files;
    }
    for (const std::string& folder : params.folders) {
        if (auto listed = ListFolderFilesWithIds(folder, params.ext)) {
            add(*listed);
        } else {
            passedOver.push_back(folder);
        }
    }
    return files;
}

CompareResult RunSoundCompare(const CompareParams& params, CompareControl& control,
                              const SoundCompareOptions& options) {
    const auto start = std::chrono::steady_clock::now();
    CompareResult result;
    SoundSearchParams search;
    search.paths = SoundSearchFiles(params, result.foldersPassedOver);
    if (search.paths.empty()) {
        result.messages.push_back("This Directory contains no " + params.ext + "s!");
        return result;
    }
    search.cacheFile = options.cacheFile;
    search.stop = &control.stopRequested;
    search.progress = [&control](std::size_t done, std::size_t total) {
        control.pairsTotal = total;
        control.pairsDone = done;
        return true;
    };
    const SoundSearchResult found = options.find ? options.find(search) : FindSameSound(search);
    std::vector<CompareRow> rows;
    if (!found.stopped) {
        for (const SoundPair& pair : found.pairs) rows.push_back({pair.left, pair.right});
    }
    result.rowCount = rows.size();
    result.cancelled = found.stopped || control.stopRequested.load();
    if (params.onRows && !rows.empty()) {
        params.onRows(std::move(rows));
    } else {
        result.rows = std::move(rows);
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    result.resultText = FormatResultText(result.rowCount, static_cast<uint64_t>(elapsed.count()));
    result.messages.push_back(result.cancelled ? "Comparison Cancelled" : "Comparison finished");
    return result;
}

PairSoundResult CheckPairSound(const PairSoundParams& params) {
    PairSoundResult result;
    SoundSearchParams gather;  // each distinct file printed once, on every core
    gather.paths.reserve(2 * params.pairs.size());
    for (const auto& [a, b] : params.pairs) {
        gather.paths.push_back(a);
        gather.paths.push_back(b);
    }
    gather.cacheFile = params.cacheFile;
    gather.progress = params.progress;
    const SoundPrintsResult prints = GatherSoundPrints(gather);
    result.cacheProblem = prints.cacheProblem;
    if (prints.stopped) {
        result.stopped = true;
        return result;
    }
    for (const auto& [a, b] : params.pairs) {
        const auto left = prints.prints.find(a);
        const auto right = prints.prints.find(b);
        if (left == prints.prints.end() || right == prints.prints.end()) {
            result.similarity.push_back(std::nullopt);
        } else {
            result.similarity.push_back(
                ComparePrints(left->second.items, right->second.items).similarity);
        }
    }
    return result;
}

std::string SoundVerdictText(std::optional<double> similarity) {
    if (!similarity) return "unsure";
    const SoundVerdict verdict = VerdictOf(*similarity);
    if (verdict == SoundVerdict::Unsure) return "unsure";
    // Cut, not rounded, so the figure never reaches the line it stands below.
    const double cut = std::floor(*similarity * 100.0 + 1e-9) / 100.0;
    char text[40];
    std::snprintf(text, sizeof text, "%s recording (%.2f)",
                  verdict == SoundVerdict::Same ? "same" : "different", cut);
    return text;
}

}  // namespace mv
