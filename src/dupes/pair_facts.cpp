#include "dupes/pair_facts.h"

#include <string>
#include <unordered_map>

namespace mv {

FactsBatchParams FactsParamsForRows(const std::vector<ResultRow>& rows, HashWhich hash) {
    FactsBatchParams params;
    params.hash = hash;
    // The batch reads a repeated path once anyway; naming it once keeps the
    // list as short as the collection, however many rows a file is in.
    std::unordered_map<std::string, std::size_t> indexOf;
    const auto indexFor = [&](const std::string& path) {
        const auto [it, added] = indexOf.try_emplace(path, params.paths.size());
        if (added) params.paths.push_back(path);
        return it->second;
    };
    for (const ResultRow& row : rows) {
        const bool leftFile = row.leftKind == RowKind::FileOnDisk;
        const bool rightFile = row.rightKind == RowKind::FileOnDisk;
        const std::size_t left = leftFile ? indexFor(row.left) : 0;
        const std::size_t right = rightFile ? indexFor(row.right) : 0;
        if (leftFile && rightFile && hash == HashWhich::PairsOfEqualLength) {
            params.pairs.emplace_back(left, right);
        }
    }
    return params;
}

std::vector<bool> SameAudioOfPairs(const FactsBatchParams& params,
                                   const std::unordered_map<std::string, MediaFacts>& facts) {
    std::vector<bool> same(params.pairs.size(), false);
    for (std::size_t p = 0; p < params.pairs.size(); ++p) {
        const auto a = facts.find(params.paths[params.pairs[p].first]);
        const auto b = facts.find(params.paths[params.pairs[p].second]);
        same[p] =
            a != facts.end() && b != facts.end() && SameAudio(a->second, b->second).value_or(false);
    }
    return same;
}

std::vector<bool> SameAudioOfRows(const std::vector<ResultRow>& rows,
                                  const std::vector<bool>& pairFlags) {
    std::vector<bool> same(rows.size(), false);
    std::size_t pair = 0;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        if (rows[k].leftKind != RowKind::FileOnDisk || rows[k].rightKind != RowKind::FileOnDisk) {
            continue;
        }
        if (pair < pairFlags.size()) same[k] = pairFlags[pair];
        ++pair;
    }
    return same;
}

}  // namespace mv
