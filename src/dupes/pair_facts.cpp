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

}  // namespace mv
