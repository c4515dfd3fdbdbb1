#pragma once

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "media/print_similarity.h"
#include "media/sound_index.h"

// The search by sound: which files hold the same recording, whatever their
// names, bitrates or a second of silence. Every file is printed once (on
// every core, through the facts cache), candidate pairs come from the index
// of the prints, and the similarity decides. Nothing here changes a file.
namespace mv {

struct SoundSearchParams {
    // The files, in the order met. A path given twice, or two paths of one
    // file (hard or symbolic links), count as one file: the first path met.
    std::vector<std::string> paths;
    // Empty: no cache. DefaultFactsCachePath() is where the program keeps it.
    std::filesystem::path cacheFile;
    // Called now and then from the calling thread with files printed so far;
    // false stops the search.
    std::function<bool(std::size_t done, std::size_t total)> progress;
    const std::atomic<bool>* stop = nullptr;  // also stops it when set
    int threads = 0;                          // 0: one per core
    double minSimilarity = kSameRecording;    // a pair is reported at or above
    SoundIndexParams index;
};

// Left is the one to delete, as in the search by names: the smaller file, and
// of two of one size the one met later.
struct SoundPair {
    std::string left;
    std::string right;
    double similarity = 0.0;
};

struct PrintProblem {
    std::string path;
    std::string problem;  // "not MPEG audio", or why it could not be read
};

struct SoundSearchResult {
    std::vector<SoundPair> pairs;  // by the earlier file met, then the later
    std::vector<PrintProblem> passedOver;
    std::size_t printed = 0;     // files with a print (from the cache or made now)
    std::size_t candidates = 0;  // pairs the index gave for comparing
    bool stopped = false;        // no pairs are given for a stopped search
    // The cache could not be opened or written: the result is still complete.
    std::string cacheProblem;
};

SoundSearchResult FindSameSound(const SoundSearchParams& params);

// The prints alone, made as FindSameSound makes them (each path once, on
// every core, through the cache); minSimilarity and index are not used.
struct SoundPrintsResult {
    std::unordered_map<std::string, SoundPrint> prints;  // by the path given
    std::vector<PrintProblem> passedOver;
    bool stopped = false;  // the prints made until then are given
    std::string cacheProblem;
};

SoundPrintsResult GatherSoundPrints(const SoundSearchParams& params);

// The similarity of two files' prints (through the cache when given);
// nullopt when either has no print.
std::optional<double> SoundSimilarityOf(const std::string& a, const std::string& b,
                                        const std::filesystem::path& cacheFile);

}  // namespace mv
