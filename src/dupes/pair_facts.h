#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "dupes/result_rows.h"
#include "media/facts_batch.h"

// What to ask the facts batch for after a comparison: the files its rows name.
namespace mv {

// Every side of kind FileOnDisk, each path once, and for PairsOfEqualLength
// the rows of two files as pairs, so only copies that can be the same audio
// are hashed. Progress, cache and threads are left to the caller.
FactsBatchParams FactsParamsForRows(const std::vector<ResultRow>& rows, HashWhich hash);

// One flag per entry of params.pairs (PairsOfEqualLength): whether the batch
// found its two files the same audio. Row k of two files is pair number
// (rows of two files before k), as FactsParamsForRows made them.
std::vector<bool> SameAudioOfPairs(const FactsBatchParams& params,
                                   const std::unordered_map<std::string, MediaFacts>& facts);

// The flags of the pairs spread over the rows they came from; false for rows
// of fewer than two files and for pairs past the end of `pairFlags`.
std::vector<bool> SameAudioOfRows(const std::vector<ResultRow>& rows,
                                  const std::vector<bool>& pairFlags);

}  // namespace mv
