#pragma once

#include <vector>

#include "dupes/result_rows.h"
#include "media/facts_batch.h"

// What to ask the facts batch for after a comparison: the files its rows name.
namespace mv {

// Every side of kind FileOnDisk, each path once, and for PairsOfEqualLength
// the rows of two files as pairs, so only copies that can be the same audio
// are hashed. Progress, cache and threads are left to the caller.
FactsBatchParams FactsParamsForRows(const std::vector<ResultRow>& rows, HashWhich hash);

}  // namespace mv
