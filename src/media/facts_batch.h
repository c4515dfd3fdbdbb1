#pragma once

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "media/media_facts.h"

// The facts of many files at once, on every core, through the facts cache:
// what the window fills in after a comparison and what the tool's --details
// prints. Only files whose audio can be equal to a partner's are hashed.
namespace mv {

enum class HashWhich {
    None,                // facts only
    All,                 // every audio file (the facts command)
    PairsOfEqualLength,  // both files of a pair whose audio parts have one length
};

struct FactsBatchParams {
    std::vector<std::string> paths;  // may repeat; each distinct path is read once
    HashWhich hash = HashWhich::PairsOfEqualLength;
    // For PairsOfEqualLength: indices into `paths`.
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    // Empty: no cache. DefaultFactsCachePath() is where the program keeps it.
    std::filesystem::path cacheFile;
    // Called now and then from the calling thread; false stops the batch.
    std::function<bool(std::size_t done, std::size_t total)> progress;
    int threads = 0;  // 0: one per core
};

struct FactsBatchResult {
    std::unordered_map<std::string, MediaFacts> facts;  // by path
    bool stopped = false;
    // The cache could not be opened or written: the facts are still complete.
    std::string cacheProblem;
};

FactsBatchResult GatherFacts(const FactsBatchParams& params);

// $XDG_CACHE_HOME/mp3vandrel/facts.sqlite ($HOME/.cache when unset or relative).
std::filesystem::path DefaultFactsCachePath();

}  // namespace mv
