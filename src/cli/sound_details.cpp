#include "cli/sound_details.h"

#include <ostream>
#include <string>

#include "media/facts_batch.h"
#include "media/sound_search.h"

namespace mv::cli {
namespace {

bool BothFiles(const ResultRow& row) {
    return row.leftKind == RowKind::FileOnDisk && row.rightKind == RowKind::FileOnDisk;
}

}  // namespace

std::vector<std::optional<double>> RowSoundSimilarities(const std::vector<ResultRow>& rows,
                                                        const std::atomic<bool>& stop,
                                                        std::ostream& err) {
    SoundSearchParams params;
    for (const ResultRow& row : rows) {
        if (!BothFiles(row)) continue;
        params.paths.push_back(row.left);
        params.paths.push_back(row.right);
    }
    std::vector<std::optional<double>> similarity(rows.size());
    if (params.paths.empty()) return similarity;
    params.cacheFile = DefaultFactsCachePath();
    params.stop = &stop;
    const SoundPrintsResult gathered = GatherSoundPrints(params);
    if (!gathered.cacheProblem.empty()) {
        err << "The facts cache cannot be used: " << gathered.cacheProblem << '\n';
    }
    for (const PrintProblem& p : gathered.passedOver) {
        err << "No sound print of " << p.path << ": " << p.problem << '\n';
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!BothFiles(rows[i])) continue;
        const auto left = gathered.prints.find(rows[i].left);
        const auto right = gathered.prints.find(rows[i].right);
        if (left == gathered.prints.end() || right == gathered.prints.end()) continue;
        similarity[i] = ComparePrints(left->second.items, right->second.items).similarity;
    }
    return similarity;
}

}  // namespace mv::cli
