#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/folder_listing.h"

// One comparison of file names: folders against the Mp3 list (mode 1), folders
// against themselves (mode 2), or one search text against the list (mode 3).
// No widgets: the caller shows the rows, the texts and the messages.
namespace mv {

enum CompareMode : int { kModeFolderVsList = 1, kModeFolderVsItself = 2, kModeSearchList = 3 };

// Shared between the thread that runs the comparison and the one that shows it.
struct CompareControl {
    std::atomic<bool> stopRequested{false};  // polled after every pair test
    std::atomic<uint64_t> pairsDone{0};      // the gauge's position
    std::atomic<uint64_t> pairsTotal{0};     // the gauge's maximum
};

// One result row pair: left is what the delete commands act on, right the reference.
struct CompareRow {
    std::string left;
    std::string right;
};

struct CompareParams {
    CompareMode mode = kModeFolderVsItself;
    std::vector<std::string> folders;  // the folders to compare, in order (modes 1, 2)
    // Instead of `folders`: the folders with their files already listed by the
    // caller's walk (CollectFolderFiles), so no folder is read twice.
    std::optional<std::vector<FolderWithFiles>> listedFolders;
    // Folders the caller's collection could not read; they lead the result's
    // foldersPassedOver, so every folder left out is named in one place.
    std::vector<std::string> foldersPassedOver;
    std::string ext = "Mp3";         // the extension box's text
    std::string percentText = "80";  // the percentage box's text
    std::string searchText;          // mode 3
    // Modes 1 and 3: the lines of the Mp3 list as read when the run starts;
    // nullopt when the file could not be read.
    std::optional<std::vector<std::string>> listLines;
    // Modes 1 and 3: where the list's word index is kept between runs (see
    // list_index_file.h). nullopt: the user's cache folder, for lists of
    // kListLinesWorthKeeping lines or more; an empty path: never kept.
    std::optional<std::filesystem::path> listIndexFolder;
    bool exhaustive = false;  // test every pair with the plain loop (the reference)
    // Threads for preparing the names and for the narrowed loop; 0 picks by itself
    // (at most 2, one for a small run).
    unsigned threads = 0;
    // Optional: receives rows in order, in batches, from the comparing thread.
    // When set, the rows are not also kept in CompareResult::rows.
    std::function<void(std::vector<CompareRow>&&)> onRows;
};

struct CompareResult {
    std::vector<CompareRow> rows;  // empty when onRows took them
    uint64_t rowCount = 0;
    // "N result(s) in S seconds"; empty when nothing was compared (no files).
    std::string resultText;
    // Messages to show, in order ("This Directory contains no Mp3s!",
    // "You don't have any list!!", "Comparison finished", ...).
    std::vector<std::string> messages;
    bool cancelled = false;       // the run ended with the stop flag set
    bool percentRefused = false;  // the percentage text was not a whole number; nothing ran
    // Memory ran out: the run ended early (cancelled, with kOutOfMemoryMessage)
    // and the rows found before are kept.
    bool outOfMemory = false;
    // Folders that could not be read, by the caller's collection or the run
    // itself, in the order they were met.
    std::vector<std::string> foldersPassedOver;
};

// Below this many lines preparing the list costs less than reading a kept index.
inline constexpr size_t kListLinesWorthKeeping = 20000;

// The message when the percentage text holds no whole number.
inline constexpr const char* kPercentNotWholeMessage =
    "The match percentage must be a whole number, for example 80.";

inline constexpr const char* kOutOfMemoryMessage =
    "There was not enough memory to finish the comparison; the results found so far are kept.";

// The percentage box's text as a whole number; nullopt when it is not one.
std::optional<int> ParsePercent(const std::string& text);

// "N result(s) in S seconds", S the elapsed milliseconds / 1000 without
// trailing zeros ("0 result in 0.047 seconds", "12 results in 3 seconds").
std::string FormatResultText(uint64_t rowCount, uint64_t elapsedMs);

// Runs one comparison to its end or until control.stopRequested is set. The
// caller clears stopRequested before it starts the run, so that a stop pressed
// while the run is starting is not lost; the run sets it when there is no list
// and when memory runs out. Running out of memory is reported in the result,
// never thrown.
CompareResult RunCompare(const CompareParams& params, CompareControl& control);

}  // namespace mv
