#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/list_location.h"
#include "dupes/candidate_index.h"
#include "dupes/compare_engine.h"
#include "dupes/compare_gathering.h"
#include "dupes/name_matcher.h"

// The pair tests of one comparison, once the files and references are known.
namespace mv {

// Everything the pair tests need, prepared once per comparison.
struct CompareSetup {
    CompareMode mode = kModeFolderVsItself;
    int percent = 80;
    std::vector<PreparedName> refs;                   // the references: `first` of NamesMatch
    std::vector<PreparedName> probes;                 // modes 1 and 3: the files or the search text
    std::vector<char> passOver;                       // references that are never tested
    const GatheredFiles* files = nullptr;             // modes 1 and 2
    std::vector<FileFacts> facts;                     // mode 2: per file, read when gathering
    const FileSizes* sizes = nullptr;                 // mode 2: read for the files of rows
    std::string searchText;                           // mode 3
    const std::vector<std::string>* lines = nullptr;  // modes 1 and 3: the Mp3 list
    const ListLocations* locations = nullptr;         // modes 1 and 3: of `lines`
    // Mode 1: the index of the references made ahead (kept from an earlier
    // run); when `refs` is empty it also gives the references.
    std::shared_ptr<const CandidateIndex> index;

    size_t RefCount() const { return refs.empty() && index ? index->Count() : refs.size(); }

    // `second` of NamesMatch: in mode 2 the files are their own references.
    const std::vector<PreparedName>& Probes() const {
        return mode == kModeFolderVsItself ? refs : probes;
    }
    // The first reference a probe is tested against.
    size_t FirstRef(size_t probe) const { return mode == kModeFolderVsItself ? probe + 1 : 0; }
};

// Collects rows and hands them to the caller's callback in batches (or keeps
// them when there is none). Count() is the number of rows handed on.
class RowSink {
  public:
    RowSink(const std::function<void(std::vector<CompareRow>&&)>& onRows,
            std::vector<CompareRow>& kept)
        : onRows_(onRows), kept_(kept) {}

    void Add(CompareRow&& row);
    void AddAll(std::vector<CompareRow>&& rows);
    // Delivers the pending rows when enough have gathered or enough time passed.
    void MaybeFlush();
    void Flush();
    // Forgets the rows not yet handed on (after a failure to hand them on).
    void DropPending() { pending_.clear(); }
    uint64_t Count() const { return count_; }

  private:
    const std::function<void(std::vector<CompareRow>&&)>& onRows_;
    std::vector<CompareRow>& kept_;
    std::vector<CompareRow> pending_;
    uint64_t count_ = 0;
    std::chrono::steady_clock::time_point lastFlush_ = std::chrono::steady_clock::now();
};

// Every pair, one after the other: the reference behaviour the narrowed loop
// must reproduce.
void RunPlainLoop(const CompareSetup& setup, RowSink& sink, CompareControl& control);

// Only the pairs the candidate index lets through, on up to `threads` threads;
// the same rows in the same order as the plain loop. An exception on any thread
// sets the stop flag and is thrown again on the calling thread once all have
// ended; a thread that cannot be started leaves the work to the others.
void RunIndexedLoop(const CompareSetup& setup, unsigned threads, RowSink& sink,
                    CompareControl& control);

}  // namespace mv
