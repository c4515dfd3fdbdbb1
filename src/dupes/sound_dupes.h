#pragma once

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "dupes/compare_engine.h"
#include "media/sound_search.h"

// The search by sound as the window runs it, and the check of the sound of
// result pairs that already stand. Both read prints through the facts cache;
// nothing here changes a file.
namespace mv {

// What the window's search by sound needs beside a folder command's params.
struct SoundCompareOptions {
    std::filesystem::path cacheFile;  // empty: no cache
    // The search itself; unset: FindSameSound.
    std::function<SoundSearchResult(const SoundSearchParams&)> find;
};

// The files a search by sound takes: those of params.listedFolders, or of
// params.folders (each listed here, its own files only), matching params.ext,
// in the order a comparison of names meets them. `passedOver` gets
// params.foldersPassedOver, then the folders that could not be listed.
std::vector<std::string> SoundSearchFiles(const CompareParams& params,
                                          std::vector<std::string>& passedOver);

// "Find sound-alike duplicates in the folder" as a comparison: the files of
// params.listedFolders (a walk made by the caller) or of params.folders (each
// listed here, its own files only), matching params.ext, searched by sound.
// Rows, texts and messages are those of a comparison of names in mode 2: the
// rows go to params.onRows when set, the gauge counts files printed, and
// control.stopRequested stops the search (a stopped search gives no rows).
CompareResult RunSoundCompare(const CompareParams& params, CompareControl& control,
                              const SoundCompareOptions& options);

struct PairSoundParams {
    std::vector<std::pair<std::string, std::string>> pairs;
    std::filesystem::path cacheFile;  // empty: no cache
    // Called from the calling thread after every file; false stops the check.
    std::function<bool(std::size_t done, std::size_t total)> progress;
};

struct PairSoundResult {
    // One per pair: the similarity of the two files' prints, nullopt when
    // either has none. Empty for a stopped check.
    std::vector<std::optional<double>> similarity;
    bool stopped = false;
    std::string cacheProblem;  // the cache could not be used; the check is still complete
};

// Prints each distinct file of the pairs once (from the cache when it is
// there, storing what was printed now, also when stopped) and compares the
// two prints of every pair.
PairSoundResult CheckPairSound(const PairSoundParams& params);

// The verdict as the pair details say it: "same recording (0.97)",
// "different recording (0.31)", or "unsure" (also when a file has no print).
std::string SoundVerdictText(std::optional<double> similarity);

}  // namespace mv
