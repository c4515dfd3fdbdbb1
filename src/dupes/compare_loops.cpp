#include "dupes/compare_loops.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

#include "dupes/candidate_index.h"

namespace mv {
namespace {

constexpr size_t kBatchRows = 512;
constexpr auto kBatchDelay = std::chrono::milliseconds(100);

bool PairMatches(const CompareSetup& s, size_t probe, size_t ref) {
    if (s.passOver[ref]) return false;
    // Two paths to one file (a link and its target, hard links, a folder
    // reached twice) are no pair: deleting either could lose the only copy.
    if (s.mode == kModeFolderVsItself && s.facts[probe].SameFileAs(s.facts[ref])) return false;
    PreparedName loaded;
    if (s.refs.empty()) loaded = s.index->Ref(static_cast<uint32_t>(ref));
    const PreparedName& first = s.refs.empty() ? loaded : s.refs[ref];
    const PreparedName& second = s.Probes()[probe];
    // A side without words would find partners for all of its none: an empty
    // ban entry would mark every file, an empty search would find every title.
    if (s.percent == kPercentEveryFirstWord && first.words.empty()) return false;
    if (s.percent == kPercentEverySecondWord && second.words.empty()) return false;
    return PreparedNamesMatch(first, second, s.percent);
}

// Whether file `x` (at `xPath`) goes left against `y`; the left side is what
// "Delete all" deletes. Files are weighed by what they are, never by the path
// they are met under, so two paths of one file always take the same side
// against a third (otherwise a folder reached twice could have both copies of
// a pair deleted). A file a link of the run leads to stays right (deleting it
// would leave that link dangling); then the larger file stays; of equal or
// unreadable sizes a file stays against one reached only through links
// (deleting a link loses no data); then the file met first stays.
bool GoesLeft(const CompareSetup& s, size_t x, const std::string& xPath, size_t y,
              const std::string& yPath) {
    const FileFacts& fx = s.facts[x];
    const FileFacts& fy = s.facts[y];
    if (fx.linkedTarget != fy.linkedTarget) return fy.linkedTarget;
    const std::optional<uint64_t> xSize = s.sizes->Of(x, xPath);
    const std::optional<uint64_t> ySize = s.sizes->Of(y, yPath);
    if (xSize && ySize && *xSize != *ySize) return *xSize < *ySize;
    if (fx.onlyLinks != fy.onlyLinks) return fx.onlyLinks;
    return fx.firstPath > fy.firstPath;
}

CompareRow PairRow(const CompareSetup& s, size_t earlier, size_t later) {
    std::string earlierPath = s.files->Path(earlier);
    std::string laterPath = s.files->Path(later);
    if (GoesLeft(s, earlier, earlierPath, later, laterPath)) {
        return {std::move(earlierPath), std::move(laterPath)};
    }
    return {std::move(laterPath), std::move(earlierPath)};
}

CompareRow MakeRow(const CompareSetup& s, size_t probe, size_t ref) {
    switch (s.mode) {
        case kModeFolderVsItself:
            return PairRow(s, probe, ref);
        case kModeSearchList:
            return {"Search\\" + s.searchText,
                    FullListLocation(s.locations->Before(ref), (*s.lines)[ref])};
        default:
            return {s.files->Path(probe),
                    FullListLocation(s.locations->Before(ref), (*s.lines)[ref])};
    }
}

bool Stopped(const CompareControl& control) {
    return control.stopRequested.load(std::memory_order_relaxed);
}

// A run of consecutive probes, compared as one piece of work.
struct Chunk {
    size_t begin = 0;
    size_t end = 0;
    std::vector<CompareRow> rows;
    bool done = false;
};

std::vector<Chunk> SplitIntoChunks(const CompareSetup& s) {
    const size_t n = s.Probes().size();
    const uint64_t refs = s.RefCount();
    uint64_t total = 0;
    for (size_t i = 0; i < n; ++i) total += refs - std::min<uint64_t>(refs, s.FirstRef(i));
    const uint64_t target = std::max<uint64_t>(total / 256, 4096);
    std::vector<Chunk> chunks;
    uint64_t pairs = 0;
    size_t begin = 0;
    for (size_t i = 0; i < n; ++i) {
        pairs += refs - std::min<uint64_t>(refs, s.FirstRef(i));
        if (pairs >= target || i + 1 == n) {
            chunks.push_back(Chunk{begin, i + 1, {}, false});
            begin = i + 1;
            pairs = 0;
        }
    }
    return chunks;
}

void CompareChunk(const CompareSetup& s, const CandidateIndex& index, Chunk& chunk,
                  CompareControl& control) {
    const size_t refs = s.RefCount();
    std::vector<uint32_t> candidates;
    for (size_t i = chunk.begin; i < chunk.end; ++i) {
        if (Stopped(control)) return;
        const size_t from = std::min(s.FirstRef(i), refs);
        candidates.clear();
        if (s.mode == kModeFolderVsItself) {
            // The files are their own references: probe i is reference i.
            index.CandidatesOfRef(static_cast<uint32_t>(i), static_cast<uint32_t>(from),
                                  candidates);
        } else {
            index.Candidates(s.Probes()[i], static_cast<uint32_t>(from), candidates);
        }
        for (const uint32_t j : candidates) {
            if (PairMatches(s, i, j)) chunk.rows.push_back(MakeRow(s, i, j));
            if (Stopped(control)) return;
        }
        control.pairsDone.fetch_add(refs - from, std::memory_order_relaxed);
    }
}

}  // namespace

void RowSink::Add(CompareRow&& row) {
    pending_.push_back(std::move(row));
    if (pending_.size() >= kBatchRows) Flush();
}

void RowSink::AddAll(std::vector<CompareRow>&& rows) {
    for (auto& row : rows) Add(std::move(row));
    MaybeFlush();
}

void RowSink::MaybeFlush() {
    if (!pending_.empty() && std::chrono::steady_clock::now() - lastFlush_ >= kBatchDelay) Flush();
}

void RowSink::Flush() {
    lastFlush_ = std::chrono::steady_clock::now();
    if (pending_.empty()) return;
    const size_t n = pending_.size();
    if (onRows_) {
        std::vector<CompareRow> batch;
        batch.swap(pending_);
        onRows_(std::move(batch));
    } else {
        // Moving strings cannot fail, so a failed insert leaves the rows pending.
        kept_.insert(kept_.end(), std::make_move_iterator(pending_.begin()),
                     std::make_move_iterator(pending_.end()));
        pending_.clear();
    }
    count_ += n;
}

void RunPlainLoop(const CompareSetup& s, RowSink& sink, CompareControl& control) {
    for (size_t i = 0; i < s.Probes().size(); ++i) {
        for (size_t j = s.FirstRef(i); j < s.RefCount(); ++j) {
            if (PairMatches(s, i, j)) sink.Add(MakeRow(s, i, j));
            control.pairsDone.fetch_add(1, std::memory_order_relaxed);
            if (Stopped(control)) return;
        }
        sink.MaybeFlush();
    }
}

void RunIndexedLoop(const CompareSetup& s, unsigned threads, RowSink& sink,
                    CompareControl& control) {
    const std::unique_ptr<CandidateIndex> built =
        s.index ? nullptr : CandidateIndex::Build(s.refs, s.percent, threads);
    const CandidateIndex& index = s.index ? *s.index : *built;
    std::vector<Chunk> chunks = SplitIntoChunks(s);

    // Chunks are taken in order by whichever thread is free; finished chunks
    // are handed on strictly in order, so rows keep the plain loop's order.
    std::mutex mutex;
    size_t nextToTake = 0;
    size_t nextToDeliver = 0;
    std::exception_ptr failure;  // the first exception of any thread; guarded by mutex
    auto work = [&] {
        try {
            for (;;) {
                size_t c;
                {
                    std::lock_guard lock(mutex);
                    if (nextToTake == chunks.size() || Stopped(control)) return;
                    c = nextToTake++;
                }
                CompareChunk(s, index, chunks[c], control);
                std::lock_guard lock(mutex);
                chunks[c].done = true;
                while (nextToDeliver < chunks.size() && chunks[nextToDeliver].done) {
                    sink.AddAll(std::move(chunks[nextToDeliver].rows));
                    ++nextToDeliver;
                }
            }
        } catch (...) {
            // Escaping a helper thread would end the program.
            control.stopRequested = true;
            std::lock_guard lock(mutex);
            if (!failure) failure = std::current_exception();
        }
    };

    threads =
        std::clamp<unsigned>(threads, 1, static_cast<unsigned>(std::max<size_t>(1, chunks.size())));
    {
        std::vector<std::jthread> helpers;
        helpers.reserve(threads);
        try {
            for (unsigned t = 1; t < threads; ++t) helpers.emplace_back(work);
        } catch (const std::system_error&) {
            // No thread to be had (no memory for its stack): fewer do the work.
        }
        work();
    }  // joins

    // After a stop, whatever the chunks found is kept, still in order.
    for (; nextToDeliver < chunks.size(); ++nextToDeliver) {
        sink.AddAll(std::move(chunks[nextToDeliver].rows));
    }
    if (failure) std::rethrow_exception(failure);
}

}  // namespace mv
